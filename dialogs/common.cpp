#include "dialogs/common.h"

#include <algorithm>
#include <climits>
#include <string>

#include "shell/common.h"
#include "shell/win32/helpers.h"
#include "platform/exception.h"

namespace dialogs {

const char* const kHelpFile = "Kiropad.chm";
const char* const kTopicItemEdit = "_RESOURCE/060edit.html";
const char* const kTopicOptionsBasic = "_RESOURCE/080optionbasic.html";
const char* const kTopicOptionsView = "_RESOURCE/090optionview.html";
const char* const kTopicPageMenu = "_RESOURCE/040pagemenu.html";

namespace {

THelpViewer& HelpViewer() {
    static THelpViewer viewer;
    return viewer;
}

class TSystemPickers : public IPickers {
public:
    bool OpenFile(ui::TOpenDialog& dialog, HWND owner) override { return dialog.Execute(owner); }
    std::string BrowseFolder(HWND owner, const std::string& title, const std::string& initial) override {
        return ::BrowseFolder((platform::TWindowHandle)owner, title, initial);
    }
    bool ChooseColor(ui::TColorDialog& dialog, HWND owner) override { return dialog.Execute(owner); }
    bool ChooseFont(ui::TFontDialog& dialog, HWND owner) override { return dialog.Execute(owner); }
};

IPickers*& InstalledPickers() {
    static IPickers* pickers = nullptr;
    return pickers;
}

bool Refuse(ui::TDialogControl& control, const std::string& message, ui::TTabPages* pages, int page) {
    if (pages && page >= 0) pages->SetActivePage(page);
    MsgBox(message, "Kiropad", platform::mbOk | platform::mbIconWarning);
    control.SetFocus();
    return false;
}

} // namespace

void ShowHelpTopic(const std::string& topic) {
    std::string file = platform::System().ProgramFolder() + kHelpFile;
    if (HelpViewer())
        HelpViewer()(file, topic);
    else
        ShowHtmlHelp(file, topic);
}

THelpViewer SetHelpViewer(THelpViewer viewer) {
    THelpViewer previous = std::move(HelpViewer());
    HelpViewer() = std::move(viewer);
    return previous;
}

IPickers& Pickers() {
    static TSystemPickers system;
    IPickers* installed = InstalledPickers();
    return installed ? *installed : system;
}

IPickers* SetPickers(IPickers* pickers) {
    IPickers* previous = InstalledPickers();
    InstalledPickers() = pickers;
    return previous;
}

bool ReadField(ui::TEdit& edit, std::string& out, ui::TTabPages* pages, int page) {
    try {
        out = edit.Text();
        return true;
    } catch (const Exception& e) {
        return Refuse(edit, e.Message(), pages, page);
    }
}

bool ReadField(ui::TComboBox& combo, std::string& out, ui::TTabPages* pages, int page) {
    try {
        out = combo.Text();
        return true;
    } catch (const Exception& e) {
        return Refuse(combo, e.Message(), pages, page);
    }
}

int ReadNumber(const ui::TEdit& edit, const std::string& what, int minimum, int maximum, int present) {
    int typed = StrToIntRange(TextOrEmpty(edit), INT_MIN, INT_MAX, present);
    int value = std::min(std::max(typed, minimum), maximum);
    if (value != typed)
        MsgBox(what + "は " + std::to_string(minimum) + " から " + std::to_string(maximum) + " までです。" +
                   std::to_string(value) + " にしました。",
               "Kiropad", platform::mbOk | platform::mbIconWarning);
    return value;
}

std::string TextOrEmpty(const ui::TEdit& edit) {
    std::string text;
    edit.GetText(text);
    return text;
}

std::string TextOrEmpty(const ui::TComboBox& combo) {
    std::string text;
    combo.GetText(text);
    return text;
}

platform::TPixmap IconPicture(const platform::TIconImage& icon, uint32_t background) {
    const platform::TPixmap& color = icon.Color;
    const platform::TPixmap& mask = icon.Mask;
    platform::TPixmap picture(color.Width(), color.Height(), background);
    for (int y = 0; y < color.Height(); ++y)
        for (int x = 0; x < color.Width(); ++x) {
            bool transparent = x < mask.Width() && y < mask.Height() && (mask.Pixel(x, y) & 0x00FFFFFF) != 0;
            if (!transparent) picture.SetPixel(x, y, color.Pixel(x, y));
        }
    return picture;
}

} // namespace dialogs
