// The options dialog over a real document and view settings, with a main window
// that records what it is asked to do; the password dialog is answered through
// the same hook.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/frmopt.h"
#include "dialogs/frmpass.h"
#include "dialogs_test_support.h"

using namespace dialogtest;

namespace {

class DialogsOptions : public ::testing::Test, public IOptionsHost {
protected:
    void ResizePages(int columns, int rows) override {
        Calls.push_back("ResizePages " + std::to_string(columns) + "x" + std::to_string(rows));
    }
    void RebuildLayout() override { Calls.push_back("RebuildLayout"); }
    void StorePosition() override {
        Calls.push_back("StorePosition");
        view.Left = 123;
        view.Top = 45;
    }

    // Shows the dialog; act runs once it is up. Each password dialog takes the next
    // of passwords (null: Cancel) and records how it started.
    int Run(const std::function<void(TfrmOpt&)>& act) {
        TfrmOpt dlg(*this, env.doc, view);
        THook hook([&](ui::TDialog& shown) {
            TfrmPass* pass = dynamic_cast<TfrmPass*>(&shown);
            if (!pass) return act(dlg);
            PassStarts.push_back((pass->Masked() ? "masked:" : "plain:") + pass->medPass.Text());
            const char* answer = passwords.empty() ? nullptr : passwords.front();
            if (!passwords.empty()) passwords.erase(passwords.begin());
            if (!answer) return pass->btnCc.Click();
            pass->medPass.SetText(answer);
            pass->btnOk.Click();
        });
        return dlg.ShowModal();
    }
    int SetGrid(const char* columns, const char* rows) {
        return Run([&](TfrmOpt& dlg) {
            dlg.edtNnWtPageItem.SetText(columns);
            dlg.edtNnHtPageItem.SetText(rows);
            dlg.chkNotClose.SetChecked(!dlg.chkNotClose.Checked());
            dlg.btnOk.Click();
        });
    }

    TDialogEnv env;
    TFakePickers pickers;
    TViewData view;
    std::vector<std::string> Calls;
    std::vector<const char*> passwords;
    std::vector<std::string> PassStarts;
};

} // namespace

TEST_F(DialogsOptions, OkStoresTheBasicTabAndRebuildsOnlyForTheLook) {
    env.doc.ExeAnd = eaExit;
    view.Tray = true;
    view.ItemWidth = 90;
    EXPECT_EQ(IDOK, Run([](TfrmOpt& dlg) {
                  EXPECT_EQ(dlg.edtNnWtPageItem.Handle(), GetFocus());
                  EXPECT_EQ(2, dlg.cmbExeAnd.ItemIndex());
                  EXPECT_TRUE(dlg.chkTask.Checked());
                  EXPECT_FALSE(dlg.ViewChanged()) << "filling the controls changes nothing";
                  dlg.cmbExeAnd.SetItemIndex(0);
                  dlg.chkAutoSave.SetChecked(false);
                  dlg.chkPreventDblExe.SetChecked(true);
                  dlg.chkNotClose.SetChecked(true);
                  dlg.chkShowFoc.SetChecked(false);
                  dlg.edtWtIbtPage.SetText("3"); // view side: copied only with the flag
                  EXPECT_TRUE(dlg.ViewChanged());
                  dlg.btnOk.Click();
              }));
    EXPECT_EQ(eaNothing, env.doc.ExeAnd);
    EXPECT_FALSE(env.doc.AutoSave);
    EXPECT_TRUE(env.doc.PreventDblExe);
    EXPECT_TRUE(env.doc.NotClose);
    EXPECT_FALSE(view.ShowFocus);
    EXPECT_EQ(8, view.ItemWidth) << "raised to 8";
    EXPECT_EQ(std::vector<std::string>{"RebuildLayout"}, Calls);

    Calls.clear();
    Run([](TfrmOpt& dlg) {
        dlg.chkShowFoc.SetChecked(true);
        dlg.edtTitle.SetText("仕事用");
        dlg.edtHtIbtPage.SetText("高さ");
        dlg.btnOk.Click();
    });
    EXPECT_TRUE(view.ShowFocus);
    EXPECT_EQ("仕事用", view.Title);
    EXPECT_EQ(76, view.ItemHeight) << "not a number: the present value";
    EXPECT_EQ(std::vector<std::string>{"RebuildLayout"}, Calls);
}

