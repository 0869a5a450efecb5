// The item edit dialog, shown modally and acted on through the hook as a user
// would: fields typed, focus moved, boxes checked, buttons pressed.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/frmitemedit.h"
#include "dialogs_test_support.h"
#include "platform/text.h"
#include "shell/win32/helpers.h"
#include "shell_support.h"
#include "ui/gdi.h"

using namespace dialogtest;

namespace {

const uint32_t kRed = 0x00FF0000, kBlue = 0x000000FF;

class DialogsItemEdit : public ::testing::Test {
protected:
    DialogsItemEdit() { env.doc.ExeAnd = eaNothing; }

    TDialogEnv env;
    TScriptedSystem system;
    TFakePickers pickers;
    THelpRecorder help;
    TItem item{false};
};

// Types into the path field and leaves it, as a user moving on to the next field.
void TypePathAndLeave(TfrmItemEdit& dlg, const std::string& path) {
    dlg.edtPath.SetFocus();
    dlg.edtPath.SetText(path);
    dlg.edtName.SetFocus();
}

} // namespace

TEST_F(DialogsItemEdit, ShowsTheItemAndWritesEveryFieldOnOk) {
    item.Path = "C:\\Tools\\old.exe";
    item.Name = "古いツール";
    item.IFol = "C:\\Tools";
    item.Arg = "/a";
    item.Comment = "説明";
    item.LFol = "C:\\Tools";
    item.LHelp = "C:\\Tools\\old.hlp";
    item.WindowState = wsMinimized;
    item.Icon = "C:\\Tools\\icons.dll";
    item.IconN = 3;
    item.ExeAnd = eaExit;
    item.ImageIndex = -2;

    TfrmItemEdit dlg;
    bool checked = false;
    THook hook([&](ui::TDialog&) {
        EXPECT_EQ(TfrmItemEdit::kTabBasic, dlg.pgcMain.ActivePage());
        EXPECT_EQ(dlg.edtPath.Handle(), GetFocus()) << "the path field has the focus";
        EXPECT_EQ("古いツール", dlg.edtName.Text());
        EXPECT_EQ("/a", dlg.edtArg.Text());
        EXPECT_EQ("説明", dlg.edtComment.Text());
        EXPECT_EQ("C:\\Tools\\old.hlp", dlg.edtLHelp.Text());
        EXPECT_EQ(1, dlg.cmbWindowState.ItemIndex());
        EXPECT_TRUE(dlg.chkIcon.Checked());
        EXPECT_EQ("C:\\Tools\\icons.dll", dlg.edtIcon.Text());
        EXPECT_EQ("3", dlg.edtIconN.Text());
        EXPECT_EQ(3, dlg.updIconN.Position());
        EXPECT_TRUE(dlg.chkExeAnd.Checked());
        EXPECT_EQ(2, dlg.cmbExeAnd.ItemIndex());
        EXPECT_FALSE(dlg.PathChanged());
        checked = true;

        dlg.edtName.SetText("新しいツール");
        dlg.edtIFol.SetText("D:\\Work");
        dlg.edtArg.SetText("-x \"a b\"");
        dlg.edtComment.SetText("新しい説明");
        dlg.pgcMain.SetActivePage(TfrmItemEdit::kTabDetail);
        dlg.edtLFol.SetText("D:\\");
        dlg.edtLHelp.SetText("D:\\help.chm");
        dlg.cmbWindowState.SetItemIndex(2);
        dlg.edtIconN.SetText("7");
        dlg.cmbExeAnd.SetItemIndex(0);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_TRUE(checked);
    EXPECT_EQ("C:\\Tools\\old.exe", item.Path) << "an unchanged path fills nothing";
    EXPECT_EQ("新しいツール", item.Name);
    EXPECT_EQ("D:\\Work", item.IFol);
    EXPECT_EQ("-x \"a b\"", item.Arg);
    EXPECT_EQ("新しい説明", item.Comment);
    EXPECT_EQ("D:\\", item.LFol);
    EXPECT_EQ("D:\\help.chm", item.LHelp);
    EXPECT_EQ(wsMaximized, item.WindowState);
    EXPECT_EQ("C:\\Tools\\icons.dll", item.Icon);
    EXPECT_EQ(7, item.IconN);
    EXPECT_EQ(eaNothing, item.ExeAnd);
    EXPECT_NE(-2, item.ImageIndex) << "the icon was evaluated again";
    EXPECT_TRUE(env.boxes.Shown().empty());
}

TEST_F(DialogsItemEdit, CancelAndEscapeLeaveTheItemUntouched) {
    item.Path = "C:\\a.exe";
    item.Name = "a";
    item.ExeAnd = eaMinimize;
    for (bool escape : {false, true}) {
        TfrmItemEdit dlg;
        THook hook([&](ui::TDialog&) {
            TypePathAndLeave(dlg, "C:\\b\\other.exe");
            dlg.edtComment.SetText("changed");
            dlg.chkExeAnd.SetChecked(false);
            if (escape)
                PostKey(dlg.edtComment.Handle(), VK_ESCAPE);
            else
                dlg.btnCc.Click();
        });
        EXPECT_EQ(IDCANCEL, dlg.ShowFor(item));
        EXPECT_EQ("C:\\a.exe", item.Path);
        EXPECT_EQ("a", item.Name);
        EXPECT_EQ("", item.Comment);
        EXPECT_EQ(eaMinimize, item.ExeAnd);
    }
}

TEST_F(DialogsItemEdit, LeavingAChangedPathFillsTitleFoldersAndHelp) {
    shelltest::TTempFolder tools(L"itemedit-tools");
    std::string exe = tools.A() + "\\calc.old.exe";
    ASSERT_TRUE(shelltest::WriteFileW(tools.W() + L"\\calc.old.hlp", "help"));

    {
        TfrmItemEdit dlg;
        THook hook([&](ui::TDialog&) {
            TypePathAndLeave(dlg, "C:\\Tools\\calc.old.exe");
            EXPECT_EQ("calc.old", dlg.edtName.Text());
            EXPECT_EQ("C:\\Tools", dlg.edtIFol.Text());
            EXPECT_EQ("C:\\Tools", dlg.edtLFol.Text());
            EXPECT_EQ("", dlg.edtLHelp.Text()) << "no help file of that name";
            EXPECT_FALSE(dlg.PathChanged());
            dlg.btnCc.Click();
        });
        dlg.ShowFor(item);
    }
    {
        TfrmItemEdit dlg;
        THook hook([&](ui::TDialog&) {
            TypePathAndLeave(dlg, exe);
            EXPECT_EQ(tools.A() + "\\calc.old.hlp", dlg.edtLHelp.Text()) << "the help file beside it exists";
            dlg.btnOk.Click();
        });
        EXPECT_EQ(IDOK, dlg.ShowFor(item));
        EXPECT_EQ(exe, item.Path);
        EXPECT_EQ("calc.old", item.Name);
        EXPECT_EQ(tools.A(), item.IFol);
        EXPECT_EQ(tools.A() + "\\calc.old.hlp", item.LHelp);
    }
}

TEST_F(DialogsItemEdit, AnExistingFolderBecomesTheStartFolder) {
    shelltest::TTempFolder folder(L"itemedit-folder");
    item.Path = "C:\\x.exe";
    item.LFol = "C:\\old";
    item.LHelp = "C:\\old\\x.hlp";
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        dlg.edtName.SetText("");
        TypePathAndLeave(dlg, folder.A());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ(FileNamePart(folder.A()), item.Name);
    EXPECT_EQ(folder.A(), item.IFol);
    EXPECT_EQ("", item.LFol);
    EXPECT_EQ("", item.LHelp);
}

TEST_F(DialogsItemEdit, OnlyAChangedPathFillsAndATypedTitleStays) {
    item.Path = "C:\\Tools\\calc.exe";
    item.Name = "電卓";
    item.IFol = "D:\\start";
    item.LFol = "D:\\belongs";
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        // Into the path field and out again without a change.
        dlg.edtPath.SetFocus();
        dlg.edtName.SetFocus();
        EXPECT_EQ("D:\\start", dlg.edtIFol.Text());
        EXPECT_EQ("D:\\belongs", dlg.edtLFol.Text());
        // A title typed first survives a new path; the folders follow the path.
        dlg.edtName.SetText("私の電卓");
        TypePathAndLeave(dlg, "E:\\bin\\calc2.exe");
        EXPECT_EQ("私の電卓", dlg.edtName.Text());
        EXPECT_EQ("E:\\bin", dlg.edtIFol.Text());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ("私の電卓", item.Name);
    EXPECT_EQ("E:\\bin\\calc2.exe", item.Path);
}

TEST_F(DialogsItemEdit, OkFillsFromAPathStillBeingTyped) {
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        dlg.edtPath.SetFocus();
        dlg.edtPath.SetText("C:\\");
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ("C:\\", item.Path);
    EXPECT_EQ("C:\\", item.Name) << "a path without a file name is its own title";
}

TEST_F(DialogsItemEdit, AnEmptyPathIsRefusedAndTheDialogStaysOpen) {
    item.Path = "C:\\keep.exe";
    item.Name = "keep";
    TfrmItemEdit dlg;
    int resultAfterOk = -1;
    HWND focusAfterOk = nullptr;
    THook hook([&](ui::TDialog&) {
        dlg.edtPath.SetText("");
        dlg.pgcMain.SetActivePage(TfrmItemEdit::kTabDetail);
        dlg.btnOk.Click();
        resultAfterOk = dlg.ModalResult();
        focusAfterOk = GetFocus();
        dlg.btnCc.Click();
    });
    EXPECT_EQ(IDCANCEL, dlg.ShowFor(item));
    EXPECT_EQ(0, resultAfterOk);
    EXPECT_EQ(dlg.edtPath.Handle(), focusAfterOk);
    EXPECT_EQ(TfrmItemEdit::kTabBasic, dlg.pgcMain.ActivePage());
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ("ファイルのパスを入力してください。", env.boxes.Shown()[0].Text);
    EXPECT_EQ("Kiropad", env.boxes.Shown()[0].Caption);
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, env.boxes.Shown()[0].Flags);
    EXPECT_EQ("C:\\keep.exe", item.Path);
}

TEST_F(DialogsItemEdit, TextThatCodePage932CannotHoldIsRefusedNotMangled) {
    item.Path = "C:\\keep.exe";
    item.Comment = "元のコメント";
    TfrmItemEdit dlg;
    int resultAfterOk = -1;
    THook hook([&](ui::TDialog&) {
        SetWindowTextW(dlg.edtComment.Handle(), L"\xD55C\xAD6D\xC5B4");
        dlg.pgcMain.SetActivePage(TfrmItemEdit::kTabDetail);
        dlg.btnOk.Click();
        resultAfterOk = dlg.ModalResult();
        EXPECT_EQ(TfrmItemEdit::kTabBasic, dlg.pgcMain.ActivePage()) << "the field is brought to the front";
        EXPECT_EQ(dlg.edtComment.Handle(), GetFocus());
        dlg.btnCc.Click();
    });
    dlg.ShowFor(item);
    EXPECT_EQ(0, resultAfterOk);
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_NE(std::string::npos, env.boxes.Shown()[0].Text.find("シフトJIS"));
    EXPECT_EQ("元のコメント", item.Comment);
}

TEST_F(DialogsItemEdit, IconControlsFollowTheManualBox) {
    item.Path = "C:\\a.exe";
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        EXPECT_FALSE(dlg.chkIcon.Checked());
        for (ui::TDialogControl* c :
             std::vector<ui::TDialogControl*>{&dlg.edtIcon, &dlg.btnIconRef, &dlg.edtIconN, &dlg.updIconN})
            EXPECT_FALSE(c->Enabled());
        EXPECT_EQ(platform::clBtnFace, dlg.edtIcon.Color());
        EXPECT_EQ(platform::clBtnFace, dlg.edtIconN.Color());

        dlg.chkIcon.SetChecked(true);
        for (ui::TDialogControl* c :
             std::vector<ui::TDialogControl*>{&dlg.edtIcon, &dlg.btnIconRef, &dlg.edtIconN, &dlg.updIconN})
            EXPECT_TRUE(c->Enabled());
        EXPECT_EQ(ui::clWindow, dlg.edtIcon.Color());
        EXPECT_EQ(ui::clWindow, dlg.edtIconN.Color());

        dlg.edtIcon.SetText("C:\\icons.dll");
        dlg.edtIconN.SetText("12");
        dlg.chkIcon.SetChecked(false);
        EXPECT_EQ("", dlg.edtIcon.Text());
        EXPECT_EQ("0", dlg.edtIconN.Text());
        EXPECT_EQ(0, dlg.updIconN.Position());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ("", item.Icon);
    EXPECT_EQ(0, item.IconN);
}

TEST_F(DialogsItemEdit, ManualIconStartsFromTheAutomaticIcon) {
    const std::string path = "C:\\Tools\\calc.exe", library = "C:\\windows\\system32\\calcicons.dll";
    system.PathKinds[path] = platform::pkFile;
    system.PathKinds[library] = platform::pkFile;
    system.FileIcons[path] = {platform::TIconPInfo{library, 2}, kRed};
    system.IndexedIcons[{library, 2}] = kBlue;
    item.Path = path;

    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        EXPECT_EQ(library, dlg.AutoIconInfo().Location);
        EXPECT_EQ(2, dlg.AutoIconInfo().Index);
        ASSERT_TRUE(dlg.Preview().HasIcon());
        EXPECT_EQ(kRed, dlg.Preview().Image().Color.Pixel(16, 16)) << "the shell's icon of the path";

        dlg.chkIcon.SetChecked(true);
        EXPECT_EQ(library, dlg.edtIcon.Text());
        EXPECT_EQ("2", dlg.edtIconN.Text());
        EXPECT_EQ(2, dlg.updIconN.Position());
        ASSERT_TRUE(dlg.Preview().HasIcon());
        EXPECT_EQ(kBlue, dlg.Preview().Image().Color.Pixel(16, 16))
            << "the same icon, now by file and number";
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ(library, item.Icon);
    EXPECT_EQ(2, item.IconN);
}

TEST_F(DialogsItemEdit, PreviewFollowsTheIconNumberAndTheListButNotTyping) {
    const std::string library = "C:\\lib\\many.dll";
    const std::string shell32 = GetWinDir(1) + "shell32.dll";
    system.PathKinds[library] = platform::pkFile;
    system.IndexedIcons[{library, 4}] = kBlue;
    system.IndexedIcons[{shell32, 4}] = kRed;
    item.Path = "C:\\a.exe";
    item.Icon = library;
    item.IconN = 1;

    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        ASSERT_EQ(1, dlg.edtIcon.Count());
        EXPECT_EQ(shell32, dlg.edtIcon.Item(0)) << "the one list entry";
        EXPECT_FALSE(dlg.Preview().HasIcon()) << "number 1 is not in the file";

        dlg.edtIconN.SetText("4");
        ASSERT_TRUE(dlg.Preview().HasIcon());
        EXPECT_EQ(kBlue, dlg.Preview().Image().Color.Pixel(16, 16));
        platform::TPixmap shown;
        dlg.imgIcon.PaintTo(shown);
        EXPECT_EQ(kBlue, shown.Pixel(shown.Width() / 2, shown.Height() / 2)) << "the preview paints the icon";

        size_t asked = system.IndexedIconRequests.size();
        dlg.edtIcon.SetText("C:\\typing");
        EXPECT_EQ(asked, system.IndexedIconRequests.size()) << "typing alone does not update the preview";

        dlg.edtIcon.SetItemIndex(0);
        SendMessageW(GetParent(dlg.edtIcon.Handle()), WM_COMMAND, MAKEWPARAM(dlg.edtIcon.Id(), CBN_SELCHANGE),
                     (LPARAM)dlg.edtIcon.Handle());
        EXPECT_EQ(shell32, dlg.edtIcon.Text());
        ASSERT_TRUE(dlg.Preview().HasIcon());
        EXPECT_EQ(kRed, dlg.Preview().Image().Color.Pixel(16, 16)) << "a picked entry updates it";

        dlg.edtIconN.SetText("abc");
        ASSERT_FALSE(system.IndexedIconRequests.empty());
        EXPECT_EQ(0, system.IndexedIconRequests.back().second) << "a number that is none counts as 0";
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ(shell32, item.Icon);
    EXPECT_EQ(0, item.IconN);
}

TEST_F(DialogsItemEdit, AnIconNumberBeyondTheArrowsIsKept) {
    item.Path = "C:\\a.exe";
    item.Icon = "C:\\lib\\many.dll";
    item.IconN = 300;
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        EXPECT_EQ("300", dlg.edtIconN.Text());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ(300, item.IconN);
}

TEST_F(DialogsItemEdit, UncheckingTheAfterLaunchBoxStoresMinusOne) {
    env.doc.ExeAnd = eaExit;
    item.Path = "C:\\a.exe";
    item.ExeAnd = eaNothing;
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        EXPECT_TRUE(dlg.cmbExeAnd.Enabled());
        EXPECT_EQ(ui::clWindow, dlg.cmbExeAnd.Color());
        EXPECT_EQ(0, dlg.cmbExeAnd.ItemIndex());
        dlg.chkExeAnd.SetChecked(false);
        EXPECT_FALSE(dlg.cmbExeAnd.Enabled());
        EXPECT_EQ(platform::clBtnFace, dlg.cmbExeAnd.Color());
        EXPECT_EQ(eaExit, dlg.cmbExeAnd.ItemIndex()) << "the document's choice is shown";
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));
    EXPECT_EQ(eaDefault, item.ExeAnd);

    TfrmItemEdit again;
    THook hook2([&](ui::TDialog&) {
        EXPECT_FALSE(again.chkExeAnd.Checked());
        EXPECT_EQ(eaExit, again.cmbExeAnd.ItemIndex());
        again.chkExeAnd.SetChecked(true);
        again.cmbExeAnd.SetItemIndex(1);
        again.btnOk.Click();
    });
    EXPECT_EQ(IDOK, again.ShowFor(item));
    EXPECT_EQ(eaMinimize, item.ExeAnd);
}

