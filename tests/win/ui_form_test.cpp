// Forms, panels, the status bar, timers and the notification-area icon of the widget
// framework, driven with real window messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/text.h"
#include "dpi_support.h"
#include "probe_support.h"
#include "ui/gdi.h"
#include "ui/lighthost.h"
#include "ui/menu.h"
#include "ui/panel.h"
#include "ui/statusbar.h"
#include "ui/timer.h"
#include "ui/tray.h"
#include "ui/window.h"
#include "ui_test_support.h"

using namespace ui;

namespace {

struct TLayout {
    TForm form{"Kiropad"};
    TMainMenu menu;
    TStatusBar status{form};
    TPanel pageMenu{&form};
    TPanel page{&form};
    TPanel ind{&form};

    TLayout() {
        menu.Add("メイン(&M)").Add("終了(&X)");
        menu.Add("ページ(&P)").Add("名前の変更(&N)...");
        form.SetMenu(&menu);
        status.AddPanel(50);
        for (TPanel* p : {&pageMenu, &page, &ind}) {
            p->SetBevelOuter(TBevelCut::Lowered);
            p->SetBevelWidth(2);
        }
        // The default layout: page buttons 171 wide, items 84 x 76, a grid of 5 x 3, the row shown.
        pageMenu.SetBounds(0, 0, 171 + 6, 325);
        page.SetBounds(178, 0, (84 + 8) * 5 + 12, (76 + 8) * 3 + 12);
        ind.SetBounds(178, 265, 472, 60);
        form.SetClientSize(178 + 472, 325 + status.BarHeight());
    }
};

} // namespace

TEST(UiForm, LaysOutPanelsAtTheExactClientSize) {
    TLayout l;
    EXPECT_EQ(650, l.form.ClientWidth());
    EXPECT_EQ(325 + l.status.BarHeight(), l.form.ClientHeight());
    EXPECT_GT(l.status.BarHeight(), 0);
    // The status bar sits below the panels, at the bottom of the client area.
    EXPECT_EQ(325, l.status.Top());
    EXPECT_EQ(650, l.status.Width());

    EXPECT_EQ(177, l.pageMenu.Width());
    EXPECT_EQ(325, l.pageMenu.Height());
    EXPECT_EQ(178, l.page.Left());
    EXPECT_EQ(472, l.page.Width());
    EXPECT_EQ(264, l.page.Height());
    EXPECT_EQ(265, l.ind.Top());

    // A new size of the grid is honoured exactly again, with the menu bar in place.
    l.form.SetClientSize(300, 200);
    EXPECT_EQ(300, l.form.ClientWidth());
    EXPECT_EQ(200, l.form.ClientHeight());
}

TEST(UiForm, MayBeLargerThanTheScreen) {
    // A grid of 100 x 100 makes a window far larger than any screen.
    TForm form;
    form.SetClientSize(9212, 8412);
    EXPECT_EQ(9212, form.ClientWidth());
    EXPECT_EQ(8412, form.ClientHeight());
}

// The title bar's icon of a window: its own, or else its class's.
HICON ShownIcon(HWND window, int which) {
    HICON own = (HICON)SendMessageW(window, WM_GETICON, which, 0);
    return own ? own : (HICON)GetClassLongPtrW(window, which == ICON_BIG ? GCLP_HICON : GCLP_HICONSM);
}

