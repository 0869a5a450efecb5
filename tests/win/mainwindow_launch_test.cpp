// Starting items from the main window: files dropped on empty and used buttons,
// names the program cannot keep, the edit lock against drops, copies into folder
// items, the double-click guard, the after-launch actions and the report of a
// failed start, and the commands that open an item's folder and help.
#include "mainwindow_support.h"

using namespace mwtest;

class MainWindowLaunch : public MainWindowTest {
protected:
    TfrmMain& OpenWithProbe(int exeAnd = 0) {
        TfrmMain& f = Open();
        Fill(PageItem(0, 1), Probe(), "probe", exeAnd);
        return f;
    }
    // A file of the test's own in the folder.
    std::string MakeFile(const std::string& name) {
        std::string path = FolderA() + name;
        shelltest::WriteFileW(platform::Widen(path), "data");
        return path;
    }
    bool NothingStarted() { return Launches(1, 1500).empty(); }
    // The last box shown, or an empty record.
    ui::TMessageBoxRecord LastBox() const {
        return Boxes().empty() ? ui::TMessageBoxRecord() : Boxes().back();
    }
};

TEST_F(MainWindowLaunch, FilesDroppedOnAnEmptyButtonMakeAnItemOfTheFirst) {
    TfrmMain& f = Open();
    std::string first = MakeFile("計算表.txt"), second = MakeFile("b.txt"), third = MakeFile("c.txt");
    Drop(f.pnlPage, SlotPoint(5), {first, second, third});
    TItem& item = PageItem(0, 5);
    EXPECT_EQ(first, item.Path);
    EXPECT_EQ("計算表", item.Name);
    EXPECT_EQ(FolderA().substr(0, FolderA().size() - 1), item.IFol);
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile()))) << "saved at once";
    EXPECT_EQ("", PageItem(0, 6).Path) << "the other files are ignored";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowLaunch, FilesDroppedOnAProgramArePassedQuotedAndSeparatedBySpaces) {
    TfrmMain& f = OpenWithProbe();
    std::string a = MakeFile("a.txt"), b = MakeFile("スペース のある名前.txt");
    Drop(f.pnlPage, SlotPoint(1), {a, b, a});
    std::vector<std::wstring> starts = Launches(1);
    ASSERT_EQ(1u, starts.size());
    std::wstring expected = platform::Widen("\"" + a + "\" \"" + b + "\" \"" + a + "\"");
    EXPECT_NE(std::wstring::npos, starts[0].find(expected)) << Utf8(platform::NarrowForDisplay(starts[0]));
    EXPECT_EQ(f.Grid.AfterExeButton(), &f.Grid.PageItemButton(1)) << "a drop is a start like a click";
}

TEST_F(MainWindowLaunch, NamesOutsideCodePage932AreKeptAndStartedExactly) {
    TfrmMain& f = Open();
    // Korean, Latin accents and an emoji outside the basic plane: no code page 932 form.
    std::wstring folder = FolderW() + L"\xD55C\xAD6D Caf\xE9 \xD83D\xDE00\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring program = folder + L"r\xE9sum\xE9 \xD83D\xDE80.exe";
    ASSERT_TRUE(CopyFileW(probetest::ProbePath(L"launch_probe").c_str(), program.c_str(), FALSE));
    SendMessageW(f.pnlPage.Handle(), WM_DROPFILES, (WPARAM)uitest::MakeDrop({program}, SlotPoint(3)), 0);
    TItem& item = PageItem(0, 3);
    EXPECT_EQ(program, platform::Widen(item.Path)) << "nothing is refused";
    EXPECT_EQ(std::wstring(L"r\xE9sum\xE9 \xD83D\xDE80"), platform::Widen(item.Name));
    EXPECT_EQ(folder.substr(0, folder.size() - 1), platform::Widen(item.IFol));
    EXPECT_TRUE(Boxes().empty());

    // The probe records its starts beside itself.
    item.Arg = platform::FromWide(L"\xC5B4 \xD83D\xDE00");
    ClickSlot(3);
    std::wstring launches = folder + L"launches.txt";
    ASSERT_TRUE(uitest::PumpUntil([&] { return shelltest::ExistsW(launches); }, 8000)) << "the probe started";
    uitest::PumpFor(300);
    std::vector<uint8_t> record = platform::ReadWholeFile(platform::FromWide(launches));
    std::wstring line((const wchar_t*)record.data(), record.size() / sizeof(wchar_t));
    EXPECT_NE(std::wstring::npos, line.find(L"\xC5B4 \xD83D\xDE00")) << "the arguments arrive exact";
    EXPECT_TRUE(Boxes().empty());

    // Saved and read back: the same exact texts.
    Doc().SaveIfNeeded(TSaveReason::Command);
    std::string path = item.Path, name = item.Name;
    Open();
    EXPECT_EQ(path, PageItem(0, 3).Path);
    EXPECT_EQ(name, PageItem(0, 3).Name);
}

