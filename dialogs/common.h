#pragma once
// What the dialogs share: the help file and its topics, the system dialogs they
// run (replaceable, so that tests can answer them), and reading a field whose
// text is about to be stored.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/pixmap.h"
#include "platform/system.h"
#include "ui/commondialogs.h"
#include "ui/dialog.h"

namespace dialogs {

// The program's help file, in its own folder, and the dialogs' topics in it.
extern const char* const kHelpFile;
extern const char* const kTopicItemEdit;
extern const char* const kTopicOptionsBasic;
extern const char* const kTopicOptionsView;
extern const char* const kTopicPageMenu;

// Opens the help file (program folder + kHelpFile) at topic.
void ShowHelpTopic(const std::string& topic);

// Who opens the help viewer: ShowHtmlHelp, unless tests put something else in.
// Returns the viewer it replaces (an empty one means ShowHtmlHelp).
typedef std::function<void(const std::string& file, const std::string& topic)> THelpViewer;
THelpViewer SetHelpViewer(THelpViewer viewer);

// The system dialogs that the dialogs run. Each answers false (or an empty
// folder) when the user cancelled, or when the chosen name could not be held in
// code page 932 (the user has been told so then).
class IPickers {
public:
    virtual ~IPickers() = default;
    virtual bool OpenFile(ui::TOpenDialog& dialog, HWND owner) = 0;
    virtual std::string BrowseFolder(HWND owner, const std::string& title, const std::string& initial) = 0;
    virtual bool ChooseColor(ui::TColorDialog& dialog, HWND owner) = 0;
    virtual bool ChooseFont(ui::TFontDialog& dialog, HWND owner) = 0;
};

// The pickers in use: the system's own unless replaced.
IPickers& Pickers();
// Installs pickers (null: the system's again) and returns the ones replaced (null
// when they were the system's).
IPickers* SetPickers(IPickers* pickers);

// The text of a field that is about to be stored. Text that code page 932 cannot
// hold is refused: the user is told, the field's tab page is brought to the front
// (pages may be null) and the field gets the focus; then false.
bool ReadField(ui::TEdit& edit, std::string& out, ui::TTabPages* pages = nullptr, int page = -1);
bool ReadField(ui::TComboBox& combo, std::string& out, ui::TTabPages* pages = nullptr, int page = -1);
// A number field about to be stored: a text that is no number keeps `present`; a
// number outside minimum..maximum is held to the nearer bound, and the user is told
// so in a box that names `what`, the range and the value taken.
int ReadNumber(const ui::TEdit& edit, const std::string& what, int minimum, int maximum, int present);
// The text of a field for a purpose where a refused text counts as empty
// (browsing, previews, numbers).
std::string TextOrEmpty(const ui::TEdit& edit);
std::string TextOrEmpty(const ui::TComboBox& combo);

// An icon on a background of one pixel value, as a 32 x 32 picture.
platform::TPixmap IconPicture(const platform::TIconImage& icon, uint32_t background);

} // namespace dialogs