TEST(UiForm, ShowsTheIconItAskedForWhicheverFormRegisteredTheClass) {
    // The class carries the icons of the first form that registered it; a form that
    // asks for others gets them as its own.
    auto shared = [](const wchar_t* name, int size) {
        return (HICON)LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size,
                                 (size ? 0 : LR_DEFAULTSIZE) | LR_SHARED);
    };
    const int small = GetSystemMetrics(SM_CXSMICON);
    ASSERT_NE(shared(L"MAINICON", 0), shared(L"SMALLICON", 0)) << "two resources, two icons";
    TForm main("Kiropad", nullptr, L"MAINICON"), other("other", nullptr, L"SMALLICON"), plain("plain");
    EXPECT_EQ(shared(L"MAINICON", 0), ShownIcon(main.Handle(), ICON_BIG));
    EXPECT_EQ(shared(L"MAINICON", small), ShownIcon(main.Handle(), ICON_SMALL));
    EXPECT_EQ(shared(L"SMALLICON", 0), ShownIcon(other.Handle(), ICON_BIG));
    EXPECT_EQ(shared(L"SMALLICON", small), ShownIcon(other.Handle(), ICON_SMALL));
    EXPECT_EQ(nullptr, (HICON)SendMessageW(plain.Handle(), WM_GETICON, ICON_BIG, 0)) << "no icon of its own";
}

TEST(UiForm, SetBoundsAsksOnlyForWhatChanges) {
    TForm form;
    form.SetBounds(10, 20, 300, 200);
    std::vector<UINT> flags;
    form.OnMessage = [&](UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_WINDOWPOSCHANGING) flags.push_back(reinterpret_cast<WINDOWPOS*>(lParam)->flags);
        return false;
    };
    form.SetBounds(40, 50, 300, 200); // moved only
    ASSERT_EQ(1u, flags.size());
    EXPECT_TRUE(flags[0] & SWP_NOSIZE) << "a move leaves the size out of it";
    EXPECT_EQ(40, form.Left());
    EXPECT_EQ(300, form.Width());
    form.SetBounds(40, 50, 320, 210); // sized only
    ASSERT_EQ(2u, flags.size());
    EXPECT_TRUE(flags[1] & SWP_NOMOVE);
    EXPECT_EQ(320, form.Width());
    EXPECT_EQ(210, form.Height());
    EXPECT_EQ(50, form.Top());
    form.SetBounds(40, 50, 320, 210); // as it is
    EXPECT_EQ(2u, flags.size()) << "nothing to change, nothing asked";

    // A child's bounds are in its parent's client area.
    TPanel panel(&form);
    panel.SetBounds(5, 6, 50, 40);
    panel.SetBounds(5, 6, 60, 40);
    EXPECT_EQ(5, panel.Left());
    EXPECT_EQ(6, panel.Top());
    EXPECT_EQ(60, panel.Width());
}

