// The page rename dialog, the password entry and the about box.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/frmabout.h"
#include "dialogs/frmpagerename.h"
#include "dialogs/frmpass.h"
#include "dialogs_test_support.h"
#include "platform/text.h"
#include "ui/gdi.h"
#include "version.h"

using namespace dialogtest;

namespace {

class DialogsSmall : public ::testing::Test {
protected:
    TDialogEnv env;
    THelpRecorder help;
};

} // namespace

TEST_F(DialogsSmall, RenameStoresTheNameAsTypedEvenAnEmptyOne) {
    env.doc.Pages[2]->Name = "ゲーム";
    for (const char* name : {"趣味 & 遊び", ""}) {
        TfrmPageRename dlg(env.doc);
        THook hook([&](ui::TDialog&) {
            EXPECT_EQ(dlg.edtName.Handle(), GetFocus());
            dlg.edtName.SetText(name);
            dlg.btnOk.Click();
        });
        EXPECT_EQ(IDOK, dlg.ShowFor(2));
        EXPECT_EQ(name, env.doc.Pages[2]->Name);
    }
    EXPECT_EQ("無題", env.doc.Pages[1]->Name) << "only that page";
}

TEST_F(DialogsSmall, RenameShowsThePageNameAndCancelKeepsIt) {
    env.doc.Pages[0]->Name = "仕事";
    TfrmPageRename dlg(env.doc);
    std::string shown;
    THook hook([&](ui::TDialog&) {
        shown = dlg.edtName.Text();
        dlg.edtName.SetText("別の名前");
        PostKey(dlg.edtName.Handle(), VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, dlg.ShowFor(0));
    EXPECT_EQ("仕事", shown);
    EXPECT_EQ("仕事", env.doc.Pages[0]->Name);
}

TEST_F(DialogsSmall, RenameRefusesANameThatCodePage932CannotHold) {
    env.doc.Pages[0]->Name = "仕事";
    TfrmPageRename dlg(env.doc);
    int resultAfterOk = -1;
    THook hook([&](ui::TDialog&) {
        SetWindowTextW(dlg.edtName.Handle(), L"\xD55C\xAD6D");
        dlg.btnOk.Click();
        resultAfterOk = dlg.ModalResult();
        dlg.btnCc.Click();
    });
    dlg.ShowFor(0);
    EXPECT_EQ(0, resultAfterOk);
    EXPECT_EQ(1u, env.boxes.Shown().size());
    EXPECT_EQ("仕事", env.doc.Pages[0]->Name);
}

TEST_F(DialogsSmall, RenameOfAPageThatIsNotThereShowsNothing) {
    TfrmPageRename dlg(env.doc);
    bool shown = false;
    THook hook([&](ui::TDialog&) { shown = true; });
    EXPECT_EQ(IDCANCEL, dlg.ShowFor(10));
    EXPECT_EQ(IDCANCEL, dlg.ShowFor(-1));
    EXPECT_FALSE(shown);
}

TEST_F(DialogsSmall, RenameHelpOpensThePageMenuTopic) {
    TfrmPageRename dlg(env.doc);
    THook hook([&](ui::TDialog&) {
        dlg.btnHelp.Click();
        PostKey(dlg.edtName.Handle(), VK_F1);
        PostMessageW(dlg.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    dlg.ShowFor(0);
    EXPECT_EQ(std::vector<std::string>(2, "_RESOURCE/040pagemenu.html"), help.Topics);
}

TEST_F(DialogsSmall, PasswordEntryIsMaskedOrPlainAndAlwaysStartsEmpty) {
    TfrmPass dlg;
    EXPECT_TRUE(dlg.Masked()) << "asterisks by default";
    EXPECT_EQ(L'*', (wchar_t)SendMessageW(dlg.medPass.Handle(), EM_GETPASSWORDCHAR, 0, 0));
    dlg.SetMasked(false);
    EXPECT_FALSE(dlg.Masked());
    dlg.SetMasked(true);

    std::vector<std::string> atStart;
    THook hook([&](ui::TDialog&) {
        atStart.push_back(dlg.medPass.Text());
        EXPECT_EQ(dlg.medPass.Handle(), GetFocus());
        dlg.medPass.SetText("pass word");
        dlg.btnOk.Click();
    });
    dlg.medPass.SetText("left over");
    EXPECT_EQ(IDOK, dlg.ShowModal());
    EXPECT_EQ("pass word", dlg.Password());
    EXPECT_EQ(IDOK, dlg.ShowModal());
    EXPECT_EQ((std::vector<std::string>{"", ""}), atStart);
}

TEST_F(DialogsSmall, PasswordCancelGivesNoPassword) {
    TfrmPass dlg;
    THook hook([&](ui::TDialog&) {
        dlg.medPass.SetText("typed");
        dlg.btnCc.Click();
    });
    EXPECT_EQ(IDCANCEL, dlg.ShowModal());
    EXPECT_EQ("", dlg.Password());
}

TEST_F(DialogsSmall, AboutShowsNameVersionAuthorAndIcon) {
    long windows = ui::LiveWindows(), gdi = ui::LiveGdiObjects();
    int result = 0;
    {
        std::string caption, product, version, author;
        LOGFONTW font = {};
        RECT iconRect = {};
        platform::TPixmap icon;
        THook hook([&](ui::TDialog& d) {
            TfrmAbout& about = dynamic_cast<TfrmAbout&>(d);
            wchar_t text[64] = {};
            GetWindowTextW(about.Handle(), text, 64);
            platform::Narrow(text, caption);
            GetWindowTextW(about.ProductName.Handle(), text, 64);
            platform::Narrow(text, product);
            GetWindowTextW(about.Version.Handle(), text, 64);
            platform::Narrow(text, version);
            GetWindowTextW(about.Author.Handle(), text, 64);
            platform::Narrow(text, author);
            HFONT hfont = (HFONT)SendMessageW(about.ProductName.Handle(), WM_GETFONT, 0, 0);
            GetObjectW(hfont, sizeof(font), &font);
            GetClientRect(about.ProgramIcon.Handle(), &iconRect);
            about.ProgramIcon.PaintTo(icon);
            PostKey(about.OKButton.Handle(), VK_RETURN);
        });
        result = ShowAbout();
        EXPECT_EQ("バージョン情報", caption);
        EXPECT_EQ("Kiropad", product);
        EXPECT_EQ("Ver. " KIROPAD_VERSION_TEXT, version);
        EXPECT_EQ("Kiropad developers", author);
        EXPECT_GE(font.lfWeight, FW_BOLD);
        EXPECT_EQ(21, std::abs(font.lfHeight));
        EXPECT_EQ(65, iconRect.right);
        EXPECT_EQ(57, iconRect.bottom);
        ASSERT_EQ(65, icon.Width());
        uint32_t face = ui::ColorToPixel(platform::clBtnFace);
        int drawn = 0;
        for (int y = 0; y < icon.Height(); ++y)
            for (int x = 0; x < icon.Width(); ++x)
                if (icon.Pixel(x, y) != face) ++drawn;
        EXPECT_GT(drawn, 65 * 57 / 10) << "an icon is drawn";
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(windows, ui::LiveWindows());
    EXPECT_EQ(gdi, ui::LiveGdiObjects()) << "the bold font went with the box";
}
