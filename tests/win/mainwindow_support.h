// The real main window in the test's own program folder: the data file, the icon
// caches and the help file are looked for there. Message boxes and the dialogs are
// answered by the test; mouse, keys and drops arrive as real messages.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/win32/frmmain.h"
#include "mainwindow/win32/maindialogs.h"
#include "model/item.h"
#include "model/page.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/win32system.h"
#include "folder_system.h"
#include "probe_support.h"
#include "shell/common.h"
#include "shell_support.h"
#include "ui/application.h"
#include "ui_test_support.h"

namespace mwtest {

// The dialogs, answered by the test.
struct TScriptedDialogs : IMainDialogs {
    std::function<bool(TItem&)> OnEdit;
    std::function<bool(TLPage&)> OnRename; // the page to rename
    std::function<bool(TfrmMain&)> OnOptions;
    int Edits = 0, Renames = 0, Options = 0, Abouts = 0;

    bool EditItem(TItem& item) override {
        ++Edits;
        return OnEdit ? OnEdit(item) : false;
    }
    bool RenamePage(TDocument& document, int index) override {
        ++Renames;
        return OnRename ? OnRename(*document.Pages[(size_t)index]) : false;
    }
    bool EditOptions(TfrmMain& main) override {
        ++Options;
        return OnOptions ? OnOptions(main) : false;
    }
    void ShowAbout() override { ++Abouts; }
};

inline std::string Utf8(const std::string& cp932) {
    return platform::Cp932ToUtf8(cp932);
}

class MainWindowTest : public ::testing::Test {
protected:
    // A folder of its own for every test: a probe of the test before may still hold
    // files in its folder for a moment.
    MainWindowTest() : folder_(L"mainwindow-" + std::to_wstring(++Count())) {}
    static int& Count() {
        static int count = 0;
        return count;
    }

    void SetUp() override {
        system_ = std::make_unique<TProgramFolderSystem>(folder_.A() + "\\");
        previousSystem_ = platform::SetSystem(system_.get());
        app_ = std::make_unique<ui::TApplication>();
        boxes_ = std::make_unique<ui::TScriptedMessageBoxes>(*app_);
        previousDialogs_ = SetMainDialogs(&dialogs_);
    }

    void TearDown() override {
        form_.reset();
        SetMainDialogs(previousDialogs_);
        boxes_.reset();
        app_.reset();
        platform::SetSystem(previousSystem_);
    }

    // Creates and shows the window over the data file in the folder (if there is one);
    // pump: the messages waiting then are handled (the icon preloading among them).
    TfrmMain& Open(bool pump = true) {
        form_ = std::make_unique<TfrmMain>();
        form_->ShowForm();
        // An error that escapes a handler fails the test instead of ending the program.
        app_->OnException = [](void*, const std::exception& e) {
            ADD_FAILURE() << "escaped a handler: " << Utf8(ExceptionMessage(e));
        };
        if (pump) uitest::PumpPending();
        return *form_;
    }
    // Removes the icon caches: every icon is taken from the shell again at the next start.
    void ForgetIconCaches() {
        DeleteFileW((FolderW() + L"IconClList.bdt").c_str());
        DeleteFileW((FolderW() + L"IconMsList.bdt").c_str());
    }
    TfrmMain& Form() { return *form_; }
    TDocument& Doc() { return form_->Doc(); }

    std::wstring FolderW() const { return folder_.W() + L"\\"; }
    std::string FolderA() const { return folder_.A() + "\\"; }
    std::string DataFile() const { return FolderA() + "Kiropad.gbi"; }

