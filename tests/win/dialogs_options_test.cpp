// The options dialog over a real document and view settings, with a main window
// that records what it is asked to do, and the password dialog answered through
// the same hook.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/frmopt.h"
#include "dialogs/frmpass.h"
#include "dialogs_test_support.h"
#include "model/viewdata.h"

using namespace dialogtest;

namespace {

class TFakeOptionsHost : public IOptionsHost {
public:
    explicit TFakeOptionsHost(TViewData& view) : view_(view) {}
    void ResizePages(int columns, int rows) override {
        Calls.push_back("ResizePages " + std::to_string(columns) + "x" + std::to_string(rows));
    }
    void RebuildLayout() override { Calls.push_back("RebuildLayout"); }
    void StorePosition() override {
        Calls.push_back("StorePosition");
        view_.Left = Position.X;
        view_.Top = Position.Y;
    }

    std::vector<std::string> Calls;
    platform::TPoint Position;

private:
    TViewData& view_;
};

class DialogsOptions : public ::testing::Test {
protected:
    // Shows the options dialog; act runs once it is up (and answers nested dialogs
    // through passwords: the next password dialog gets the next entry, an empty
    // optional entry cancels it).
    int Run(const std::function<void(TfrmOpt&)>& act) {
        TfrmOpt dlg(host, env.doc, view);
        THook hook([&](ui::TDialog& shown) {
            if (TfrmPass* pass = dynamic_cast<TfrmPass*>(&shown)) {
                AnswerPassword(*pass);
                return;
            }
            act(dlg);
        });
        return dlg.ShowModal();
    }

    void AnswerPassword(TfrmPass& pass) {
        passStartedEmpty.push_back(pass.medPass.Text().empty());
        passMasked.push_back(pass.Masked());
        if (passwords.empty() || passwords.front() == nullptr) {
            if (!passwords.empty()) passwords.erase(passwords.begin());
            pass.btnCc.Click();
            return;
        }
        pass.medPass.SetText(passwords.front());
        passwords.erase(passwords.begin());
        pass.btnOk.Click();
    }

    TDialogEnv env;
    TScriptedSystem system;
    TFakePickers pickers;
    THelpRecorder help;
    TViewData view;
    TFakeOptionsHost host{view};
    std::vector<const char*> passwords; // null: Cancel
    std::vector<bool> passStartedEmpty, passMasked;
};

const char* const kLargePage =
    "1ページの大きさをかなり大きくしようとしています。\n"
    "1ページをこの大きさにすると、かなりのシステムリソースとメモリを消費します。\n"
    "このコンピュータのシステムリソースやメモリが少ない場合、コンピュータがフリーズする恐れがあります。\n"
    "1ページの大きさを変更して宜しいですか？";

} // namespace

