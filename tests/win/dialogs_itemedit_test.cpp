// The item edit dialog, shown modally and acted on through the hook as a user
// would: fields typed, focus moved, boxes checked, buttons pressed.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/frmitemedit.h"
#include "dialogs_test_support.h"
#include "shell/common.h"
#include "shell/win32/helpers.h"
#include "shell_support.h"
#include "ui/gdi.h"
#include "ui_test_support.h"

using namespace dialogtest;

namespace {

class DialogsItemEdit : public ::testing::Test {
protected:
    // Shows the dialog for item; act runs once it is up.
    int Edit(const std::function<void(TfrmItemEdit&)>& act) {
        TfrmItemEdit dlg;
        THook hook([&](ui::TDialog&) { act(dlg); });
        return dlg.ShowFor(item);
    }

    TDialogEnv env;
    TScriptedSystem system;
    TFakePickers pickers;
    TItem item{false};
};

// Types into the path field and leaves it for the title field.
void TypePath(TfrmItemEdit& dlg, const std::string& path) {
    dlg.edtPath.SetFocus();
    dlg.edtPath.SetText(path);
    dlg.edtName.SetFocus();
}

} // namespace

TEST_F(DialogsItemEdit, OkWritesEveryFieldAndCancelNone) {
    item.Path = "C:\\Tools\\old.exe";
    item.Icon = "C:\\Tools\\icons.dll";
    item.IconN = 300; // beyond the arrows' 255
    item.ExeAnd = eaExit;
    EXPECT_EQ(IDCANCEL, Edit([](TfrmItemEdit& dlg) {
                  dlg.edtName.SetText("changed");
                  PostKey(dlg.edtName.Handle(), VK_ESCAPE);
              }));
    EXPECT_EQ("", item.Name);

    EXPECT_EQ(IDOK, Edit([](TfrmItemEdit& dlg) {
                  EXPECT_EQ(dlg.edtPath.Handle(), GetFocus());
                  EXPECT_EQ("300", dlg.edtIconN.Text());
                  EXPECT_EQ(2, dlg.cmbExeAnd.ItemIndex());
                  dlg.edtName.SetText("新しいツール");
                  dlg.edtIFol.SetText("D:\\Work");
                  dlg.edtArg.SetText("-x \"a b\"");
                  dlg.edtComment.SetText("説明");
                  dlg.edtLFol.SetText("D:\\");
                  dlg.edtLHelp.SetText("D:\\help.chm");
                  dlg.cmbWindowState.SetItemIndex(2);
                  dlg.cmbExeAnd.SetItemIndex(0);
                  dlg.btnOk.Click();
              }));
    EXPECT_EQ("C:\\Tools\\old.exe", item.Path);
    EXPECT_EQ("新しいツール", item.Name);
    EXPECT_EQ("D:\\Work", item.IFol);
    EXPECT_EQ("-x \"a b\"", item.Arg);
    EXPECT_EQ("説明", item.Comment);
    EXPECT_EQ("D:\\", item.LFol);
    EXPECT_EQ("D:\\help.chm", item.LHelp);
    EXPECT_EQ(wsMaximized, item.WindowState);
    EXPECT_EQ("C:\\Tools\\icons.dll", item.Icon);
    EXPECT_EQ(300, item.IconN) << "a number beyond the arrows is kept";
    EXPECT_EQ(eaNothing, item.ExeAnd);
    EXPECT_NE(-2, item.ImageIndex) << "the icon was evaluated again";
}

