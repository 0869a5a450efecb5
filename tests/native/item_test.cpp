// Items: launch kinds, starting with dropped files, copying into folders, filling
// from paths and shortcuts, icons and faces, and the 16-bit stored fields.
#include <gtest/gtest.h>

#include "support/model_env.h"

using Shell = TFakeSystem::TShellCall;

TEST(Item, LaunchKindComesFromTheExtensionAndTheFolderTest) {
    TFakeSystem sys;
    sys.PathKinds["C:\\dir.exe"] = platform::TPathKind::Folder;
    struct {
        const char* Path;
        TLaunchKind Kind;
    } cases[] = {{"", TLaunchKind::Document},
                 {"D:\\", TLaunchKind::Folder},
                 {"C:\\dir.exe", TLaunchKind::Folder},
                 {"C:\\tool.exe", TLaunchKind::Program},
                 {"C:\\TOOL.Exe", TLaunchKind::Program},
                 {"C:\\x.lnk", TLaunchKind::Program},
                 {"C:\\x.bat", TLaunchKind::Document},
                 {"C:\\x.com", TLaunchKind::Document},
                 {"C:\\a.b\\tool", TLaunchKind::Document}};
    for (auto& c : cases)
        EXPECT_EQ(TItem::GetKind(c.Path), c.Kind) << c.Path;
    EXPECT_EQ(std::count(sys.IconRequests.begin(), sys.IconRequests.end(), "D:\\"), 0);
}

TEST(Item, RunPassesArgumentsAndDroppedNamesOnlyToPrograms) {
    TModelEnv env;
    env.Start();
    TItem item(false);
    item.Arg = "-v";
    item.IFol = "C:\\work";
    item.WindowState = wsMaximized;
    const std::string dropped = "\"C:\\a b.txt\" \"C:\\c.txt\"";

    item.Path = "C:\\tool.exe";
    EXPECT_EQ(item.Run(dropped), 42);
    item.Arg = "";
    item.Run(dropped);
    item.Path = "C:\\notes.txt";
    item.Run(dropped);
    ASSERT_EQ(env.System.ShellCalls.size(), 3u);
    const Shell& program = env.System.ShellCalls[0];
    EXPECT_EQ(program.Owner, env.Host.Handle);
    EXPECT_EQ(program.Verb, "");
    EXPECT_EQ(program.File, "C:\\tool.exe");
    EXPECT_EQ(program.Params, "-v " + dropped);
    EXPECT_EQ(program.Dir, "C:\\work");
    EXPECT_EQ(program.ShowCmd, 3);
    EXPECT_EQ(env.System.ShellCalls[1].Params, " " + dropped); // the space stays without Arg
    EXPECT_FALSE(env.System.ShellCalls[2].HasParams);
    EXPECT_TRUE(env.System.CopyCalls.empty());
}

TEST(Item, FolderItemCopiesDroppedFilesOrOpensItself) {
    TModelEnv env;
    env.Start();
    TItem item(false);
    item.Path = "D:\\";
    item.IFol = "D:\\";
    EXPECT_EQ(item.Run("\"C:\\a b.txt\" \"C:\\表.txt\""), 33);
    env.System.CopyResult = 1223; // cancelled
    EXPECT_EQ(item.Run("C:\\x.txt"), 2);
    ASSERT_EQ(env.System.CopyCalls.size(), 2u);
    EXPECT_EQ(env.System.CopyCalls[0].Files, (std::vector<std::string>{"C:\\a b.txt", "C:\\表.txt"}));
    EXPECT_EQ(env.System.CopyCalls[0].Folder, "D:\\");
    EXPECT_EQ(env.System.CopyCalls[0].Owner, env.Host.Handle);
    EXPECT_TRUE(env.System.ShellCalls.empty());
    item.Run("");
    ASSERT_EQ(env.System.ShellCalls.size(), 1u);
    EXPECT_FALSE(env.System.ShellCalls[0].HasParams);
    EXPECT_EQ(env.System.ShellCalls[0].Dir, "D:\\");
}

