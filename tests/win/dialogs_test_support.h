// Helpers of the dialog tests: a running application with scripted message boxes,
// a document made the program-wide one, a system whose path kinds and icons are
// scripted (everything else goes to the real one), pickers and a help viewer that
// record what they were asked, and the hook that acts on a shown dialog.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/common.h"
#include "model/document.h"
#include "model/host.h"
#include "platform/system.h"
#include "ui/application.h"
#include "ui/dialog.h"
#include "ybfs/exception.h"

namespace dialogtest {

// Acts on every dialog once it is shown (nested ones too) while it lives.
class THook {
public:
    explicit THook(ui::TDialog::TShownHook hook) { ui::TDialog::SetShownHook(std::move(hook)); }
    ~THook() { ui::TDialog::SetShownHook(nullptr); }
    THook(const THook&) = delete;
    THook& operator=(const THook&) = delete;
};

// Path kinds and icons as scripted; what is not scripted, and everything else,
// goes to the system that was installed before.
class TScriptedSystem : public platform::ISystem {
public:
    TScriptedSystem() : real_(*platform::SetSystem(this)) {}
    ~TScriptedSystem() override { platform::SetSystem(&real_); }
    TScriptedSystem(const TScriptedSystem&) = delete;
    TScriptedSystem& operator=(const TScriptedSystem&) = delete;

    int ShellExecute(platform::TWindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string* params, const std::string* dir, int showCmd) override {
        return real_.ShellExecute(owner, verb, file, params, dir, showCmd);
    }
    int CopyFilesInto(platform::TWindowHandle owner, const std::vector<std::string>& files,
                      const std::string& folder) override {
        return real_.CopyFilesInto(owner, files, folder);
    }
    int GetPathKind(const std::string& path) override {
        auto it = PathKinds.find(path);
        return it != PathKinds.end() ? it->second : real_.GetPathKind(path);
    }
    bool ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                               platform::TIconPInfo* location) override {
        FileIconRequests.push_back(path);
        auto it = FileIcons.find(path);
        if (it == FileIcons.end()) return real_.ExtractAssociatedIcon(path, icon, location);
        icon = Solid(it->second.second);
        if (location) *location = it->second.first;
        return true;
    }
    bool ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) override {
        IndexedIconRequests.emplace_back(file, index);
        auto it = IndexedIcons.find({file, index});
        if (it == IndexedIcons.end()) return real_.ExtractIndexedIcon(file, index, icon);
        icon = Solid(it->second);
        return true;
    }
    int AnalyseShortcut(const std::string& path, platform::TLinkInfo& info) override {
        return real_.AnalyseShortcut(path, info);
    }
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        return real_.MessageBox(text, caption, flags);
    }
    void SetWaitCursor(bool wait) override {
        WaitDepth += wait ? 1 : -1;
        if (wait) ++WaitShown;
        real_.SetWaitCursor(wait);
    }
    std::string ProgramFolder() override { return real_.ProgramFolder(); }
    uint32_t ColorToPixel(platform::TColor color) override { return real_.ColorToPixel(color); }

    // An icon of one colour (0x00RRGGBB) with a transparent frame of one pixel.
    static platform::TIconImage Solid(uint32_t color) {
        platform::TIconImage icon;
        icon.Color = platform::TPixmap(32, 32, 0);
        icon.Mask = platform::TPixmap(32, 32, 0x00FFFFFF);
        icon.Color.FillRect(platform::TRect(1, 1, 31, 31), color);
        icon.Mask.FillRect(platform::TRect(1, 1, 31, 31), 0);
        return icon;
    }

    std::map<std::string, int> PathKinds;
    // Associated icons by path: where the shell found it, and its colour.
    std::map<std::string, std::pair<platform::TIconPInfo, uint32_t>> FileIcons;
    std::map<std::pair<std::string, int>, uint32_t> IndexedIcons;
    std::vector<std::string> FileIconRequests;
    std::vector<std::pair<std::string, int>> IndexedIconRequests;
    int WaitDepth = 0;
    int WaitShown = 0;

private:
    platform::ISystem& real_;
};

// Records what the dialogs ask of the system dialogs and answers from scripts.
class TFakePickers : public dialogs::IPickers {
public:
    struct TOpenCall {
        std::string Title, Filter, DefaultExt, InitialDir, FileName;
    };
    struct TFolderCall {
        std::string Title, Initial;
    };

    TFakePickers() { previous_ = dialogs::SetPickers(this); }
    ~TFakePickers() override { dialogs::SetPickers(previous_); }
    TFakePickers(const TFakePickers&) = delete;
    TFakePickers& operator=(const TFakePickers&) = delete;

    bool OpenFile(ui::TOpenDialog& dialog, HWND) override {
        OpenCalls.push_back(
            {dialog.Title, dialog.Filter, dialog.DefaultExt, dialog.InitialDir, dialog.FileName});
        if (OpenAnswers.empty()) return false;
        std::string answer = OpenAnswers.front();
        OpenAnswers.pop_front();
        if (answer.empty()) return false;
        dialog.FileName = answer;
        return true;
    }
    std::string BrowseFolder(HWND, const std::string& title, const std::string& initial) override {
        FolderCalls.push_back({title, initial});
        if (FolderAnswers.empty()) return std::string();
        std::string answer = FolderAnswers.front();
        FolderAnswers.pop_front();
        return answer;
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

    // An empty answer cancels.
    std::deque<std::string> OpenAnswers, FolderAnswers;
    std::deque<platform::TColor> ColorAnswers;
    std::deque<platform::TFontSpec> FontAnswers;
    std::vector<TOpenCall> OpenCalls;
    std::vector<TFolderCall> FolderCalls;
    std::vector<platform::TColor> ColorsShown;
    std::vector<platform::TFontSpec> FontsShown;

private:
    dialogs::IPickers* previous_ = nullptr;
};

// Records the help topics opened instead of starting the viewer.
class THelpRecorder {
public:
    THelpRecorder() {
        dialogs::SetHelpViewer([this](const std::string& file, const std::string& topic) {
            Files.push_back(file);
            Topics.push_back(topic);
        });
    }
    ~THelpRecorder() { dialogs::SetHelpViewer(nullptr); }
    THelpRecorder(const THelpRecorder&) = delete;
    THelpRecorder& operator=(const THelpRecorder&) = delete;

    std::vector<std::string> Files, Topics;
};

// The program as the dialogs meet it: the application with its boxes answered from
// a script, and a document of ten empty 5 x 3 pages that is the program-wide one
// and never writes a file. An error escaping a handler fails the test.
class TDialogEnv {
public:
    TDialogEnv() {
        app.OnException = [](void*, const std::exception& e) { ADD_FAILURE() << "escaped: " << e.what(); };
        doc.IconList = std::make_unique<TIconList>();
        SetDocument(&doc);
        doc.Reset(false);
        doc.NoSave = true;
    }
    ~TDialogEnv() { SetDocument(nullptr); }
    TDialogEnv(const TDialogEnv&) = delete;
    TDialogEnv& operator=(const TDialogEnv&) = delete;

    // Puts an item with a path (and a title) into a slot of a page.
    void Fill(int page, int slot, const std::string& path) {
        TItem& item = doc.Pages[(size_t)page]->Item(slot);
        item.Path = path;
        item.Name = "item";
    }

    ui::TApplication app;
    ui::TScriptedMessageBoxes boxes{app};
    TDocument doc;
};

// Posts a key to a control, as the keyboard would send it while the control has the focus.
inline void PostKey(HWND control, WORD key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

} // namespace dialogtest