TEST_F(MainWindowLaunch, ADropWithAPathTooLongIsRefusedWhole) {
    TfrmMain& f = OpenWithProbe();
    // A path longer than 259 characters neither fills an item nor reaches a program.
    std::string longPath = "C:\\" + std::string(260, 'x') + ".txt";
    Drop(f.pnlPage, SlotPoint(1), {longPath});
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_NE(std::string::npos, LastBox().Text.find("長すぎます"));
    Drop(f.pnlPage, SlotPoint(3), {longPath});
    EXPECT_EQ("", PageItem(0, 3).Path);
    EXPECT_TRUE(NothingStarted());
}

TEST_F(MainWindowLaunch, UnderTheEditLockEmptyButtonsRefuseDropsAndUsedOnesTakeThem) {
    TfrmMain& f = OpenWithProbe();
    Doc().NoEdit = true;
    f.Grid.RefreshAllButtons();
    EXPECT_FALSE(f.Grid.PageItemButton(3).Panel().GetDragDropAccept());
    EXPECT_TRUE(f.Grid.PageItemButton(1).Panel().GetDragDropAccept());
    Drop(f.pnlPage, SlotPoint(3), {MakeFile("a.txt")});
    EXPECT_EQ("", PageItem(0, 3).Path);
    Drop(f.pnlPage, SlotPoint(1), {MakeFile("a.txt")});
    EXPECT_EQ(1u, Launches(1).size());
}

TEST_F(MainWindowLaunch, AfterAPageSwitchDropsGoByTheNewPageBeforeItIsPainted) {
    // Under the edit lock, page 1 takes files on slot 1 and not on slot 3; page 0 the
    // other way round. The drops arrive before the new page has been painted.
    TfrmMain& f = Open();
    std::string probe = Probe();
    Fill(PageItem(0, 3), probe, "probe");
    Fill(PageItem(1, 1), probe, "probe");
    Doc().NoEdit = true;
    Press(VK_NEXT);
    f.Grid.RefreshAllButtons();
    ASSERT_TRUE(f.Grid.PageItemButton(1).Panel().GetDragDropAccept());
    ASSERT_FALSE(f.Grid.PageItemButton(3).Panel().GetDragDropAccept());
    Press(VK_PRIOR);
    ASSERT_EQ(0, f.CurrentPage());
    Drop(f.pnlPage, SlotPoint(1), {MakeFile("a.txt")});
    EXPECT_EQ("", PageItem(0, 1).Path) << "the empty slot of page 0 refuses the file";
    EXPECT_TRUE(NothingStarted());
    Drop(f.pnlPage, SlotPoint(3), {MakeFile("b.txt")});
    EXPECT_EQ(1u, Launches(1).size()) << "the program of page 0 takes it";
}

TEST_F(MainWindowLaunch, FilesDroppedOnAFolderItemAreCopiedIntoIt) {
    TfrmMain& f = Open();
    std::wstring target = FolderW() + L"受け皿";
    CreateDirectoryW(target.c_str(), nullptr);
    std::string targetA;
    platform::Narrow(target, targetA);
    Fill(PageItem(0, 2), targetA, "受け皿");
    Drop(f.pnlPage, SlotPoint(2), {MakeFile("a.txt"), MakeFile("b.txt")});
    EXPECT_TRUE(shelltest::ExistsW(target + L"\\a.txt"));
    EXPECT_TRUE(shelltest::ExistsW(target + L"\\b.txt"));
    EXPECT_TRUE(Boxes().empty()) << "a copy that succeeded reports nothing";

    // A copy that fails is reported as a missing file.
    Drop(f.pnlPage, SlotPoint(2), {FolderA() + "ない.txt"});
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LastBox().Text);
}

