// Helpers of the dialog tests: the application with scripted message boxes, a
// program-wide document that never writes a file, recorded help topics, a system
// whose path kinds and icons can be scripted, recording pickers, and the hook that
// acts on a shown dialog.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/common.h"
#include "model/document.h"
#include "model/host.h"
#include "ui/application.h"
#include "ui/dialog.h"

namespace dialogtest {

// Acts on every dialog once it is shown (nested ones too) while it lives.
struct THook {
    explicit THook(ui::TDialog::TShownHook hook) { ui::TDialog::SetShownHook(std::move(hook)); }
    ~THook() { ui::TDialog::SetShownHook(nullptr); }
};

// Ten empty 5 x 3 pages; an error escaping a handler fails the test.
class TDialogEnv {
public:
    TDialogEnv() {
        app.OnException = [](void*, const std::exception& e) { ADD_FAILURE() << "escaped: " << e.what(); };
        doc.IconList = std::make_unique<TIconList>();
        SetDocument(&doc);
        doc.Reset(false);
        doc.NoSave = true;
        dialogs::SetHelpViewer([this](const std::string& file, const std::string& topic) {
            HelpFile = file;
            Topics.push_back(topic);
        });
    }
    ~TDialogEnv() {
        dialogs::SetHelpViewer(nullptr);
        SetDocument(nullptr);
    }
    const ui::TMessageBoxRecord& Box(size_t i) const { return boxes.Shown().at(i); }

    ui::TApplication app;
    ui::TScriptedMessageBoxes boxes{app};
    TDocument doc;
    std::string HelpFile;
    std::vector<std::string> Topics;
};

// Path kinds and icons as scripted, everything else as the system installed before says.
class TScriptedSystem : public platform::ISystem {
public:
    TScriptedSystem() : real_(*platform::SetSystem(this)) {}
    ~TScriptedSystem() override { platform::SetSystem(&real_); }

    int ShellExecute(platform::TWindowHandle o, const std::string& v, const std::string& f,
                     const std::string* p, const std::string* d, int s) override {
        return real_.ShellExecute(o, v, f, p, d, s);
    }
    int CopyFilesInto(platform::TWindowHandle o, const std::vector<std::string>& f,
                      const std::string& d) override {
        return real_.CopyFilesInto(o, f, d);
    }
    platform::TPathKind GetPathKind(const std::string& path) override {
        auto it = PathKinds.find(path);
        return it != PathKinds.end() ? it->second : real_.GetPathKind(path);
    }
    bool ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                               platform::TIconPInfo* location) override {
        auto it = FileIcons.find(path);
        if (it == FileIcons.end()) return real_.ExtractAssociatedIcon(path, icon, location);
        icon = Solid(it->second.second);
        if (location) *location = it->second.first;
        return true;
    }
    bool ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) override {
        IndexedRequests.emplace_back(file, index);
        auto it = IndexedIcons.find({file, index});
        if (it == IndexedIcons.end()) return real_.ExtractIndexedIcon(file, index, icon);
        icon = Solid(it->second);
        return true;
    }
    int AnalyseShortcut(const std::string& p, platform::TLinkInfo& i) override {
        return real_.AnalyseShortcut(p, i);
    }
    int MessageBox(const std::string& t, const std::string& c, unsigned f) override {
        return real_.MessageBox(t, c, f);
    }
    void SetWaitCursor(bool wait) override { real_.SetWaitCursor(wait); }
    std::string ProgramFolder() override { return real_.ProgramFolder(); }
    uint32_t ColorToPixel(platform::TColor color) override { return real_.ColorToPixel(color); }

    static platform::TIconImage Solid(uint32_t color) {
        return platform::TIconImage{platform::TPixmap(32, 32, color), platform::TPixmap(32, 32, 0)};
    }

    std::map<std::string, platform::TPathKind> PathKinds;
    std::map<std::string, std::pair<platform::TIconPInfo, uint32_t>> FileIcons; // where found, colour
    std::map<std::pair<std::string, int>, uint32_t> IndexedIcons;
    std::vector<std::pair<std::string, int>> IndexedRequests;

private:
    platform::ISystem& real_;
};

// Records what the dialogs ask of the system dialogs; answers from queues (an
// empty text, or an empty queue, cancels).
class TFakePickers : public dialogs::IPickers {
public:
    TFakePickers() { dialogs::SetPickers(this); }
    ~TFakePickers() override { dialogs::SetPickers(nullptr); }

    bool OpenFile(ui::TOpenDialog& dialog, HWND) override {
        Opened.push_back(dialog);
        std::string answer = Next(OpenAnswers);
        if (!answer.empty()) dialog.FileName = answer;
        return !answer.empty();
    }
    std::string BrowseFolder(HWND, const std::string& title, const std::string& initial) override {
        Folders.emplace_back(title, initial);
        return Next(FolderAnswers);
    }
    bool ChooseColor(ui::TColorDialog& dialog, HWND) override {
        ColorsShown.push_back(dialog.Color);
        if (ColorAnswers.empty()) return false;
        dialog.Color = ColorAnswers.front();
        ColorAnswers.pop_front();
        return true;
    }
    bool ChooseFont(ui::TFontDialog& dialog, HWND) override {
        FontsShown.push_back(dialog.Font);
        if (FontAnswers.empty()) return false;
        dialog.Font = FontAnswers.front();
        FontAnswers.pop_front();
        return true;
    }

    std::deque<std::string> OpenAnswers, FolderAnswers;
    std::deque<platform::TColor> ColorAnswers;
    std::deque<platform::TFontSpec> FontAnswers;
    std::vector<ui::TOpenDialog> Opened;
    std::vector<std::pair<std::string, std::string>> Folders; // title, initial folder
    std::vector<platform::TColor> ColorsShown;
    std::vector<platform::TFontSpec> FontsShown;

private:
    static std::string Next(std::deque<std::string>& answers) {
        if (answers.empty()) return std::string();
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Posts a key to a control, as the keyboard sends it while the control has the focus.
inline void PostKey(HWND control, WORD key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

} // namespace dialogtest