TEST_F(DialogsItemEdit, BrowseButtonsAskWithTheirTitlesFiltersAndStartFolders) {
    item.Path = "C:\\Tools\\calc.exe";
    item.Name = "calc";
    item.IFol = "C:\\Tools";
    item.LFol = "C:\\Tools";
    pickers.OpenAnswers = {"D:\\Apps\\edit.exe", "D:\\Apps\\edit.chm", ""};
    pickers.FolderAnswers = {"E:\\start", ""};
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        dlg.edtName.SetText("");
        dlg.btnPathRef.Click();
        EXPECT_EQ("D:\\Apps\\edit.exe", dlg.edtPath.Text());
        EXPECT_EQ("edit", dlg.edtName.Text()) << "a browsed path fills the fields at once";
        EXPECT_EQ("D:\\Apps", dlg.edtLFol.Text());
        dlg.btnLHelpRef.Click();
        EXPECT_EQ("D:\\Apps\\edit.chm", dlg.edtLHelp.Text());
        dlg.chkIcon.SetChecked(true);
        dlg.edtIcon.SetText("");
        dlg.btnIconRef.Click(); // cancelled
        dlg.btnIFolRef.Click();
        EXPECT_EQ("E:\\start", dlg.edtIFol.Text());
        dlg.btnLFolRef.Click(); // cancelled: the text stays
        EXPECT_EQ("D:\\Apps", dlg.edtLFol.Text());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, dlg.ShowFor(item));

    ASSERT_EQ(3u, pickers.OpenCalls.size());
    const auto& path = pickers.OpenCalls[0];
    EXPECT_EQ("ファイルの選択", path.Title);
    EXPECT_EQ("全てのファイル(*.*)|*.*|アプリケーション(*.exe)|*.exe", path.Filter);
    EXPECT_EQ("exe", path.DefaultExt);
    EXPECT_EQ("C:\\Tools", path.InitialDir);
    EXPECT_EQ("calc.exe", path.FileName);
    const auto& helpFile = pickers.OpenCalls[1];
    EXPECT_EQ("関連ヘルプの選択", helpFile.Title);
    EXPECT_EQ("ヘルプ(*.hlp;*.txt;*.doc;*.chm)|*.hlp;*.txt;*.doc;*.chm|全てのファイル(*.*)|*.*",
              helpFile.Filter);
    EXPECT_EQ("hlp", helpFile.DefaultExt);
    EXPECT_EQ("D:\\Apps", helpFile.InitialDir) << "no help file yet: the path's folder";
    EXPECT_EQ("", helpFile.FileName);
    const auto& icon = pickers.OpenCalls[2];
    EXPECT_EQ("アイコンの選択", icon.Title);
    EXPECT_EQ(
        "アイコンを含むファイル(*.ico;*.exe;*.dll;*.cpl)|*.ico;*.exe;*.dll;*.cpl|全てのファイル(*.*)|*.*",
        icon.Filter);
    EXPECT_EQ("exe", icon.DefaultExt);
    EXPECT_EQ("D:\\Apps", icon.InitialDir);

    ASSERT_EQ(2u, pickers.FolderCalls.size());
    EXPECT_EQ("初期化フォルダを選んでください。", pickers.FolderCalls[0].Title);
    EXPECT_EQ("D:\\Apps", pickers.FolderCalls[0].Initial);
    EXPECT_EQ("所属フォルダを選んでください。", pickers.FolderCalls[1].Title);
    EXPECT_EQ("D:\\Apps", pickers.FolderCalls[1].Initial);

    EXPECT_EQ("D:\\Apps\\edit.exe", item.Path);
    EXPECT_EQ("E:\\start", item.IFol);
    EXPECT_EQ("D:\\Apps\\edit.chm", item.LHelp);
}

TEST_F(DialogsItemEdit, HelpOnF1AndTheQuestionButton) {
    item.Path = "C:\\a.exe";
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        dlg.btnHelp.Click();
        PostKey(dlg.edtPath.Handle(), VK_F1);
        PostMessageW(dlg.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    dlg.ShowFor(item);
    ASSERT_EQ(2u, help.Topics.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ("_RESOURCE/060edit.html", help.Topics[i]);
        EXPECT_EQ(platform::System().ProgramFolder() + "Kiropad.chm", help.Files[i]);
    }
}

TEST_F(DialogsItemEdit, ADialogLeavesNoWindowOrGdiObjectBehind) {
    item.Path = "C:\\a.exe";
    long windows = ui::LiveWindows(), gdi = ui::LiveGdiObjects();
    {
        TfrmItemEdit dlg;
        THook hook([&](ui::TDialog&) {
            dlg.chkIcon.SetChecked(true);
            dlg.chkExeAnd.SetChecked(true);
            dlg.btnOk.Click();
        });
        dlg.ShowFor(item);
    }
    EXPECT_EQ(windows, ui::LiveWindows());
    EXPECT_EQ(gdi, ui::LiveGdiObjects());
}
