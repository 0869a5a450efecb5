// The page rename dialog, the password entry and the about box.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/frmabout.h"
#include "dialogs/frmpagerename.h"
#include "dialogs/frmpass.h"
#include "dialogs_test_support.h"
#include "ui/gdi.h"
#include "version.h"

using namespace dialogtest;

TEST(DialogsPageRename, StoresTheNameAsTypedEvenAnEmptyOne) {
    TDialogEnv env;
    env.doc.Pages[2]->Name = "ゲーム";
    auto rename = [&](int page, const std::function<void(TfrmPageRename&)>& act) {
        TfrmPageRename dlg(env.doc);
        THook hook([&](ui::TDialog&) { act(dlg); });
        return dlg.ShowFor(page);
    };
    EXPECT_EQ(IDCANCEL, rename(2, [](TfrmPageRename& dlg) {
                  EXPECT_EQ("ゲーム", dlg.edtName.Text());
                  EXPECT_EQ(dlg.edtName.Handle(), GetFocus());
                  dlg.edtName.SetText("別の名前");
                  PostKey(dlg.edtName.Handle(), VK_ESCAPE);
              }));
    EXPECT_EQ("ゲーム", env.doc.Pages[2]->Name);
    EXPECT_EQ(IDOK, rename(2, [](TfrmPageRename& dlg) {
                  dlg.edtName.SetText("");
                  dlg.btnHelp.Click();
                  PostKey(dlg.edtName.Handle(), VK_F1);
                  PostKey(dlg.edtName.Handle(), VK_RETURN);
              }));
    EXPECT_EQ("", env.doc.Pages[2]->Name);
    EXPECT_EQ("無題", env.doc.Pages[1]->Name) << "only that page";
    EXPECT_EQ(std::vector<std::string>(2, "_RESOURCE/040pagemenu.html"), env.Topics);
    EXPECT_EQ(IDCANCEL,
              rename(10, [](TfrmPageRename&) { ADD_FAILURE() << "shown for a page that is not there"; }));
}

TEST(DialogsPass, MaskedOrPlainAndAlwaysStartingEmpty) {
    TDialogEnv env;
    TfrmPass dlg;
    EXPECT_EQ(L'*', (wchar_t)SendMessageW(dlg.medPass.Handle(), EM_GETPASSWORDCHAR, 0, 0)) << "by default";
    dlg.SetMasked(false);
    EXPECT_FALSE(dlg.Masked());
    std::vector<std::string> atStart;
    THook hook([&](ui::TDialog&) {
        atStart.push_back(dlg.medPass.Text());
        dlg.medPass.SetText("pass word");
        (atStart.size() == 1 ? dlg.btnOk : dlg.btnCc).Click();
    });
    dlg.medPass.SetText("left over");
    EXPECT_EQ(IDOK, dlg.ShowModal());
    EXPECT_EQ("pass word", dlg.Password());
    EXPECT_EQ(IDCANCEL, dlg.ShowModal());
    EXPECT_EQ("", dlg.Password());
    EXPECT_EQ((std::vector<std::string>{"", ""}), atStart);
}

TEST(DialogsAbout, ShowsNameVersionAuthorAndIcon) {
    TDialogEnv env;
    long windows = ui::LiveWindows(), gdi = ui::LiveGdiObjects();
    LOGFONTW font = {};
    RECT iconRect = {};
    platform::TPixmap icon;
    std::wstring texts;
    THook hook([&](ui::TDialog& d) {
        TfrmAbout& about = dynamic_cast<TfrmAbout&>(d);
        for (HWND w :
             {about.Handle(), about.ProductName.Handle(), about.Version.Handle(), about.Author.Handle()}) {
            wchar_t text[64] = {};
            GetWindowTextW(w, text, 64);
            texts += std::wstring(text) + L"|";
        }
        GetObjectW((HFONT)SendMessageW(about.ProductName.Handle(), WM_GETFONT, 0, 0), sizeof(font), &font);
        GetClientRect(about.ProgramIcon.Handle(), &iconRect);
        about.ProgramIcon.PaintTo(icon);
        PostKey(about.OKButton.Handle(), VK_RETURN);
    });
    EXPECT_EQ(IDOK, ShowAbout());
    EXPECT_EQ(L"バージョン情報|Kiropad|Ver. " TEXT(KIROPAD_VERSION_TEXT) L"|Kiropad developers|", texts);
    EXPECT_GE(font.lfWeight, FW_BOLD);
    EXPECT_EQ(21, std::abs(font.lfHeight));
    EXPECT_EQ(65, iconRect.right);
    EXPECT_EQ(57, iconRect.bottom);
    int drawn = 0;
    for (int y = 0; y < icon.Height(); ++y)
        for (int x = 0; x < icon.Width(); ++x)
            drawn += icon.Pixel(x, y) != ui::ColorToPixel(platform::clBtnFace);
    EXPECT_GT(drawn, 65 * 57 / 10) << "an icon is drawn";
    EXPECT_EQ(windows, ui::LiveWindows());
    EXPECT_EQ(gdi, ui::LiveGdiObjects()) << "the bold font went with the box";
}
