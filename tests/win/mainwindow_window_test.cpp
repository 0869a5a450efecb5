// The main window as a window: the notification area instead of the taskbar,
// minimising, the close button turned into minimising, the activation message of a
// second start, the start position, the end of the session and the kept size.
#include "mainwindow_support.h"

#include "shell/instance_names.h"

using namespace mwtest;

class MainWindowBehaviour : public MainWindowTest {
protected:
    void SysCommand(WPARAM command) { SendMessageW(Form().Handle(), WM_SYSCOMMAND, command, 0); }
    void TrayClick(UINT mouseMessage) {
        SendMessageW(Form().Handle(), TfrmMain::kTrayMessage, 1, mouseMessage);
    }
    void SwitchTray(bool on) {
        Form().View().Tray = on;
        Form().RebuildLayout();
    }
};

TEST_F(MainWindowBehaviour, InTheNotificationAreaTheWindowHidesInsteadOfMinimising) {
    TfrmMain& f = Open();
    EXPECT_FALSE(f.TrayShown());
    SwitchTray(true);
    EXPECT_TRUE(f.TrayShown());
    EXPECT_FALSE(f.HasTaskbarButton()) << "no taskbar button while the icon is in use";
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    SysCommand(SC_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsIconic(f.Handle()));
    // A right click on the icon only opens its menu after showing the window; the left
    // button brings the window back.
    TrayClick(WM_MOUSEMOVE);
    EXPECT_FALSE(IsWindowVisible(f.Handle())) << "other mouse messages do nothing";
    TrayClick(WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(f.HasTaskbarButton()) << "showing the window does not bring the button back";

    SwitchTray(false);
    EXPECT_FALSE(f.TrayShown());
    EXPECT_TRUE(f.HasTaskbarButton());
    SysCommand(SC_MINIMIZE);
    EXPECT_TRUE(IsIconic(f.Handle())) << "without the icon the window minimises to the taskbar";
}

TEST_F(MainWindowBehaviour, ExitFromTheNotificationAreaMenuEndsTheProgramAndSaves) {
    TfrmMain& f = Open();
    SwitchTray(true);
    SysCommand(SC_MINIMIZE);
    HWND window = f.Handle();
    ChooseFromNextPopup(window, 1);
    TrayClick(WM_RBUTTONDOWN);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(f.Closing());
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));
}

TEST_F(MainWindowBehaviour, TheCloseButtonMinimisesWhenSetSoButExitStillEnds) {
    TfrmMain& f = Open();
    Doc().NotClose = true;
    SysCommand(SC_CLOSE);
    EXPECT_TRUE(IsWindow(f.Handle()));
    EXPECT_TRUE(IsIconic(f.Handle()));
    ShowWindow(f.Handle(), SW_RESTORE);
    // Only the whole value counts: SC_CLOSE with its low bits set is another command.
    SysCommand(SC_CLOSE | 2);
    EXPECT_FALSE(IsIconic(f.Handle()));

    HWND window = f.Handle();
    f.Menus.mniExit.Click();
    EXPECT_FALSE(IsWindow(window)) << "the exit command is never turned into minimising";
}

TEST_F(MainWindowBehaviour, WithoutTheSettingTheCloseButtonCloses) {
    TfrmMain& f = Open();
    HWND window = f.Handle();
    SysCommand(SC_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(shelltest::ExistsW(platform::Widen(DataFile())));
}

TEST_F(MainWindowBehaviour, TheActivationMessageOfASecondStartBringsTheWindowForward) {
    TfrmMain& f = Open();
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    UINT message = RegisterWindowMessageW(BuildActivationMessageName(std::wstring(path, n)).c_str());
    EXPECT_EQ(message, f.ActivationMessage()) << "the name of this program file";

    SwitchTray(true);
    SysCommand(SC_MINIMIZE);
    ASSERT_FALSE(IsWindowVisible(f.Handle()));
    SendMessageW(f.Handle(), message, 0, 0);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    SwitchTray(false);
    ShowWindow(f.Handle(), SW_MINIMIZE);
    SendMessageW(f.Handle(), message, 0, 0);
    EXPECT_FALSE(IsIconic(f.Handle()));
}

TEST_F(MainWindowBehaviour, ARestartedShellGetsTheNotificationIconBack) {
    TfrmMain& f = Open();
    SwitchTray(true);
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = f.Handle();
    nid.uID = 1;
    // The shell went away with every icon, then came back and told the windows so.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "the icon is gone";
    SendMessageW(f.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "the window added its icon again";

    // Without the icon in use, a restarted shell gets none.
    SwitchTray(false);
    SendMessageW(f.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid));
}

TEST_F(MainWindowBehaviour, TheWindowStartsCentredOrWhereItWasLeft) {
    TfrmMain& f = Open();
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - f.Width()) / 2, f.Left());
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - f.Height()) / 2, f.Top());

    // Mode 2: the position at the last save is where the next start puts the window.
    f.View().StartPos = spLastExit;
    f.SetBounds(37, 41, f.Width(), f.Height());
    form_.reset();
    Open();
    EXPECT_EQ(37, Form().Left());
    EXPECT_EQ(41, Form().Top());
    // Even when the window was minimised at the end.
    Form().SetBounds(52, 63, Form().Width(), Form().Height());
    ShowWindow(Form().Handle(), SW_MINIMIZE);
    form_.reset();
    Open();
    EXPECT_EQ(52, Form().Left());
    EXPECT_EQ(63, Form().Top());

    // Mode 3: the stored place, whatever the window did before the end.
    Form().View().StartPos = spFixed;
    Form().View().Left = 20;
    Form().View().Top = 30;
    Form().SetBounds(200, 200, Form().Width(), Form().Height());
    form_.reset();
    Open();
    EXPECT_EQ(20, Form().Left());
    EXPECT_EQ(30, Form().Top());
    Form().StorePosition();
    EXPECT_EQ(20, Form().View().Left);
}