TEST(Item, CopyListSplitsQuotedAndWhiteSpaceSeparatedNames) {
    struct {
        std::string Params;
        std::vector<std::string> Names;
    } cases[] = {
        {"a b\tc\r\nd\v\fe", {"a", "b", "c", "d", "e"}},
        {"\"x y\"z \"w", {"x y", "z", "w"}}, // a name may follow a closing quote; an open one runs to the end
        {"a \"", {"a"}},                     // a lone quote at the very end ends the scan
        {"\"\" b", {"b"}},                   // an empty name would cut the shell's list short
        {"\x82\xa0\x81\x40x", {"\x82\xa0\x81\x40x"}}, // bytes of 0x80 and above never separate
        {"  ", {}},
    };
    for (auto& c : cases)
        EXPECT_EQ(TItem::SplitFileList(c.Params), c.Names) << c.Params;
}

TEST(Item, RunRefusesAPathTheShellWouldCutShort) {
    TModelEnv env;
    env.Start();
    TItem item(false);
    item.Path = "C:\\" + std::string(256, 'a') + ".exe"; // 263 characters
    EXPECT_EQ(item.Run(""), 2);
    item.Path = "C:\\" + std::string(256, 'a');
    item.Run("");
    ASSERT_EQ(env.System.ShellCalls.size(), 1u);
    // Counted in characters: 130 double-byte characters are 260 bytes but fit.
    std::string wide;
    for (int i = 0; i < 130; ++i)
        wide += "表";
    item.Path = "C:\\" + wide;
    item.Run("");
    EXPECT_EQ(env.System.ShellCalls.size(), 2u);
}