TEST_F(DialogsItemEdit, OnlyAChangedPathFillsTitleFoldersAndHelp) {
    shelltest::TTempFolder tools(L"itemedit");
    ASSERT_TRUE(shelltest::WriteFileW(tools.W() + L"\\calc.old.hlp", "help"));
    ASSERT_TRUE(CreateDirectoryW((tools.W() + L"\\my.tools").c_str(), nullptr));
    ASSERT_TRUE(shelltest::WriteFileW(tools.W() + L"\\my.tools\\app.hlp", "help"));
    ASSERT_TRUE(shelltest::WriteFileW(tools.W() + L"\\my.hlp", "not this one"));
    item.Path = "C:\\Tools\\calc.exe";
    item.IFol = "D:\\start";
    Edit([&](TfrmItemEdit& dlg) {
        dlg.edtPath.SetFocus();
        dlg.edtName.SetFocus(); // in and out without a change
        EXPECT_EQ("D:\\start", dlg.edtIFol.Text());

        TypePath(dlg, "C:\\Tools\\calc.old.exe");
        EXPECT_EQ("calc.old", dlg.edtName.Text());
        EXPECT_EQ("C:\\Tools", dlg.edtIFol.Text());
        EXPECT_EQ("C:\\Tools", dlg.edtLFol.Text());
        EXPECT_EQ("", dlg.edtLHelp.Text()) << "no help file of that name";

        TypePath(dlg, tools.A() + "\\calc.old.exe");
        EXPECT_EQ("calc.old", dlg.edtName.Text()) << "a title already there stays";
        EXPECT_EQ(tools.A() + "\\calc.old.hlp", dlg.edtLHelp.Text()) << "the help file beside it exists";

        // Only the file name's extension goes: a dot in a folder's name stays.
        TypePath(dlg, tools.A() + "\\my.tools\\app");
        EXPECT_EQ(tools.A() + "\\my.tools\\app.hlp", dlg.edtLHelp.Text());

        dlg.edtName.SetText("");
        TypePath(dlg, tools.A());
        EXPECT_EQ(FileNamePart(tools.A()), dlg.edtName.Text());
        EXPECT_EQ(tools.A(), dlg.edtIFol.Text()) << "a folder starts in itself";
        EXPECT_EQ("", dlg.edtLFol.Text());
        EXPECT_EQ("", dlg.edtLHelp.Text());

        // Still in the path field when OK is pressed.
        dlg.edtName.SetText("");
        dlg.edtPath.SetFocus();
        dlg.edtPath.SetText("C:\\");
        dlg.btnOk.Click();
    });
    EXPECT_EQ("C:\\", item.Path);
    EXPECT_EQ("C:\\", item.Name) << "a path without a file name is its own title";
}

TEST_F(DialogsItemEdit, ATypedTitleStaysWhenThePathIsFilledInEvenOneCodePage932CannotHold) {
    Edit([&](TfrmItemEdit& dlg) {
        dlg.edtName.SetFocus();
        SetWindowTextW(dlg.edtName.Handle(), L"\xD55C\xAD6D \x0394"); // no code page 932 form
        TypePath(dlg, "C:\\Tools\\calc.exe");
        wchar_t title[32] = {};
        GetWindowTextW(dlg.edtName.Handle(), title, 32);
        EXPECT_EQ(std::wstring(L"\xD55C\xAD6D \x0394"), title);
        EXPECT_EQ("C:\\Tools", dlg.edtIFol.Text()) << "the rest is filled in";
        dlg.btnCc.Click();
    });
    EXPECT_EQ("", item.Path);
}

TEST_F(DialogsItemEdit, AnyTextIsTakenAndAnEmptyPathKeepsTheDialogOpen) {
    item.Path = "C:\\keep.exe";
    std::vector<int> results;
    std::vector<HWND> focus, expected;
    Edit([&](TfrmItemEdit& dlg) {
        dlg.pgcMain.SetActivePage(TfrmItemEdit::kTabDetail);
        SetWindowTextW(dlg.edtComment.Handle(), L"\xD55C\xAD6D \xD83D\xDE00"); // no code page 932 form
        dlg.edtPath.SetText("");
        dlg.btnOk.Click();
        results.push_back(dlg.ModalResult());
        focus.push_back(GetFocus());
        expected.push_back(dlg.edtPath.Handle());
        EXPECT_EQ(TfrmItemEdit::kTabBasic, dlg.pgcMain.ActivePage());
        SetWindowTextW(dlg.edtPath.Handle(), L"C:\\Caf\xE9\\r\xE9sum\xE9.exe");
        dlg.btnOk.Click();
        results.push_back(dlg.ModalResult());
    });
    EXPECT_EQ((std::vector<int>{0, 1}), results);
    EXPECT_EQ(expected, focus);
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ("ファイルのパスを入力してください。", env.Box(0).Text);
    EXPECT_EQ("Kiropad", env.Box(0).Caption);
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, env.Box(0).Flags);
    EXPECT_EQ(std::wstring(L"C:\\Caf\xE9\\r\xE9sum\xE9.exe"), platform::Widen(item.Path));
    EXPECT_EQ(std::wstring(L"r\xE9sum\xE9"), platform::Widen(item.Name)) << "the title from the exact name";
    EXPECT_EQ(std::wstring(L"\xD55C\xAD6D \xD83D\xDE00"), platform::Widen(item.Comment));
}