namespace {

// The work area moved down and right, as a taskbar at the top and left does; put back at the end.
class TShiftedWorkArea {
public:
    TShiftedWorkArea(int left, int top) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved_, 0);
        RECT r = saved_;
        r.left += left;
        r.top += top;
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &r, 0);
    }
    ~TShiftedWorkArea() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved_, 0); }
    TShiftedWorkArea(const TShiftedWorkArea&) = delete;
    TShiftedWorkArea& operator=(const TShiftedWorkArea&) = delete;

private:
    RECT saved_{};
};

} // namespace

TEST_F(MainWindowBehaviour, AWindowClosedMinimisedComesBackWhereItWasWithTheTaskbarAtTheTopOrLeft) {
    TShiftedWorkArea taskbar(60, 40);
    TfrmMain& f = Open();
    f.View().StartPos = spLastExit;
    f.SetBounds(300, 200, f.Width(), f.Height());
    ShowWindow(f.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(f.Handle()));
    form_.reset();
    Open();
    EXPECT_EQ(300, Form().Left()) << "no drift by the taskbar's width";
    EXPECT_EQ(200, Form().Top()) << "no drift by the taskbar's height";
}

TEST_F(MainWindowBehaviour, AStoredPlaceThatNoMonitorShowsIsMovedOnScreenAndAnyOtherIsKept) {
    TfrmMain& f = Open();
    f.View().StartPos = spFixed;
    f.View().Left = -5000; // a monitor that was on the left is gone
    f.View().Top = 3000;
    form_.reset();
    Open();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.left, Form().Left());
    EXPECT_EQ(work.bottom - Form().Height(), Form().Top());

    // Half off the screen is still on a monitor: kept as stored.
    Form().View().Left = -100;
    Form().View().Top = -20;
    form_.reset();
    Open();
    EXPECT_EQ(-100, Form().Left());
    EXPECT_EQ(-20, Form().Top());
}

TEST_F(MainWindowBehaviour, TheEndOfTheSessionSavesAsClosingDoes) {
    TfrmMain& f = Open();
    std::wstring data = platform::Widen(DataFile());
    ASSERT_FALSE(shelltest::ExistsW(data));
    EXPECT_EQ(TRUE, SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_TRUE(shelltest::ExistsW(data));
    // The session went on after all. Next time it ends without the question (a forced
    // end): that saves too.
    SendMessageW(f.Handle(), WM_ENDSESSION, FALSE, 0);
    DeleteFileW(data.c_str());
    SendMessageW(f.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(shelltest::ExistsW(data));
    // With saving disabled, neither does.
    DeleteFileW(data.c_str());
    Doc().NoSave = true;
    SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(f.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(shelltest::ExistsW(data));
}

TEST_F(MainWindowBehaviour, TheWindowKeepsTheSizeOfItsLayout) {
    TfrmMain& f = Open();
    int width = f.ClientWidth(), height = f.ClientHeight();
    SetWindowPos(f.Handle(), nullptr, 0, 0, f.Width() + 80, f.Height() + 40, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_NE(width, f.ClientWidth());
    UpdateWindow(f.Handle());
    EXPECT_EQ(width, f.ClientWidth());
    EXPECT_EQ(height, f.ClientHeight());
}

TEST_F(MainWindowBehaviour, ActivatingTheProgramPutsTheCursorBackOnTheFirstSlot) {
    TfrmMain& f = Open();
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    ASSERT_EQ(2, f.Grid.CursorPosition());
    SendMessageW((HWND)ui::Application().Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(0, f.Grid.CursorPosition());
    // Not while no cursor is shown (the options dialog is open).
    f.Grid.SetKeyCursor(TCursorKind::None, 0);
    SendMessageW((HWND)ui::Application().Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(TCursorKind::None, f.Grid.CursorKind());
}