TEST_F(MainWindowLaunch, TheDoubleClickGuardSkipsASecondStartOfTheSameButton) {
    TfrmMain& f = OpenWithProbe();
    Fill(PageItem(0, 2), Probe(), "probe 2");
    Doc().PreventDblExe = true;
    ClickSlot(1);
    ClickSlot(1);
    EXPECT_EQ(1u, Launches(2, 2000).size()) << "the second click within 3 seconds starts nothing";
    // Another button in between makes the first startable again at once.
    ClickSlot(2);
    ClickSlot(1);
    EXPECT_EQ(3u, Launches(3).size());
    // A page change ends the guard for the button of the old page.
    Press(VK_NEXT);
    Press(VK_PRIOR);
    EXPECT_EQ(nullptr, f.Grid.AfterExeButton());
    ClickSlot(1);
    EXPECT_EQ(4u, Launches(4).size());
    // The guard runs out after 3 seconds.
    EXPECT_TRUE(uitest::PumpUntil([&] { return f.Grid.AfterExeButton() == nullptr; }, 4500));

    Doc().PreventDblExe = false;
    ClickSlot(1);
    ClickSlot(1);
    EXPECT_EQ(6u, Launches(6).size()) << "without the guard every click starts";
}

TEST_F(MainWindowLaunch, AfterAStartTheWindowStaysOrMinimisesAsTheItemSays) {
    TfrmMain& f = OpenWithProbe(eaNothing);
    ClickSlot(1);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsIconic(f.Handle()));
    PageItem(0, 1).ExeAnd = eaMinimize;
    ClickSlot(1);
    EXPECT_TRUE(IsIconic(f.Handle()));
    ShowWindow(f.Handle(), SW_RESTORE);
    // -1 means the document's default, which is to minimise too.
    PageItem(0, 1).ExeAnd = eaDefault;
    Doc().ExeAnd = eaNothing;
    ClickSlot(1);
    EXPECT_FALSE(IsIconic(f.Handle()));
    EXPECT_EQ(3u, Launches(3).size());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowLaunch, AStartWithTheExitActionClosesTheProgramAndSaves) {
    TfrmMain& f = OpenWithProbe(eaExit);
    HWND window = f.Handle();
    ClickSlot(1);
    EXPECT_FALSE(IsWindowVisible(window)) << "hidden at once";
    EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindow(window); }, 3000)) << "then closed";
    EXPECT_TRUE(f.Closing());
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));
    EXPECT_EQ(1u, Launches(1).size());
}

TEST_F(MainWindowLaunch, AFailedStartIsReportedAndTheWindowComesBackEvenWithTheExitAction) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 4), FolderA() + "ない.exe", "missing", eaExit);
    ClickSlot(4);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LastBox().Text);
    EXPECT_EQ("Kiropad", LastBox().Caption);
    EXPECT_EQ((unsigned)(MB_ICONHAND | MB_SETFOREGROUND), LastBox().Flags);
    uitest::PumpFor(300);
    EXPECT_TRUE(IsWindow(f.Handle())) << "a failed start never closes the window";
    EXPECT_TRUE(IsWindowVisible(f.Handle()));

    // Minimised by the item's action, the window is restored for the report.
    PageItem(0, 4).ExeAnd = eaMinimize;
    ClickSlot(4);
    EXPECT_FALSE(IsIconic(f.Handle()));
    EXPECT_EQ(2u, Boxes().size());

    // Any other failure of the shell has its own text: a file nothing is associated with.
    Fill(PageItem(0, 5), MakeFile("data.kiropad-unknown"), "unknown");
    ClickSlot(5);
    ASSERT_EQ(3u, Boxes().size());
    EXPECT_EQ("ファイルオープン時にエラーが発生しました。", LastBox().Text);
}

TEST_F(MainWindowLaunch, TheRelatedHelpCommandAppliesTheDocumentsActionWithoutTheGuard) {
    TfrmMain& f = Open();
    TItem& item = PageItem(0, 0);
    Fill(item, Probe(), "probe", eaNothing);
    item.LHelp = Probe(); // a program stands in for the help file
    Doc().PreventDblExe = true;
    Doc().ExeAnd = eaMinimize;
    f.Commands.OpenHelp.Run();
    EXPECT_TRUE(IsIconic(f.Handle())) << "the document's action, not the item's";
    EXPECT_EQ(nullptr, f.Grid.AfterExeButton()) << "the guard is neither used nor set";
    ShowWindow(f.Handle(), SW_RESTORE);
    f.Commands.OpenHelp.Run();
    EXPECT_EQ(2u, Launches(2).size());

    // With the action "exit", a folder that does not exist brings the window back
    // with the error; an existing target closes the program.
    Doc().ExeAnd = eaExit;
    item.LFol = FolderA() + "ないフォルダ";
    f.Commands.OpenFolder.Run();
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("ファイルまたはパスが見つかりません。", LastBox().Text);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    HWND window = f.Handle();
    f.Commands.OpenHelp.Run();
    EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindow(window); }, 3000));
}
