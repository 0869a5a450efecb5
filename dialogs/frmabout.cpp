#include "dialogs/frmabout.h"

#include <string>

#include "platform/win32/handle.h"
#include "ui/gdi.h"
#include "ui/paintbuffer.h"
#include "version.h"

namespace {

// The icon that stands for the program: its first icon resource, as Explorer
// shows it; the system's application icon while the program has none.
class TProgramIcon {
public:
    TProgramIcon(int width, int height) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        EnumResourceNamesW(instance, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, TakeFirst,
                           reinterpret_cast<LONG_PTR>(this));
        if (hasName_) {
            LPCWSTR name = nameId_ ? MAKEINTRESOURCEW(nameId_) : nameText_.c_str();
            owned_.Reset(
                static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
        }
        // The system's icon is shared: it is never destroyed.
        if (!owned_) shared_ = LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
    }
    HICON Get() const { return owned_ ? owned_.Get() : shared_; }

private:
    static BOOL CALLBACK TakeFirst(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
        TProgramIcon* self = reinterpret_cast<TProgramIcon*>(param);
        if (IS_INTRESOURCE(name))
            self->nameId_ = (WORD) reinterpret_cast<ULONG_PTR>(name);
        else
            self->nameText_ = name;
        self->hasName_ = true;
        return FALSE;
    }

    bool hasName_ = false;
    WORD nameId_ = 0;
    std::wstring nameText_;
    platform::TIconHandle owned_;
    HICON shared_ = nullptr;
};

} // namespace

TfrmAbout::TfrmAbout(HWND owner) : ui::TDialog(IDD_ABOUT, owner) {
    OKButton.SetModalResult(IDOK);
    Version.SetText("Ver. " KIROPAD_VERSION_TEXT);

    platform::TFontSpec bold;
    bold.Name = "ＭＳ Ｐゴシック";
    bold.Size = 16; // 21 pixels on a screen of 96 pixels per inch
    bold.Style = platform::fsBold;
    productFont_.Assign(bold);
    SendMessageW(ProductName.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(productFont_.Handle()), TRUE);

    // The picture is the icon stretched to its control, which has exactly its size.
    SetWindowPos(ProgramIcon.Handle(), nullptr, 0, 0, kIconWidth, kIconHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    TProgramIcon icon(64, 64);
    platform::TPixmap picture;
    platform::TRect area(0, 0, kIconWidth, kIconHeight);
    ui::PaintToPixmap(picture, area, [&](ui::TPaintBand& band) {
        band.FillRect(area, ui::ColorToPixel(platform::clBtnFace));
        band.Flush();
        DrawIconEx(band.DC(), 0, 0, icon.Get(), kIconWidth, kIconHeight, 0, nullptr, DI_NORMAL);
    });
    ProgramIcon.SetPicture(picture);
}

int ShowAbout(HWND owner) {
    TfrmAbout about(owner);
    return about.ShowModal();
}