TEST(UiForm, KeyPreviewSeesKeysBeforeTheFocusedControl) {
    TForm form;
    TLightHost host(&form);
    TLightControl button;
    button.SetParent(host);
    host.SetFocusedControl(&button);
    std::vector<std::string> seen;
    button.OnKeyDown = [&](WORD& key, TShiftState) { seen.push_back("button " + std::to_string(key)); };
    form.OnKeyDown = [&](WORD& key, TShiftState) {
        seen.push_back("form " + std::to_string(key));
        if (key == VK_NEXT) key = 0; // the form handles page keys itself
    };

    SendMessageW(host.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(1u, seen.size()) << "without key preview the form does not see the control's keys";
    EXPECT_EQ("button 13", seen[0]);

    seen.clear();
    form.SetKeyPreview(true);
    SendMessageW(host.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(host.Handle(), WM_KEYDOWN, VK_NEXT, 0);
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ("form 13", seen[0]);
    EXPECT_EQ("button 13", seen[1]);
    EXPECT_EQ("form 34", seen[2]); // consumed: the button never saw it

    // A key that reaches the form itself goes to its own handler.
    seen.clear();
    SendMessageW(form.Handle(), WM_KEYDOWN, VK_LEFT, 0);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("form 37", seen[0]);
}

TEST(UiForm, KeysCarryTheShiftStateOfTheThread) {
    TForm form;
    std::vector<TShiftState> seen;
    form.OnKeyDown = [&](WORD&, TShiftState shift) { seen.push_back(shift); };
    BYTE saved[256], keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(saved));
    for (BYTE ctrl : {0x80, 0x01}) { // down; toggled only, which is not down
        keys[VK_CONTROL] = keys[VK_SHIFT] = ctrl;
        SetKeyboardState(keys);
        SendMessageW(form.Handle(), WM_KEYDOWN, 'E', 0);
    }
    SetKeyboardState(saved);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(ssCtrl | ssShift, seen[0]);
    EXPECT_EQ(0u, seen[1]);
}

TEST(UiForm, CloseCanBeRefusedAndDestroyRunsItsHook) {
    long windows = LiveWindows();
    {
        TForm form;
        TPanel panel(&form);
        EXPECT_EQ(windows + 2, LiveWindows());
        bool allow = false, destroyed = false;
        form.OnClose = [&](bool& a) { a = allow; };
        form.OnDestroy = [&] { destroyed = true; };
        form.Close();
        EXPECT_TRUE(IsWindow(form.Handle()));
        allow = true;
        form.Close();
        EXPECT_TRUE(destroyed);
        EXPECT_EQ(nullptr, form.Handle());
        EXPECT_EQ(nullptr, panel.Handle()); // the child went with it
    }
    EXPECT_EQ(windows, LiveWindows());
}

TEST(UiForm, SeesEveryMessageFirstAndHandlesSystemCommands) {
    TForm form;
    UINT activation = RegisterWindowMessageW(L"KiropadUiTestActivation");
    int activations = 0, trayClicks = 0;
    form.OnMessage = [&](UINT m, WPARAM, LPARAM lParam, LRESULT& result) {
        if (m == activation) ++activations; // goes on to the normal handling
        if (m == WM_USER + 1 && lParam == WM_LBUTTONDOWN) {
            ++trayClicks;
            result = 0;
            return true;
        }
        return false;
    };
    SendMessageW(form.Handle(), activation, 0, 0);
    SendMessageW(form.Handle(), WM_USER + 1, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(1, activations);
    EXPECT_EQ(1, trayClicks);

    std::vector<WPARAM> commands;
    bool handle = true;
    int closes = 0;
    form.OnClose = [&](bool& allow) {
        ++closes;
        allow = false;
    };
    form.OnSysCommand = [&](WPARAM command, bool& handled) {
        commands.push_back(command);
        handled = handle;
    };
    // The close button arrives as SC_CLOSE: handled, it does not close ...
    SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0, closes);
    // ... otherwise the system's handling asks the form to close.
    handle = false;
    SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(1, closes);
    ASSERT_EQ(2u, commands.size());
    EXPECT_EQ((WPARAM)SC_CLOSE, commands[0]);
}

TEST(UiForm, CreateAndShowHooksRunOnce) {
    TForm form;
    int created = 0, shown = 0;
    form.OnCreate = [&] { ++created; };
    form.OnShow = [&] { ++shown; };
    form.FinishCreate();
    form.ShowForm();
    form.FinishCreate();
    EXPECT_EQ(1, created);
    EXPECT_EQ(1, shown);
    EXPECT_TRUE(form.Visible());
}

TEST(UiPanel, PaintsItsBevelColourAndCaption) {
    TForm form;
    TPanel panel(&form);
    panel.SetBounds(0, 0, 40, 30);
    panel.SetColor(0x00336699);
    panel.SetBevelOuter(TBevelCut::Raised);
    panel.SetBevelWidth(2);
    platform::TPixmap pm;
    panel.PaintTo(pm);
    ASSERT_EQ(40, pm.Width());
    uint32_t light = ColorToPixel(clBtnHighlight), dark = ColorToPixel(clBtnShadow);
    EXPECT_EQ(light, pm.Pixel(0, 0));
    EXPECT_EQ(light, pm.Pixel(1, 1));
    EXPECT_EQ(dark, pm.Pixel(39, 29));
    EXPECT_EQ(dark, pm.Pixel(38, 28));
    EXPECT_EQ(dark, pm.Pixel(0, 29)) << "the bottom-left corner belongs to the shadow";
    EXPECT_EQ(dark, pm.Pixel(39, 0)) << "the top-right corner belongs to the shadow";
    EXPECT_EQ(0x00996633u, pm.Pixel(20, 15));

    panel.SetBevelOuter(TBevelCut::Lowered);
    panel.PaintTo(pm);
    EXPECT_EQ(dark, pm.Pixel(0, 0));
    EXPECT_EQ(light, pm.Pixel(39, 29));
}

TEST(UiPanel, AmpersandsShowLiterallyWhenTheAccessKeyRuleIsOff) {
    TForm form;
    TPanel panel(&form);
    panel.SetBounds(0, 0, 120, 24);
    panel.SetBevelOuter(TBevelCut::None);
    panel.SetColor(platform::clWhite);
    platform::TPixmap doubled, literal, accel;
    // A page name "A&B" is shown with its ampersand doubled while the rule is on ...
    panel.SetCaption("A&&B");
    panel.PaintTo(doubled);
    // ... which looks exactly like the name itself with the rule off,
    panel.SetShowAccelChar(false);
    panel.SetCaption("A&B");
    panel.PaintTo(literal);
    // and not like the name with the rule on (an underlined B, no ampersand).
    panel.SetShowAccelChar(true);
    panel.PaintTo(accel);
    EXPECT_TRUE(doubled == literal);
    EXPECT_FALSE(accel == literal);
}

TEST(UiPanel, MouseEventsCarryButtonShiftAndPoint) {
    TForm form;
    TPanel panel(&form);
    std::string log;
    panel.OnMouseDown = [&](TMouseButton b, TShiftState s, int x, int y) {
        log += "down " + std::to_string((int)b) + " " + std::to_string(s & (ssShift | ssLeft | ssRight)) + " " +
               std::to_string(x) + "," + std::to_string(y) + ";";
    };
    panel.OnMouseUp = [&](TMouseButton b, TShiftState, int x, int y) {
        log += "up " + std::to_string((int)b) + " " + std::to_string(x) + "," + std::to_string(y) + ";";
    };
    SendMessageW(panel.Handle(), WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(7, 9));
    SendMessageW(panel.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(8, 10));
    EXPECT_EQ("down 1 " + std::to_string(ssShift | ssRight) + " 7,9;up 1 8,10;", log);
}

// Whether any pixel of the bar's picture inside r differs from the face colour and
// from the two frame colours: a stroke of text.
bool HasTextIn(const platform::TPixmap& picture, const platform::TRect& r) {
    uint32_t face = ColorToPixel(platform::clBtnFace), light = ColorToPixel(ui::clBtnHighlight),
             dark = ColorToPixel(ui::clBtnShadow);
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, picture.Height()); ++y)
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, picture.Width()); ++x) {
            uint32_t p = picture.Pixel(x, y) & 0x00FFFFFF;
            if (p != (face & 0x00FFFFFF) && p != (light & 0x00FFFFFF) && p != (dark & 0x00FFFFFF))
                return true;
        }
    return false;
}

