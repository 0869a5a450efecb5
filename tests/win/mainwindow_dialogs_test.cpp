// The main window with the program's own dialogs: what the user does in them
// reaches the item, the page and the window's layout.
#include "mainwindow_support.h"

#include "dialogs/frmabout.h"
#include "dialogs/frmitemedit.h"
#include "dialogs/frmopt.h"
#include "dialogs/frmpagerename.h"

using namespace mwtest;

namespace {

// Acts on every dialog once it is shown, while it lives.
struct THook {
    explicit THook(ui::TDialog::TShownHook hook) { ui::TDialog::SetShownHook(std::move(hook)); }
    ~THook() { ui::TDialog::SetShownHook(nullptr); }
};

} // namespace

class MainWindowDialogs : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetMainDialogs(nullptr); // the program's own
    }
};

TEST_F(MainWindowDialogs, AClickOnAnEmptyButtonFillsItThroughTheItemEditDialog) {
    TfrmMain& f = Open();
    std::string probe = Probe();
    THook hook([&](ui::TDialog& d) {
        TfrmItemEdit* edit = dynamic_cast<TfrmItemEdit*>(&d);
        ASSERT_NE(nullptr, edit);
        edit->edtPath.SetText(probe);
        edit->btnOk.Click();
    });
    ClickSlot(3);
    EXPECT_EQ(probe, PageItem(0, 3).Path);
    EXPECT_EQ("probe", PageItem(0, 3).Name);
    EXPECT_TRUE(PageItem(0, 3).Image != nullptr) << "the button shows the new face";
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));
    EXPECT_TRUE(f.Grid.PageItemButton(3).Panel().GetDragDropAccept());
}

TEST_F(MainWindowDialogs, TheOptionsDialogResizesThePagesAndRetitlesTheWindow) {
    TfrmMain& f = Open();
    Press(VK_RIGHT);
    THook hook([&](ui::TDialog& d) {
        TfrmOpt* options = dynamic_cast<TfrmOpt*>(&d);
        ASSERT_NE(nullptr, options);
        EXPECT_EQ(TCursorKind::None, f.Grid.CursorKind()) << "no cursor while the dialog is open";
        options->edtNnWtPageItem.SetText("4");
        options->edtNnHtPageItem.SetText("2");
        options->edtTitle.SetText("新しいランチャー");
        options->btnOk.Click();
    });
    f.Menus.mniOpt2.Click();
    EXPECT_EQ(4, Doc().PageWidth);
    EXPECT_EQ(8, f.Grid.PageItemButtonCount());
    EXPECT_EQ(178 + 92 * 4 + 12, f.ClientWidth());
    EXPECT_EQ("新しいランチャー", f.Caption());
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    EXPECT_TRUE(f.Grid.PageItemButton(0).Focused());
}

TEST_F(MainWindowDialogs, ThePageRenameDialogNamesTheSelectedPage) {
    TfrmMain& f = Open();
    f.SelectPage(2);
    THook hook([&](ui::TDialog& d) {
        TfrmPageRename* rename = dynamic_cast<TfrmPageRename*>(&d);
        ASSERT_NE(nullptr, rename);
        rename->edtName.SetText("仕事 & 遊び");
        rename->btnOk.Click();
    });
    f.Menus.mniMainRename.Click();
    EXPECT_EQ("仕事 & 遊び", Doc().Pages[2]->Name);
    EXPECT_EQ("仕事 && 遊び", f.PageButtons()[2]->Caption());
}

TEST_F(MainWindowDialogs, TheAboutBoxOpensAndCloses) {
    TfrmMain& f = Open();
    int shown = 0;
    THook hook([&](ui::TDialog& d) {
        TfrmAbout* about = dynamic_cast<TfrmAbout*>(&d);
        ASSERT_NE(nullptr, about);
        ++shown;
        about->OKButton.Click();
    });
    f.Menus.mniAbout.Click();
    EXPECT_EQ(1, shown);
}