TEST_F(DialogsOptions, ShowsTheSettingsAndStoresTheBasicOnesOnOk) {
    env.doc.ExeAnd = eaExit;
    env.doc.AutoSave = false;
    env.doc.PreventDblExe = true;
    view.Tray = true;
    view.Title = "ランチャー";
    view.StartPos = spLastExit;
    view.ShowFocus = false;
    view.ItemWidth = 90;

    int result = Run([&](TfrmOpt& dlg) {
        EXPECT_EQ(TfrmOpt::kTabBasic, dlg.pgcMain.ActivePage());
        EXPECT_EQ(dlg.edtNnWtPageItem.Handle(), GetFocus());
        EXPECT_EQ("5", dlg.edtNnWtPageItem.Text());
        EXPECT_EQ("3", dlg.edtNnHtPageItem.Text());
        EXPECT_EQ(2, dlg.cmbExeAnd.ItemIndex());
        EXPECT_FALSE(dlg.chkAutoSave.Checked());
        EXPECT_TRUE(dlg.chkTask.Checked());
        EXPECT_TRUE(dlg.chkShowInd.Checked());
        EXPECT_TRUE(dlg.chkPreventDblExe.Checked());
        EXPECT_FALSE(dlg.chkNoEdit.Checked());
        EXPECT_TRUE(dlg.btnOk.Enabled());
        EXPECT_EQ("ランチャー", dlg.edtTitle.Text());
        EXPECT_EQ(3, dlg.cmbStartPos.Count()) << "no fourth entry in mode 2";
        EXPECT_EQ(2, dlg.cmbStartPos.ItemIndex());
        EXPECT_EQ("90", dlg.edtWtIbtPage.Text());
        EXPECT_FALSE(dlg.chkShowFoc.Checked());
        EXPECT_FALSE(dlg.ViewChanged()) << "filling the controls changes nothing";

        dlg.cmbExeAnd.SetItemIndex(0);
        dlg.chkAutoSave.SetChecked(true);
        dlg.chkNoSave.SetChecked(true);
        dlg.chkPreventDblExe.SetChecked(false);
        dlg.chkNotClose.SetChecked(true);
        dlg.cmbStartPos.SetItemIndex(0);
        dlg.chkShowFoc.SetChecked(true);
        EXPECT_FALSE(dlg.ViewChanged()) << "these are stored whatever the flag says";
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(eaNothing, env.doc.ExeAnd);
    EXPECT_TRUE(env.doc.AutoSave);
    EXPECT_TRUE(env.doc.NoSave);
    EXPECT_FALSE(env.doc.PreventDblExe);
    EXPECT_TRUE(env.doc.NotClose);
    EXPECT_EQ(spCenter, view.StartPos);
    EXPECT_TRUE(view.ShowFocus);
    EXPECT_TRUE(view.Tray);
    EXPECT_EQ(90, view.ItemWidth);
    EXPECT_TRUE(host.Calls.empty()) << "nothing to rebuild";
    EXPECT_TRUE(env.boxes.Shown().empty());
    EXPECT_EQ(1, system.WaitShown) << "the hourglass during OK";
    EXPECT_EQ(0, system.WaitDepth);
}

TEST_F(DialogsOptions, ViewChangesAreStoredAndRebuildTheLayout) {
    platform::TFontSpec chosen;
    chosen.Name = "ＭＳ ゴシック";
    chosen.Size = 12;
    chosen.Style = platform::fsBold;
    chosen.Color = 0x00112233;
    pickers.ColorAnswers = {0x00010203, 0x00040506, 0x00070809};
    pickers.FontAnswers = {chosen};

    int result = Run([&](TfrmOpt& dlg) {
        dlg.pgcMain.SetActivePage(TfrmOpt::kTabView);
        dlg.edtTitle.SetText("仕事用");
        dlg.edtWtPageBtn.SetText("200");
        dlg.edtWtIbtPage.SetText("3");
        dlg.edtHtIbtPage.SetText("高さ");
        dlg.chkTask.SetChecked(true);
        dlg.chkShowInd.SetChecked(false);
        dlg.btnClBtn.Click();
        dlg.btnClAcBtn.Click();
        dlg.btnClBack.Click();
        EXPECT_EQ(0x00070809u, dlg.pnlClBack.Color()) << "the sample shows the chosen colour";
        dlg.btnGfnText.Click();
        EXPECT_TRUE(dlg.ViewChanged());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, result);
    ASSERT_EQ(3u, pickers.ColorsShown.size());
    EXPECT_EQ(platform::clBtnFace, pickers.ColorsShown[0]) << "the picker starts at the working colour";
    EXPECT_EQ(0x00E0E0E0u, pickers.ColorsShown[1]);
    ASSERT_EQ(1u, pickers.FontsShown.size());
    EXPECT_EQ("ＭＳ Ｐゴシック", pickers.FontsShown[0].Name);

    EXPECT_EQ("仕事用", view.Title);
    EXPECT_EQ(200, view.PageBtnWidth);
    EXPECT_EQ(8, view.ItemWidth) << "raised to 8";
    EXPECT_EQ(76, view.ItemHeight) << "not a number: the present value";
    EXPECT_TRUE(view.Tray);
    EXPECT_FALSE(env.doc.ShowInd);
    EXPECT_EQ(0x00010203u, view.BtnColor);
    EXPECT_EQ(0x00040506u, view.SelColor);
    EXPECT_EQ(0x00070809u, view.BackColor);
    EXPECT_EQ("ＭＳ ゴシック", view.Font->Name);
    EXPECT_EQ(12, view.Font->Size);
    EXPECT_EQ(platform::fsBold, view.Font->Style);
    EXPECT_EQ(0x00112233u, view.Font->Color);
    EXPECT_EQ(std::vector<std::string>{"RebuildLayout"}, host.Calls);
}

TEST_F(DialogsOptions, ACancelledPickerChangesNothing) {
    view.BtnColor = 0x00123456;
    int result = Run([&](TfrmOpt& dlg) {
        dlg.btnClBtn.Click();
        dlg.btnGfnText.Click();
        EXPECT_FALSE(dlg.ViewChanged());
        EXPECT_EQ(0x00123456u, dlg.WorkBtnColor());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0x00123456u, view.BtnColor);
    EXPECT_TRUE(host.Calls.empty());
}

TEST_F(DialogsOptions, GridSizeIsClampedAndTextKeepsThePresentValue) {
    int result = Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("0");
        dlg.edtNnHtPageItem.SetText("縦");
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<std::string>{"ResizePages 1x3"}, host.Calls);

    host.Calls.clear();
    Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("abc");
        dlg.edtNnHtPageItem.SetText("3");
        dlg.btnOk.Click();
    });
    EXPECT_TRUE(host.Calls.empty()) << "the same size: nothing to re-lay";
}

TEST_F(DialogsOptions, APageSizeAbove200SlotsIsAskedAbout) {
    env.boxes.Answer({IDNO});
    Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("20");
        dlg.edtNnHtPageItem.SetText("11");
        dlg.chkAutoSave.SetChecked(false);
        dlg.btnOk.Click();
    });
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ(kLargePage, env.boxes.Shown()[0].Text);
    EXPECT_EQ("Kiropad", env.boxes.Shown()[0].Caption);
    EXPECT_EQ(MB_YESNO | MB_ICONEXCLAMATION, env.boxes.Shown()[0].Flags);
    EXPECT_TRUE(host.Calls.empty()) << "No keeps 5 x 3";
    EXPECT_FALSE(env.doc.AutoSave) << "and the rest is applied";

    env.boxes.Answer({IDYES});
    Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("20");
        dlg.edtNnHtPageItem.SetText("11");
        dlg.btnOk.Click();
    });
    EXPECT_EQ(std::vector<std::string>{"ResizePages 20x11"}, host.Calls);

    host.Calls.clear();
    size_t boxes = env.boxes.Shown().size();
    Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("20");
        dlg.edtNnHtPageItem.SetText("10");
        dlg.btnOk.Click();
    });
    EXPECT_EQ(boxes, env.boxes.Shown().size()) << "200 slots are not asked about";
    EXPECT_EQ(std::vector<std::string>{"ResizePages 20x10"}, host.Calls);
}