TEST(UiStatusBar, DrawsEachPanelsTextInItsFrameAndKeepsToTheFormsBottom) {
    TForm form;
    form.SetClientSize(400, 200);
    TStatusBar bar(form);
    bar.AddPanel(50);
    bar.AddPanel(80);
    ASSERT_EQ(2u, bar.PanelCount());
    EXPECT_EQ(&bar, TWindow::FromHandle(bar.Handle()));
    EXPECT_EQ(nullptr, TWindow::FromHandle(GetDesktopWindow()));

    // At the bottom, as wide as the client area, high enough for its font.
    EXPECT_GT(bar.BarHeight(), 12);
    EXPECT_EQ(200 - bar.BarHeight(), bar.Top());
    EXPECT_EQ(400, bar.Width());
    form.SetClientSize(300, 150);
    EXPECT_EQ(150 - bar.BarHeight(), bar.Top()) << "follows the form";
    EXPECT_EQ(300, bar.Width());

    // The first panel is 50 wide; the last reaches the right edge.
    EXPECT_EQ(0, bar.PanelRect(0).Left);
    EXPECT_EQ(50, bar.PanelRect(0).Right);
    EXPECT_GT(bar.PanelRect(1).Left, 50);
    EXPECT_EQ(300, bar.PanelRect(1).Right);

    platform::TPixmap empty;
    bar.PaintTo(empty);
    EXPECT_FALSE(HasTextIn(empty, platform::TRect(0, 0, 300, bar.BarHeight())));

    // A long text shows in its own panel only, clipped at the frame.
    bar.SetPanelText(0, "コメントです、とても長いコメントです");
    EXPECT_EQ("コメントです、とても長いコメントです", bar.PanelText(0));
    platform::TPixmap first;
    bar.PaintTo(first);
    platform::TRect p0 = bar.PanelRect(0), p1 = bar.PanelRect(1);
    EXPECT_TRUE(HasTextIn(first, platform::TRect(p0.Left + 1, p0.Top + 1, p0.Right - 1, p0.Bottom - 1)));
    EXPECT_FALSE(HasTextIn(first, platform::TRect(p0.Right - 1, 0, 300, bar.BarHeight())));

    bar.SetPanelText(1, "次のページ");
    bar.SetPanelText(0, "");
    platform::TPixmap second;
    bar.PaintTo(second);
    EXPECT_FALSE(HasTextIn(second, p0));
    EXPECT_TRUE(HasTextIn(second, platform::TRect(p1.Left + 1, p1.Top + 1, p1.Right - 1, p1.Bottom - 1)));
    EXPECT_EQ(second.Width(), 300);
    EXPECT_EQ(second.Height(), bar.BarHeight());
}