TEST_F(DialogsItemEdit, ManualIconStartsFromTheAutomaticIconAndFollowsTheControls) {
    const std::string path = "C:\\Tools\\calc.exe", dll = "C:\\sys\\calcicons.dll";
    const std::string shell32 = GetWinDir(1) + "shell32.dll";
    system.PathKinds[path] = system.PathKinds[dll] = platform::TPathKind::File;
    system.FileIcons[path] = {platform::TIconPInfo{dll, 2}, 0x00FF0000};
    system.IndexedIcons[{dll, 2}] = 0x000000FF;
    system.IndexedIcons[{shell32, 0}] = 0x0000FF00;
    item.Path = path;
    Edit([&](TfrmItemEdit& dlg) {
        EXPECT_EQ(dll, dlg.AutoIconInfo().Location);
        EXPECT_EQ(0x00FF0000u, dlg.Preview().Image().Color.Pixel(16, 16)) << "the shell's icon of the path";
        EXPECT_FALSE(dlg.edtIcon.Enabled() || dlg.btnIconRef.Enabled() || dlg.edtIconN.Enabled());
        EXPECT_EQ(platform::clBtnFace, dlg.edtIcon.Color());
        HWND field = GetWindow(dlg.edtIcon.Handle(), GW_CHILD);
        ui::TWindowDC dc(field);
        SendMessageW(GetParent(field), WM_CTLCOLORSTATIC, (WPARAM)dc.Get(), (LPARAM)field);
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc.Get())) << "the combo box's own field too";

        dlg.chkIcon.SetChecked(true);
        EXPECT_TRUE(dlg.edtIcon.Enabled() && dlg.btnIconRef.Enabled() && dlg.updIconN.Enabled());
        EXPECT_EQ(ui::clWindow, dlg.edtIconN.Color());
        EXPECT_EQ(dll, dlg.edtIcon.Text());
        EXPECT_EQ("2", dlg.edtIconN.Text());
        EXPECT_EQ(0x000000FFu, dlg.Preview().Image().Color.Pixel(16, 16))
            << "the same icon by file and number";
        platform::TPixmap shown;
        dlg.imgIcon.PaintTo(shown);
        EXPECT_EQ(0x000000FFu, shown.Pixel(shown.Width() / 2, shown.Height() / 2));

        size_t asked = system.IndexedRequests.size();
        dlg.edtIcon.SetText("C:\\typing");
        EXPECT_EQ(asked, system.IndexedRequests.size()) << "typing alone does not update the preview";
        ASSERT_EQ(1, dlg.edtIcon.Count());
        dlg.edtIcon.SetItemIndex(0);
        SendMessageW(GetParent(dlg.edtIcon.Handle()), WM_COMMAND, MAKEWPARAM(dlg.edtIcon.Id(), CBN_SELCHANGE),
                     (LPARAM)dlg.edtIcon.Handle());
        EXPECT_EQ(shell32, dlg.edtIcon.Text());
        dlg.edtIconN.SetText("abc");
        EXPECT_EQ(0x0000FF00u, dlg.Preview().Image().Color.Pixel(16, 16))
            << "a number that is none counts as 0";
        dlg.btnOk.Click();
    });
    EXPECT_EQ(shell32, item.Icon);
    EXPECT_EQ(0, item.IconN);

    Edit([](TfrmItemEdit& dlg) {
        dlg.chkIcon.SetChecked(false);
        EXPECT_EQ("", dlg.edtIcon.Text());
        EXPECT_EQ("0", dlg.edtIconN.Text());
        dlg.btnOk.Click();
    });
    EXPECT_EQ("", item.Icon);
}

TEST_F(DialogsItemEdit, UncheckingTheAfterLaunchBoxStoresMinusOne) {
    env.doc.ExeAnd = eaExit;
    item.Path = "C:\\a.exe";
    item.ExeAnd = eaNothing;
    Edit([](TfrmItemEdit& dlg) {
        EXPECT_TRUE(dlg.cmbExeAnd.Enabled());
        dlg.chkExeAnd.SetChecked(false);
        EXPECT_FALSE(dlg.cmbExeAnd.Enabled());
        EXPECT_EQ(platform::clBtnFace, dlg.cmbExeAnd.Color());
        EXPECT_EQ(eaExit, dlg.cmbExeAnd.ItemIndex()) << "the document's choice is shown";
        dlg.btnOk.Click();
    });
    EXPECT_EQ(eaDefault, item.ExeAnd);
}