TEST(Item, RunLeavesLongUrlsAndShellNamesToTheShell) {
    TModelEnv env;
    env.Start();
    const std::string tail(300, 'q');
    for (std::string path :
         {"https://example.com/search?q=" + tail, "mailto:someone@example.com?body=" + tail,
          "shell:AppsFolder\\" + tail, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\" + tail}) {
        TItem item(false);
        item.Path = path;
        env.System.ShellCalls.clear();
        EXPECT_EQ(item.Run(""), 42) << path.substr(0, 20);
        ASSERT_EQ(env.System.ShellCalls.size(), 1u) << path.substr(0, 20);
        EXPECT_EQ(env.System.ShellCalls[0].File, path);
    }
    // File system paths keep the limit: drive letters, shares, relative paths.
    for (std::string path : {"C:\\" + tail, "C:" + tail, "\\\\server\\share\\" + tail, "tools\\" + tail}) {
        TItem item(false);
        item.Path = path;
        env.System.ShellCalls.clear();
        EXPECT_EQ(item.Run(""), 2) << path.substr(0, 20);
        EXPECT_TRUE(env.System.ShellCalls.empty()) << path.substr(0, 20);
    }
}

TEST(Item, FillingFromAProgramFolderOrDriveSetsNameFoldersAndHelp) {
    TModelEnv env;
    env.Start();
    env.System.PathKinds["D:\\Tools\\app.hlp"] = platform::TPathKind::File;
    env.System.PathKinds["D:\\my.hlp"] = platform::TPathKind::File;
    env.System.PathKinds["D:\\my.dir\\tool.hlp"] = platform::TPathKind::File;
    env.System.PathKinds["E:\\data"] = platform::TPathKind::Folder;
    TItem item(true);
    item.SetFromFile("D:\\Tools\\app.exe");
    EXPECT_EQ(item.Name, "app");
    EXPECT_EQ(item.IFol, "D:\\Tools");
    EXPECT_EQ(item.LFol, "D:\\Tools");
    EXPECT_EQ(item.LHelp, "D:\\Tools\\app.hlp");

    TItem tool(true);
    tool.SetFromFile("D:\\my.dir\\tool"); // the dot of a folder's name is no extension
    EXPECT_EQ(tool.LHelp, "D:\\my.dir\\tool.hlp");
    EXPECT_EQ(tool.Name, "tool");

    TItem folder(true);
    folder.LHelp = "old";
    folder.SetFromFile("E:\\data");
    EXPECT_EQ(folder.IFol, "E:\\data");
    EXPECT_EQ(folder.LFol, "");
    EXPECT_EQ(folder.LHelp, "");

    TItem drive(true);
    drive.SetFromFile("D:\\");
    EXPECT_EQ(drive.Name, "D:\\");
    EXPECT_EQ(drive.LFol, "D:\\");

    // 表 is 0x95 0x5C: its trail byte is not a path separator.
    TItem japanese(true);
    japanese.SetFromFile("C:\\表\\ソフト.exe");
    EXPECT_EQ(japanese.Name, "ソフト");
    EXPECT_EQ(japanese.IFol, "C:\\表");

    // A drive-relative program starts in the current folder of its drive.
    TItem relative(true);
    relative.SetFromFile("D:a.exe");
    EXPECT_EQ(relative.Name, "a");
    EXPECT_EQ(relative.IFol, "D:");
    EXPECT_EQ(relative.LFol, "D:");
}

TEST(Item, FillingFromAShortcutTakesItsTargetAndMapsOfficeIconPrograms) {
    TModelEnv env;
    env.Start();
    platform::TLinkInfo link;
    link.LinkPath = "C:\\Prog\\edit.exe";
    link.Argument = "/n";
    link.WorkDir = "C:\\Docs";
    link.IconPath = "C:\\Prog\\icons.dll";
    link.IconNo = 4;
    link.ShowCmd = 7;
    env.System.Shortcuts["C:\\Links\\Editor.lnk"] = link;
    link.LinkPath = "C:\\Windows\\Installer\\{90110411-6000}\\wordicon.exe";
    link.ShowCmd = 3;
    env.System.Shortcuts["C:\\Links\\Word.lnk"] = link;

    TItem item(true);
    item.SetFromFile("C:\\Links\\Editor.lnk");
    EXPECT_EQ(item.Path, "C:\\Prog\\edit.exe");
    EXPECT_EQ(item.Name, "Editor");
    EXPECT_EQ(item.Arg, "/n");
    EXPECT_EQ(item.IFol, "C:\\Docs");
    EXPECT_EQ(item.Icon, "C:\\Prog\\icons.dll");
    EXPECT_EQ(item.IconN, 4);
    EXPECT_EQ(item.WindowState, wsMinimized);
    EXPECT_EQ(item.LFol, "C:\\Prog");

    TItem word(true);
    word.SetFromFile("C:\\Links\\Word.lnk");
    EXPECT_EQ(word.Path, "winword.exe");
    EXPECT_EQ(word.Name, "Word");
    EXPECT_EQ(word.LFol, "");
    EXPECT_EQ(word.WindowState, wsMaximized);

    TItem broken(true); // a shortcut that cannot be analysed is a plain file
    broken.WindowState = wsMaximized;
    broken.SetFromFile("C:\\Links\\Gone.lnk");
    EXPECT_EQ(broken.Path, "C:\\Links\\Gone.lnk");
    EXPECT_EQ(broken.WindowState, wsMaximized);

    EXPECT_EQ(TItem::MapOfficeTarget("x}\\OUTICON.EXE"), "x}\\OUTICON.EXE"); // case-sensitive
    EXPECT_EQ(TItem::MapOfficeTarget("x\\wordicon.exe"), "x\\wordicon.exe");
}

TEST(Item, ClearKeepsTheWindowStateAndAssignCarriesItButNotTheSlot) {
    TModelEnv env;
    env.Start();
    TItem a(true), b(true);
    a.Name = "a";
    a.Path = "C:\\a.exe";
    a.IconN = 3;
    a.ExeAnd = eaExit;
    a.WindowState = wsMinimized;
    b.ImageIndex = 4;
    b.Assign(a);
    EXPECT_EQ(b.Path, "C:\\a.exe");
    EXPECT_EQ(b.ExeAnd, eaExit);
    EXPECT_EQ(b.WindowState, wsMinimized) << "a copy starts the program as the original does";
    EXPECT_EQ(b.ImageIndex, 4);
    // An exchange through a third item swaps the states as well.
    TItem c(false);
    b.WindowState = wsMaximized;
    c.Assign(b);
    b.Assign(a);
    a.Assign(c);
    EXPECT_EQ(a.WindowState, wsMaximized);
    EXPECT_EQ(b.WindowState, wsMinimized);
    b.ImageIndex = -2;
    a.ClearItem();
    EXPECT_EQ(a.Path, "");
    EXPECT_EQ(a.IconN, 0);
    EXPECT_EQ(a.ExeAnd, eaDefault);
    EXPECT_EQ(a.WindowState, wsMaximized);
    EXPECT_EQ(a.GetExeAnd(), 1);
    env.Doc->ExeAnd = 0;
    EXPECT_EQ(a.GetExeAnd(), 0);
}

TEST(Item, IconsAreEvaluatedLazilyAndSlotsAreFreedWithTheItem) {
    TModelEnv env;
    TDocument& d = env.Start();
    env.System.PathKinds["C:\\a.exe"] = platform::TPathKind::File;
    env.System.Icons["C:\\a.exe"] = TFakeSystem::SolidIcon(0x00FF00);
    env.System.PathKinds["C:\\i.dll"] = platform::TPathKind::File;
    env.System.IndexedIcons[{"C:\\i.dll", 2}] = TFakeSystem::SolidIcon(0x0000FF);
    int last = -1;
    {
        TItem item(true);
        item.SetFromFile("C:\\a.exe");
        EXPECT_EQ(item.ImageIndex, 0);
        EXPECT_TRUE(d.IconList->Used[0]);
        // Read back with its slot: prepared from the cache, without the shell.
        Parse(item, Serialise(item));
        EXPECT_FALSE(item.Prepared);
        size_t asked = env.System.IconRequests.size();
        item.PrepareIcon();
        EXPECT_EQ(env.System.IconRequests.size(), asked);
        EXPECT_TRUE(item.Prepared);
        item.ImageIndex = -2;
        item.Prepared = false;
        item.PrepareIcon();
        EXPECT_EQ(env.System.IconRequests.size(), asked + 1);
        item.Icon = "C:\\i.dll";
        item.IconN = 2;
        item.RefreshIcon(false);
        EXPECT_EQ(d.IconList->ColorStrip.Pixel(item.ImageIndex * 32 + 16, 16), 0x0000FFu);
        last = item.ImageIndex;
        EXPECT_TRUE(d.IconList->Used[(size_t)last]);
    }
    EXPECT_FALSE(d.IconList->Used[(size_t)last]);
}

TEST(Item, PageItemsKeepAPaintedFaceOnlyWhileTheyHoldSomething) {
    TModelEnv env;
    env.Start();
    env.Host.View.ItemWidth = 60;
    env.Host.View.ItemHeight = 50;
    TItem page(true), ind(false);
    EXPECT_EQ(page.Image, nullptr);
    page.SetFromFile("C:\\x.txt");
    ind.SetFromFile("C:\\x.txt");
    ASSERT_NE(page.Image, nullptr);
    EXPECT_EQ(page.Image->Width(), 56);
    EXPECT_EQ(page.Image->Height(), 46);
    EXPECT_EQ(page.Image->Pixel(0, 0), 0x00C0C0C0u); // the button colour of the fake system
    EXPECT_EQ(ind.Image, nullptr);
    int painted = env.Host.FacesPainted;
    page.Prepared = false;
    page.RedrawImage();
    EXPECT_EQ(env.Host.FacesPainted, painted);
    page.Prepared = true;
    env.Host.View.ItemWidth = 90;
    page.RedrawImage();
    EXPECT_EQ(page.Image->Width(), 86);
    page.ClearItem();
    EXPECT_EQ(page.Image, nullptr);
}

TEST(Item, StoredFieldsKeepTheir16BitRules) {
    TModelEnv env;
    env.Start();
    TItem item(false);
    item.Name = "名前";
    item.Comment = "c";
    item.ExeAnd = eaDefault;
    item.ImageIndex = 70000; // only its low 16 bits are stored
    item.WindowState = wsMaximized;
    std::vector<uint8_t> bytes = Serialise(item);
    TBody expected;
    expected.Str(0, "名前").Str(1, "").Str(2, "").Str(3, "").Str(12, "c").Str(4, "").Str(5, "").Str(6, "");
    expected.I32(7, 0).I16(8, 0xFFFF).I16(10, 70000 & 0xFFFF).I32(11, 2);
    EXPECT_EQ(bytes, expected.Bytes());

    TItem back(false);
    back.Arg = "kept";
    Parse(back, TBody().Str(0, "n").I16(8, 0xFFFF).I16(10, 0xFFFE).I32(11, 1).Bytes());
    EXPECT_EQ(back.Name, "n");
    EXPECT_EQ(back.Arg, "kept");
    EXPECT_EQ(back.ExeAnd, eaDefault);
    EXPECT_EQ(back.ImageIndex, -2);
    EXPECT_EQ(back.WindowState, wsMinimized);
    Parse(back, TBody().I16(8, 0x0102).Bytes());
    EXPECT_EQ(back.ExeAnd, 2);
}