TEST(UiTimer, FiresFromTheMessageLoopUntilDisabled) {
    TForm form;
    TTimer timer(form, 20, false);
    int fired = 0;
    timer.OnTimer = [&] {
        if (++fired == 3) timer.SetEnabled(false);
    };
    uitest::PumpFor(100);
    EXPECT_EQ(0, fired) << "a disabled timer does not fire";
    timer.SetEnabled(true);
    EXPECT_TRUE(uitest::PumpUntil([&] { return fired >= 3; }));
    uitest::PumpFor(100);
    EXPECT_EQ(3, fired);
}

TEST(UiTimer, SurvivesItsOwnerAndTheOtherWayRound) {
    auto form = std::make_unique<TForm>();
    TTimer outlives(*form, 10);
    {
        TTimer goesFirst(*form, 10);
        goesFirst.OnTimer = [] { FAIL() << "a destroyed timer fired"; };
    }
    int fired = 0;
    outlives.OnTimer = [&] { ++fired; };
    EXPECT_TRUE(uitest::PumpUntil([&] { return fired > 0; }));
    form.reset();
    outlives.SetInterval(5); // no owner any more: nothing happens
    uitest::PumpFor(50);
}

namespace {

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bm.bmWidth;
}

} // namespace

// The notification area shows small icons, whose size grows with the DPI: the icon is
// loaded at that size, not stretched from a fixed 16 x 16.
TEST(UiTray, TheIconHasTheSystemsSmallIconSize) {
    TForm form;
    TTrayIcon tray(form);
    ASSERT_TRUE(tray.Add("SMALLICON", "tip"));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), IconWidth(tray.Icon()));
    if (dpitest::StartedForDpi() == 0) {
        EXPECT_TRUE(dpitest::PassesAtDpi("UiTray.TheIconHasTheSystemsSmallIconSize", 144)) << "at 144 DPI";
    } else if (probetest::RunningUnderWine()) {
        EXPECT_EQ(24, GetSystemMetrics(SM_CXSMICON)) << "Wine took the DPI from the registry";
    }
}

TEST(UiTray, AddsAndRemovesTheNotificationIcon) {
    TForm form;
    TTrayIcon tray(form);
    std::string longTip(200, 'x'); // longer than the tip holds: cut to fit
    EXPECT_TRUE(tray.Add("SMALLICON", longTip));
    EXPECT_TRUE(tray.Shown());
    EXPECT_EQ((UINT)(WM_USER + 1), tray.CallbackMessage());
    EXPECT_TRUE(tray.Remove());
    EXPECT_FALSE(tray.Shown());
}