    // ---- Items -----------------------------------------------------------------------
    TItem& PageItem(int page, int slot) { return Doc().Pages[(size_t)page]->Item(slot); }
    // Fills an item as the edit dialog would and shows it.
    void Fill(TItem& item, const std::string& path, const std::string& name, int exeAnd = 0) {
        item.Path = path;
        item.Name = name;
        item.IFol = FolderA();
        item.ExeAnd = (int8_t)exeAnd;
        item.RefreshIcon(false);
        form_->Grid.RefreshAllButtons();
    }
    // A program that records its starts: a copy of the launch probe in the folder.
    std::string Probe() {
        std::wstring target = FolderW() + L"probe.exe";
        if (!shelltest::ExistsW(target)) {
            std::wstring probe = probetest::ProbePath(L"launch_probe");
            EXPECT_TRUE(CopyFileW(probe.c_str(), target.c_str(), FALSE)) << "the launch probe is built";
        }
        std::string out;
        platform::Narrow(target, out);
        return out;
    }
    // The command lines of the probe's starts, once there are at least `count` (or the time is up).
    std::vector<std::wstring> Launches(size_t count, int milliseconds = 8000) {
        std::vector<std::wstring> lines;
        uitest::PumpUntil(
            [&] {
                lines = ReadLaunches();
                return lines.size() >= count;
            },
            milliseconds);
        return lines;
    }
    std::vector<std::wstring> ReadLaunches() {
        std::vector<std::wstring> lines;
        HANDLE h = CreateFileW((FolderW() + L"launches.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return lines;
        std::wstring text(GetFileSize(h, nullptr) / sizeof(wchar_t), L'\0');
        DWORD read = 0;
        if (!text.empty()) ReadFile(h, &text[0], (DWORD)(text.size() * sizeof(wchar_t)), &read, nullptr);
        CloseHandle(h);
        size_t start = 0;
        for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    // ---- Input -----------------------------------------------------------------------
    // The centre of a page item button, in the grid panel's client coordinates.
    POINT SlotPoint(int slot) {
        platform::TRect r = form_->Layout().PageItemButton(slot);
        return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    POINT IndPoint(int slot) {
        platform::TRect r = form_->Layout().IndButton(slot);
        return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    POINT PageButtonPoint(int index) {
        platform::TRect r = form_->Layout().PageButton(index);
        return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    static void Mouse(ui::TWindow& host, UINT message, POINT p, WPARAM keys = 0) {
        SendMessageW(host.Handle(), message, keys, MAKELPARAM(p.x, p.y));
    }
    static void Click(ui::TWindow& host, POINT p) {
        Mouse(host, WM_LBUTTONDOWN, p, MK_LBUTTON);
        Mouse(host, WM_LBUTTONUP, p);
    }
    void ClickSlot(int slot) { Click(form_->pnlPage, SlotPoint(slot)); }
    void KeyDown(WORD key) { SendMessageW(form_->Handle(), WM_KEYDOWN, key, 0); }
    void KeyUp(WORD key) { SendMessageW(form_->Handle(), WM_KEYUP, key, 0xC0000000); }
    void Press(WORD key) {
        KeyDown(key);
        KeyUp(key);
    }
    // Files dropped from the shell at a point of a host panel.
    void Drop(ui::TWindow& host, POINT p, const std::vector<std::string>& paths) {
        std::vector<std::wstring> wide;
        for (const std::string& path : paths)
            wide.push_back(platform::Widen(path));
        SendMessageW(host.Handle(), WM_DROPFILES, (WPARAM)uitest::MakeDrop(wide, p), 0);
    }

    // The boxes shown so far.
    const std::vector<ui::TMessageBoxRecord>& Boxes() const { return boxes_->Shown(); }
    void Answer(std::initializer_list<int> answers) { boxes_->Answer(answers); }

    shelltest::TTempFolder folder_;
    std::unique_ptr<TProgramFolderSystem> system_;
    platform::ISystem* previousSystem_ = nullptr;
    std::unique_ptr<ui::TApplication> app_;
    std::unique_ptr<ui::TScriptedMessageBoxes> boxes_;
    TScriptedDialogs dialogs_;
    IMainDialogs* previousDialogs_ = nullptr;
    std::unique_ptr<TfrmMain> form_;
};

// Chooses an entry of the next popup menu by keys, from a timer while the menu is
// tracked: `downs` times Down, then Enter (or Escape when downs is negative).
void ChooseFromNextPopup(HWND owner, int downs);

} // namespace mwtest