TEST_F(DialogsItemEdit, BrowseButtonsAskWithTheirTitlesFiltersAndStartFolders) {
    item.Path = "C:\\Tools\\calc.exe";
    item.IFol = "C:\\Tools";
    pickers.OpenAnswers = {"D:\\Apps\\edit.exe", "D:\\Apps\\edit.chm", ""};
    pickers.FolderAnswers = {"E:\\start", ""};
    Edit([](TfrmItemEdit& dlg) {
        dlg.btnPathRef.Click();
        EXPECT_EQ("edit", dlg.edtName.Text()) << "a browsed path fills the fields at once";
        dlg.btnLHelpRef.Click();
        dlg.chkIcon.SetChecked(true);
        dlg.btnIconRef.Click();
        dlg.btnIFolRef.Click();
        dlg.btnLFolRef.Click();
        dlg.btnOk.Click();
    });
    ASSERT_EQ(3u, pickers.Opened.size());
    EXPECT_EQ("ファイルの選択", pickers.Opened[0].Title);
    EXPECT_EQ("exe", pickers.Opened[0].DefaultExt);
    EXPECT_EQ("C:\\Tools", pickers.Opened[0].InitialDir);
    EXPECT_EQ("calc.exe", pickers.Opened[0].FileName);
    EXPECT_EQ("関連ヘルプの選択", pickers.Opened[1].Title);
    EXPECT_EQ("ヘルプ(*.hlp;*.txt;*.doc;*.chm)|*.hlp;*.txt;*.doc;*.chm|全てのファイル(*.*)|*.*",
              pickers.Opened[1].Filter);
    EXPECT_EQ("hlp", pickers.Opened[1].DefaultExt);
    EXPECT_EQ("D:\\Apps", pickers.Opened[1].InitialDir) << "no help file yet: the path's folder";
    EXPECT_EQ("アイコンの選択", pickers.Opened[2].Title);
    EXPECT_EQ(
        "アイコンを含むファイル(*.ico;*.exe;*.dll;*.cpl)|*.ico;*.exe;*.dll;*.cpl|全てのファイル(*.*)|*.*",
        pickers.Opened[2].Filter);
    ASSERT_EQ(2u, pickers.Folders.size());
    EXPECT_EQ(std::make_pair(std::string("初期化フォルダを選んでください。"), std::string("D:\\Apps")),
              pickers.Folders[0]);
    EXPECT_EQ("所属フォルダを選んでください。", pickers.Folders[1].first);
    EXPECT_EQ("D:\\Apps\\edit.exe", item.Path);
    EXPECT_EQ("E:\\start", item.IFol);
    EXPECT_EQ("D:\\Apps", item.LFol) << "a cancelled folder choice keeps the text";
    EXPECT_EQ("D:\\Apps\\edit.chm", item.LHelp);
}

TEST_F(DialogsItemEdit, HelpOnF1AndTheQuestionButton) {
    long windows = ui::LiveWindows(), gdi = ui::LiveGdiObjects();
    Edit([](TfrmItemEdit& dlg) {
        dlg.btnHelp.Click();
        PostKey(dlg.edtPath.Handle(), VK_F1);
        PostMessageW(dlg.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(std::vector<std::string>(2, "_RESOURCE/060edit.html"), env.Topics);
    EXPECT_EQ(platform::System().ProgramFolder() + "Kiropad.chm", env.HelpFile);
    EXPECT_EQ(windows, ui::LiveWindows());
    EXPECT_EQ(gdi, ui::LiveGdiObjects());
}

TEST(DialogsItemEditBrowse, AChosenFileThatCodePage932CannotHoldIsTakenExactly) {
    // The system's own open-file dialog, answered from another thread as a user would.
    TDialogEnv env;
    shelltest::TTempFolder folder(L"itemedit-browse");
    std::wstring korean = folder.W() + L"\\\xD55C\xAD6D.exe";
    ASSERT_TRUE(shelltest::WriteFileW(korean, "MZ"));
    TItem item(false);
    item.Path = "C:\\keep.exe";
    TfrmItemEdit dlg;
    THook hook([&](ui::TDialog&) {
        uitest::TWindowWatcher watcher(L"ファイルの選択", [&](HWND open) {
            for (int id : {0x47C /* the name field as a combo box */, 0x480 /* or as an edit */}) {
                HWND field = GetDlgItem(open, id);
                if (field && IsWindowVisible(field)) {
                    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(korean.c_str()));
                    break;
                }
            }
            PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        dlg.btnPathRef.Click();
        EXPECT_TRUE(watcher.Found());
        EXPECT_EQ(korean, platform::Widen(dlg.edtPath.Text()));
        wchar_t shown[MAX_PATH] = {};
        GetWindowTextW(dlg.edtPath.Handle(), shown, MAX_PATH);
        EXPECT_EQ(korean, std::wstring(shown)) << "shown as it is";
        dlg.btnCc.Click();
    });
    dlg.ShowFor(item);
    EXPECT_TRUE(env.boxes.Shown().empty());
}