TEST_F(DialogsOptions, ShrinkingBelowThePagesItemsNamesThemInPageOrder) {
    env.doc.Pages[1]->Name = "仕事";
    env.doc.Pages[4]->Name = "趣味";
    for (int slot = 0; slot < 5; ++slot) {
        env.Fill(4, slot, "C:\\b.exe");
        env.Fill(1, slot + 2, "C:\\a.exe");
    }
    env.Fill(2, 0, "C:\\c.exe");
    Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("2");
        dlg.edtNnHtPageItem.SetText("2");
        dlg.chkNotClose.SetChecked(true);
        dlg.btnOk.Click();
    });
    ASSERT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ("以下のページの登録アイテムの数が多すぎるため、1ページの大きさを小さくできません。\n"
              "各ページの登録アイテムの数を4個以内にしてください。\n\n仕事\r\n趣味\r\n",
              env.boxes.Shown()[0].Text);
    EXPECT_EQ("Kiropad", env.boxes.Shown()[0].Caption);
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, env.boxes.Shown()[0].Flags);
    EXPECT_TRUE(host.Calls.empty());
    EXPECT_TRUE(env.doc.NotClose) << "the other settings are still applied";
}

TEST_F(DialogsOptions, TheLockNeedsTheRightPasswordBeforeOk) {
    env.doc.NoEdit = true;
    env.doc.EditPassword = "Secret";
    passwords = {"secret", nullptr, "Secret"};
    bool okAtStart = true, okAfterWrong = true, okAfterCancel = true, okAfterRight = false;
    bool boxAfterWrong = false;
    int result = Run([&](TfrmOpt& dlg) {
        okAtStart = dlg.btnOk.Enabled();
        dlg.chkNoEdit.SetChecked(false);
        okAfterWrong = dlg.btnOk.Enabled();
        boxAfterWrong = dlg.chkNoEdit.Checked();
        dlg.chkNoEdit.SetChecked(false);
        okAfterCancel = dlg.btnOk.Enabled() || !dlg.chkNoEdit.Checked();
        dlg.chkNoEdit.SetChecked(false);
        okAfterRight = dlg.btnOk.Enabled();
        EXPECT_FALSE(dlg.chkNoEdit.Checked());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(okAtStart);
    EXPECT_FALSE(okAfterWrong);
    EXPECT_TRUE(boxAfterWrong) << "a wrong password puts the box back";
    EXPECT_FALSE(okAfterCancel);
    EXPECT_TRUE(okAfterRight);
    ASSERT_EQ(1u, env.boxes.Shown().size()) << "the comparison is case-sensitive; Cancel says nothing";
    EXPECT_EQ("パスワードが違います。", env.boxes.Shown()[0].Text);
    EXPECT_EQ("Kiropad", env.boxes.Shown()[0].Caption);
    EXPECT_EQ(MB_OK | MB_ICONSTOP, env.boxes.Shown()[0].Flags);
    EXPECT_EQ(std::vector<bool>(3, true), passMasked) << "the present password is typed hidden";
    EXPECT_FALSE(env.doc.NoEdit);
}

TEST_F(DialogsOptions, SwitchingTheLockOnChoosesAPasswordInPlainSight) {
    passwords = {"新しい鍵", "wrong"};
    bool okAfterLock = false;
    Run([&](TfrmOpt& dlg) {
        dlg.chkNoEdit.SetChecked(true);
        EXPECT_TRUE(dlg.LockState());
        okAfterLock = dlg.btnOk.Enabled();
        // The entry starts empty again for the next question of the same showing.
        dlg.chkNoEdit.SetChecked(false);
        EXPECT_TRUE(dlg.chkNoEdit.Checked());
        dlg.btnOk.Click();
    });
    EXPECT_TRUE(okAfterLock) << "a lock chosen in this showing can be confirmed at once";
    EXPECT_EQ((std::vector<bool>{false, true}), passMasked);
    EXPECT_EQ((std::vector<bool>{true, true}), passStartedEmpty);
    EXPECT_TRUE(env.doc.NoEdit);
    EXPECT_EQ("新しい鍵", env.doc.EditPassword);
}

TEST_F(DialogsOptions, AnEmptyPasswordIsAPasswordLikeAnyOther) {
    passwords = {"", ""};
    Run([&](TfrmOpt& dlg) {
        dlg.chkNoEdit.SetChecked(true);
        dlg.chkNoEdit.SetChecked(false);
        EXPECT_FALSE(dlg.LockState());
        dlg.btnOk.Click();
    });
    EXPECT_TRUE(env.boxes.Shown().empty());
    EXPECT_FALSE(env.doc.NoEdit);
}

TEST_F(DialogsOptions, CurrentPositionIsStoredAndComesBackAsTheFourthEntry) {
    host.Position = {123, 45};
    Run([&](TfrmOpt& dlg) {
        dlg.cmbStartPos.SetItemIndex(1);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(std::vector<std::string>{"StorePosition"}, host.Calls);
    EXPECT_EQ(spFixed, view.StartPos);
    EXPECT_EQ(123, view.Left);
    EXPECT_EQ(45, view.Top);

    Run([&](TfrmOpt& dlg) {
        ASSERT_EQ(4, dlg.cmbStartPos.Count());
        EXPECT_EQ("指定の位置", dlg.cmbStartPos.Item(3));
        EXPECT_EQ(3, dlg.cmbStartPos.ItemIndex());
        dlg.btnOk.Click();
    });
    EXPECT_EQ(spFixed, view.StartPos) << "the fourth entry keeps the stored position";
    EXPECT_EQ(123, view.Left);

    Run([&](TfrmOpt& dlg) {
        dlg.cmbStartPos.SetItemIndex(0);
        dlg.btnOk.Click();
    });
    Run([&](TfrmOpt& dlg) {
        EXPECT_EQ(3, dlg.cmbStartPos.Count());
        dlg.btnCc.Click();
    });
    EXPECT_EQ(spCenter, view.StartPos);
}

TEST_F(DialogsOptions, DefaultsForTheWholeLookThenCancelChangeNothing) {
    view.Title = "私の";
    view.StartPos = spLastExit;
    view.PageBtnWidth = 300;
    view.ItemWidth = 100;
    view.ItemHeight = 100;
    view.BtnColor = 0x00111111;
    view.SelColor = 0x00222222;
    view.BackColor = 0x00333333;
    view.Font->Name = "Arial";
    view.Font->Size = 20;
    view.ShowFocus = false;
    view.Tray = true;
    env.doc.ShowInd = false;

    int result = Run([&](TfrmOpt& dlg) {
        dlg.pgcMain.SetActivePage(TfrmOpt::kTabView);
        dlg.btnDefAll.Click();
        EXPECT_EQ("Kiropad", dlg.edtTitle.Text());
        EXPECT_EQ(0, dlg.cmbStartPos.ItemIndex());
        EXPECT_EQ("171", dlg.edtWtPageBtn.Text());
        EXPECT_EQ("84", dlg.edtWtIbtPage.Text());
        EXPECT_EQ("76", dlg.edtHtIbtPage.Text());
        EXPECT_EQ(platform::clBtnFace, dlg.pnlClBtn.Color());
        EXPECT_EQ(0x00E0E0E0u, dlg.pnlClAcBtn.Color());
        EXPECT_EQ(0u, dlg.pnlClBack.Color());
        EXPECT_EQ("ＭＳ Ｐゴシック", dlg.WorkFont().Name);
        EXPECT_TRUE(dlg.chkShowFoc.Checked());
        EXPECT_TRUE(dlg.chkTask.Checked()) << "the tray box is not part of the look";
        EXPECT_FALSE(dlg.chkShowInd.Checked());
        dlg.btnCc.Click();
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("私の", view.Title);
    EXPECT_EQ(spLastExit, view.StartPos);
    EXPECT_EQ(300, view.PageBtnWidth);
    EXPECT_EQ(0x00111111u, view.BtnColor);
    EXPECT_EQ("Arial", view.Font->Name);
    EXPECT_FALSE(view.ShowFocus);
    EXPECT_TRUE(host.Calls.empty());
}

TEST_F(DialogsOptions, EachDefaultButtonPutsItsDefault) {
    view.PageBtnWidth = 300;
    view.ItemWidth = 100;
    view.ItemHeight = 100;
    view.BtnColor = 0x00111111;
    view.SelColor = 0x00222222;
    view.BackColor = 0x00333333;
    view.Font->Name = "Arial";
    view.Font->Size = 20;
    view.Title = "私の";

    Run([&](TfrmOpt& dlg) {
        for (ui::TButton* b : {&dlg.btnDefWtPageBtn, &dlg.btnDefWtIbtPage, &dlg.btnDefHtIbtPage,
                               &dlg.btnDefClBtn, &dlg.btnDefClAcBtn, &dlg.btnDefClBack, &dlg.btnDefGfnText})
            b->Click();
        EXPECT_EQ("ＭＳ Ｐゴシック", dlg.WorkFont().Name);
        dlg.btnOk.Click();
    });
    EXPECT_EQ(171, view.PageBtnWidth);
    EXPECT_EQ(84, view.ItemWidth);
    EXPECT_EQ(76, view.ItemHeight);
    EXPECT_EQ(platform::clBtnFace, view.BtnColor);
    EXPECT_EQ(0x00E0E0E0u, view.SelColor);
    EXPECT_EQ(0u, view.BackColor);
    EXPECT_EQ("ＭＳ Ｐゴシック", view.Font->Name);
    EXPECT_EQ(9, view.Font->Size);
    EXPECT_EQ("私の", view.Title) << "only the whole-look button resets the title";
    EXPECT_EQ(std::vector<std::string>{"RebuildLayout"}, host.Calls);
}

TEST_F(DialogsOptions, ResizingWinsOverRebuildingTheLayout) {
    Run([&](TfrmOpt& dlg) {
        dlg.edtNnWtPageItem.SetText("6");
        dlg.edtTitle.SetText("x");
        dlg.btnOk.Click();
    });
    EXPECT_EQ(std::vector<std::string>{"ResizePages 6x3"}, host.Calls);
    EXPECT_EQ("x", view.Title);
}

TEST_F(DialogsOptions, TheFontSampleShowsTheFaceNameAtNinePoints) {
    view.Font->Name = "ＭＳ 明朝";
    view.Font->Size = 24;
    Run([&](TfrmOpt& dlg) {
        EXPECT_EQ(24, dlg.WorkFont().Size);
        platform::TPixmap sample;
        dlg.pnlGfnText.PaintTo(sample);
        int inked = 0;
        uint32_t face = ui::ColorToPixel(platform::clBtnFace);
        for (int y = 2; y < sample.Height() - 2; ++y)
            for (int x = 2; x < sample.Width() - 2; ++x)
                if (sample.Pixel(x, y) != face) ++inked;
        EXPECT_GT(inked, 20) << "the face name is drawn";
        dlg.btnCc.Click();
    });
}

TEST_F(DialogsOptions, HelpOpensTheTopicOfTheActiveTab) {
    for (int tab : {TfrmOpt::kTabBasic, TfrmOpt::kTabView}) {
        Run([&](TfrmOpt& dlg) {
            dlg.pgcMain.SetActivePage(tab);
            PostKey(dlg.Handle(), VK_F1);
            PostMessageW(dlg.Handle(), WM_COMMAND, IDCANCEL, 0);
        });
    }
    Run([&](TfrmOpt& dlg) {
        dlg.btnHelpBasic.Click();
        dlg.btnHelpView.Click();
        dlg.btnCc.Click();
    });
    EXPECT_EQ((std::vector<std::string>{"_RESOURCE/080optionbasic.html", "_RESOURCE/090optionview.html",
                                        "_RESOURCE/080optionbasic.html", "_RESOURCE/090optionview.html"}),
              help.Topics);
}