TEST_F(DialogsOptions, PickersChangeTheWorkingLookAndCancelKeepsIt) {
    platform::TFontSpec chosen;
    chosen.Name = "ＭＳ ゴシック";
    chosen.Size = 12;
    pickers.ColorAnswers = {0x00010203, 0x00040506};
    pickers.FontAnswers = {chosen};
    Run([](TfrmOpt& dlg) {
        dlg.btnClAcBtn.Click();
        dlg.btnClBack.Click();
        EXPECT_EQ(0x00040506u, dlg.pnlClBack.Color()) << "the sample shows the choice";
        dlg.btnClBtn.Click(); // cancelled
        dlg.btnGfnText.Click();
        EXPECT_EQ("ＭＳ ゴシック", dlg.WorkFont().Name);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(0x00E0E0E0u, pickers.ColorsShown.at(0)) << "the picker starts at the working colour";
    EXPECT_EQ("ＭＳ Ｐゴシック", pickers.FontsShown.at(0).Name);
    EXPECT_EQ(0x00010203u, view.SelColor);
    EXPECT_EQ(0x00040506u, view.BackColor);
    EXPECT_EQ(platform::clBtnFace, view.BtnColor);
    EXPECT_EQ("ＭＳ ゴシック", view.Font->Name);
    EXPECT_EQ(12, view.Font->Size);
}

TEST_F(DialogsOptions, GridSizeIsClampedAndAskedAboutAbove200Slots) {
    SetGrid("0", "縦");
    EXPECT_EQ(std::vector<std::string>{"ResizePages 1x3"}, Calls) << "0 is raised to 1, text keeps 3";
    Calls.clear();
    SetGrid("abc", "3");
    EXPECT_TRUE(Calls.empty()) << "the same size: nothing to re-lay";

    env.boxes.Answer({IDNO, IDYES});
    SetGrid("20", "11");
    EXPECT_TRUE(Calls.empty()) << "No keeps 5 x 3";
    EXPECT_TRUE(env.doc.NotClose) << "and the rest is applied";
    SetGrid("20", "11");
    SetGrid("20", "10");
    EXPECT_EQ((std::vector<std::string>{"ResizePages 20x11", "ResizePages 20x10"}), Calls);
    ASSERT_EQ(2u, env.boxes.Shown().size()) << "200 slots are not asked about";
    EXPECT_EQ(
        "1ページの大きさをかなり大きくしようとしています。\n"
        "1ページをこの大きさにすると、かなりのシステムリソースとメモリを消費します。\n"
        "このコンピュータのシステムリソースやメモリが少ない場合、コンピュータがフリーズする恐れがあります。\n"
        "1ページの大きさを変更して宜しいですか？",
        env.Box(0).Text);
    EXPECT_EQ("Kiropad", env.Box(0).Caption);
    EXPECT_EQ(MB_YESNO | MB_ICONEXCLAMATION, env.Box(0).Flags);
}

TEST_F(DialogsOptions, ShrinkingBelowThePagesItemsNamesThemInPageOrder) {
    env.doc.Pages[1]->Name = "仕事";
    env.doc.Pages[4]->Name = "趣味";
    for (int slot = 0; slot < 5; ++slot) {
        env.doc.Pages[4]->Item(slot).Path = "C:\\b.exe";
        env.doc.Pages[1]->Item(slot + 2).Path = "C:\\a.exe";
    }
    env.doc.Pages[2]->Item(0).Path = "C:\\c.exe";
    SetGrid("2", "2");
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ("以下のページの登録アイテムの数が多すぎるため、1ページの大きさを小さくできません。\n"
              "各ページの登録アイテムの数を4個以内にしてください。\n\n仕事\r\n趣味\r\n",
              env.Box(0).Text);
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, env.Box(0).Flags);
    EXPECT_TRUE(Calls.empty());
    EXPECT_TRUE(env.doc.NotClose) << "the other settings are still applied";
}

TEST_F(DialogsOptions, TheLockNeedsTheRightPasswordBeforeOk) {
    env.doc.NoEdit = true;
    env.doc.EditPassword = "Secret";
    passwords = {"secret", nullptr, "Secret"};
    std::vector<bool> okEnabled, boxChecked;
    EXPECT_EQ(IDOK, Run([&](TfrmOpt& dlg) {
                  for (int i = 0; i < 4; ++i) {
                      okEnabled.push_back(dlg.btnOk.Enabled());
                      boxChecked.push_back(dlg.chkNoEdit.Checked());
                      if (i < 3) dlg.chkNoEdit.SetChecked(false);
                  }
                  dlg.btnOk.Click();
              }));
    EXPECT_EQ((std::vector<bool>{false, false, false, true}), okEnabled);
    EXPECT_EQ((std::vector<bool>{true, true, true, false}), boxChecked) << "refused: the box goes back";
    EXPECT_EQ(std::vector<std::string>(3, "masked:"), PassStarts) << "the present password is typed hidden";
    ASSERT_EQ(1u, env.boxes.Shown().size()) << "case counts; Cancel says nothing";
    EXPECT_EQ("パスワードが違います。", env.Box(0).Text);
    EXPECT_EQ("Kiropad", env.Box(0).Caption);
    EXPECT_EQ(MB_OK | MB_ICONSTOP, env.Box(0).Flags);
    EXPECT_FALSE(env.doc.NoEdit);
}

TEST_F(DialogsOptions, ANewLockIsChosenInPlainSightAndConfirmedAtOnce) {
    passwords = {"新しい鍵", "wrong"};
    bool okEnabled = false;
    Run([&](TfrmOpt& dlg) {
        dlg.chkNoEdit.SetChecked(true);
        okEnabled = dlg.btnOk.Enabled();
        dlg.chkNoEdit.SetChecked(false);
        dlg.btnOk.Click();
    });
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ((std::vector<std::string>{"plain:", "masked:"}), PassStarts) << "each entry starts empty";
    EXPECT_TRUE(env.doc.NoEdit);
    EXPECT_EQ("新しい鍵", env.doc.EditPassword);
}

TEST_F(DialogsOptions, CurrentPositionIsStoredAndComesBackAsTheFourthEntry) {
    Run([](TfrmOpt& dlg) {
        EXPECT_EQ(3, dlg.cmbStartPos.Count());
        dlg.cmbStartPos.SetItemIndex(1);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(std::vector<std::string>{"StorePosition"}, Calls);
    EXPECT_EQ(spFixed, view.StartPos);
    EXPECT_EQ(123, view.Left);
    Run([](TfrmOpt& dlg) {
        ASSERT_EQ(4, dlg.cmbStartPos.Count());
        EXPECT_EQ("指定の位置", dlg.cmbStartPos.Item(3));
        EXPECT_EQ(3, dlg.cmbStartPos.ItemIndex());
        dlg.cmbStartPos.SetItemIndex(0);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(spCenter, view.StartPos);
}

TEST_F(DialogsOptions, DefaultButtonsResetTheLookAndCancelChangesNothing) {
    view.Title = "私の";
    view.PageBtnWidth = 300;
    view.BtnColor = 0x00111111;
    view.Font->Name = "Arial";
    view.Tray = true;
    EXPECT_EQ(IDCANCEL, Run([](TfrmOpt& dlg) {
                  dlg.btnDefAll.Click();
                  EXPECT_EQ("Kiropad", dlg.edtTitle.Text());
                  EXPECT_EQ("171", dlg.edtWtPageBtn.Text());
                  EXPECT_EQ(platform::clBtnFace, dlg.pnlClBtn.Color());
                  EXPECT_EQ("ＭＳ Ｐゴシック", dlg.WorkFont().Name);
                  EXPECT_TRUE(dlg.chkTask.Checked()) << "the tray box is not part of the look";
                  dlg.btnCc.Click();
              }));
    EXPECT_EQ("私の", view.Title);
    EXPECT_EQ(300, view.PageBtnWidth);
    EXPECT_EQ(0x00111111u, view.BtnColor);
    EXPECT_EQ("Arial", view.Font->Name);
    EXPECT_TRUE(Calls.empty());

    Run([](TfrmOpt& dlg) {
        for (ui::TButton* b : {&dlg.btnDefWtPageBtn, &dlg.btnDefClBtn, &dlg.btnDefGfnText})
            b->Click();
        dlg.btnOk.Click();
    });
    EXPECT_EQ(171, view.PageBtnWidth);
    EXPECT_EQ(platform::clBtnFace, view.BtnColor);
    EXPECT_EQ("ＭＳ Ｐゴシック", view.Font->Name);
    EXPECT_EQ("私の", view.Title) << "only the whole-look button resets the title";
}

TEST_F(DialogsOptions, HelpOpensTheTopicOfTheActiveTab) {
    for (int tab : {TfrmOpt::kTabBasic, TfrmOpt::kTabView})
        Run([&](TfrmOpt& dlg) {
            dlg.pgcMain.SetActivePage(tab);
            PostKey(dlg.Handle(), VK_F1);
            PostMessageW(dlg.Handle(), WM_COMMAND, IDCANCEL, 0);
        });
    Run([](TfrmOpt& dlg) {
        dlg.btnHelpView.Click();
        dlg.btnHelpBasic.Click();
        dlg.btnCc.Click();
    });
    EXPECT_EQ((std::vector<std::string>{"_RESOURCE/080optionbasic.html", "_RESOURCE/090optionview.html",
                                        "_RESOURCE/090optionview.html", "_RESOURCE/080optionbasic.html"}),
              env.Topics);
}

TEST_F(DialogsOptions, ButtonSizesBeyondWhatTheWindowLaysOutAreHeldToItAndTheUserIsTold) {
    view.ItemWidth = 84;
    EXPECT_EQ(IDOK, Run([](TfrmOpt& dlg) {
                  dlg.edtWtIbtPage.SetText("600"); // more than a face may be
                  dlg.edtHtIbtPage.SetText("512"); // the largest, taken as typed
                  dlg.btnOk.Click();
              }));
    EXPECT_EQ(512, view.ItemWidth);
    EXPECT_EQ(512, view.ItemHeight);
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ("アイテムの横幅は 8 から 512 までです。512 にしました。", env.Box(0).Text);
    EXPECT_EQ((unsigned)(MB_OK | MB_ICONWARNING), env.Box(0).Flags);
}
