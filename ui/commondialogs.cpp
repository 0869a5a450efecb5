#include "ui/commondialogs.h"

#include <commdlg.h>

#include <vector>

#include "platform/system.h"
#include "platform/text.h"
#include "ui/font.h"
#include "ui/gdi.h"

namespace ui {

namespace {

// The filter as the system wants it: pairs of NUL-terminated texts, ending in two
// NULs. Split after the conversion: in code page 932 a '|' byte can be the second
// byte of a double-byte character.
std::wstring SystemFilter(const std::string& filter) {
    std::wstring wide = platform::Widen(filter);
    for (wchar_t& c : wide)
        if (c == L'|') c = L'\0';
    wide.push_back(L'\0');
    wide.push_back(L'\0');
    return wide;
}

void Refuse(const std::wstring& name) {
    platform::System().MessageBox(NotRepresentableNameMessage(platform::NarrowForDisplay(name)), "Kiropad",
                                  platform::mbOk | platform::mbIconWarning);
}

COLORREF* CustomColors() {
    static COLORREF colors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    return colors;
}

} // namespace

std::string NotRepresentableNameMessage(const std::string& display) {
    return "選択された名前には、シフトJIS (コードページ932) "
           "で表せない文字が含まれているため、使用できません。\n" +
           display;
}

bool TOpenDialog::Execute(HWND owner) {
    std::vector<wchar_t> buffer(32768, L'\0');
    std::wstring initialName = platform::Widen(FileName);
    if (initialName.size() < buffer.size()) std::copy(initialName.begin(), initialName.end(), buffer.begin());
    std::wstring filter = SystemFilter(Filter);
    std::wstring title = platform::Widen(Title);
    std::wstring ext = platform::Widen(DefaultExt);
    std::wstring dir = platform::Widen(InitialDir);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner ? owner : GetActiveWindow();
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = (DWORD)FilterIndex;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = (DWORD)buffer.size();
    ofn.lpstrTitle = Title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : ext.c_str();
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : dir.c_str();
    // The program's current folder stays where it is whatever the user browses.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return false;

    FileName = platform::FromWide(buffer.data());
    FilterIndex = (int)ofn.nFilterIndex;
    return true;
}

bool TColorDialog::Execute(HWND owner) {
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner ? owner : GetActiveWindow();
    cc.rgbResult = ColorToRGB(Color);
    cc.lpCustColors = CustomColors();
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorW(&cc)) return false;
    // An unchanged system colour stays the system colour (it follows the user's scheme).
    if (!(platform::IsSystemColor(Color) && ColorToRGB(Color) == cc.rgbResult))
        Color = (platform::TColor)(cc.rgbResult & 0x00FFFFFF);
    return true;
}

bool TFontDialog::Execute(HWND owner) {
    LOGFONTW lf = MakeLogFont(Font);
    CHOOSEFONTW cf = {};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner ? owner : GetActiveWindow();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = ColorToRGB(Font.Color);
    if (!ChooseFontW(&cf)) return false;

    platform::TColor color = Font.Color;
    if (!(platform::IsSystemColor(color) && ColorToRGB(color) == cf.rgbColors))
        color = (platform::TColor)(cf.rgbColors & 0x00FFFFFF);
    platform::TFontSpec desc;
    if (!FontFromLogFont(lf, color, desc)) {
        Refuse(lf.lfFaceName);
        return false;
    }
    if (cf.iPointSize > 0) desc.Size = (cf.iPointSize + 5) / 10;
    Font = desc;
    return true;
}

} // namespace ui
