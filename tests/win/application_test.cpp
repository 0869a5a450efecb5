// The application object: its message loop and how it ends, exceptions escaping a
// handler, activation by the system, and message boxes — real ones owned by the
// active window, and scripted ones answering every route a box can take.
#include "shell_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/win32/win32system.h"
#include "shell/common.h"
#include "ui/application.h"
#include "platform/exception.h"
#include "ybfs/ybfs2.h"

using namespace shelltest;

namespace {

// A plain top-level window of the test, destroyed with the object.
class TTestWindow {
public:
    explicit TTestWindow(bool visible = false) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KiropadTestWindow";
        RegisterClassW(&wc); // fails harmlessly once registered
        hwnd_ = CreateWindowExW(0, L"KiropadTestWindow", L"test",
                                WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, (LONG_PTR)this);
    }
    ~TTestWindow() {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    HWND Get() const { return hwnd_; }
    int Received = 0;
    int Deactivated = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<TTestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_APP) {
            ++self->Received;
            return 0;
        }
        if (self && msg == WM_ACTIVATEAPP && !wp) ++self->Deactivated;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    HWND hwnd_;
};

class UiApplication : public ::testing::Test {
protected:
    ui::TApplication app;
};

TEST_F(UiApplication, HasATitleAndAHiddenWindow) {
    EXPECT_EQ(app.Title(), "win_tests");
    EXPECT_TRUE(IsWindow((HWND)app.Handle()));
    EXPECT_FALSE(IsWindowVisible((HWND)app.Handle()));
    app.SetTitle("ランチャー");
    EXPECT_EQ(app.Title(), "ランチャー");
    EXPECT_EQ(AppTitle(), "ランチャー");
    EXPECT_EQ(&ui::Application(), &app);
}

TEST_F(UiApplication, ProcessMessagesDispatchesWhatIsWaiting) {
    TTestWindow w;
    for (int i = 0; i < 3; ++i)
        PostMessageW(w.Get(), WM_APP, 0, 0);
    app.ProcessMessages();
    EXPECT_EQ(w.Received, 3);
    EXPECT_FALSE(app.Terminated());
    PostQuitMessage(0);
    app.ProcessMessages();
    EXPECT_TRUE(app.Terminated());
}

TEST_F(UiApplication, RunEndsOnTerminate) {
    TTestWindow w;
    int seen = 0;
    app.OnMessage = [&](MSG& msg) {
        if (msg.hwnd == w.Get() && msg.message == WM_APP + 1) {
            app.Terminate();
            return true;
        }
        return false;
    };
    PostMessageW(w.Get(), WM_APP, 0, 0);
    PostMessageW(w.Get(), WM_APP + 1, 0, 0);
    PostMessageW(w.Get(), WM_APP, 0, 0);
    app.Run();
    seen = w.Received;
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(seen, 1); // the message after Terminate is left for later
}

TEST_F(UiApplication, RunEndsWhenTheMainWindowIsGone) {
    TTestWindow w;
    app.SetMainWindow((platform::TWindowHandle)w.Get());
    PostMessageW(w.Get(), WM_CLOSE, 0, 0); // the default handling destroys it
    app.Run();
    EXPECT_FALSE(IsWindow(w.Get()));
    EXPECT_TRUE(app.Terminated());
}

TEST_F(UiApplication, ExceptionsEscapingAHandlerReachOnException) {
    std::vector<std::string> caught;
    void* sender = nullptr;
    app.OnException = [&](void* s, const std::exception& e) {
        sender = s;
        caught.push_back(ExceptionMessage(e));
    };
    TTestWindow w;
    app.OnMessage = [&](MSG& msg) -> bool {
        if (msg.hwnd != w.Get()) return false;
        if (msg.wParam == 1) throw Exception("読み込めません");
        if (msg.wParam == 2) throw 42;
        if (msg.wParam == 3) app.Terminate();
        return false;
    };
    PostMessageW(w.Get(), WM_APP, 1, 0);
    PostMessageW(w.Get(), WM_APP, 2, 0);
    PostMessageW(w.Get(), WM_APP, 3, 0);
    app.Run();
    ASSERT_EQ(caught.size(), 2u);
    EXPECT_EQ(caught[0], "読み込めません");
    EXPECT_EQ(caught[1], ""); // not a standard exception: an empty message
    EXPECT_EQ(sender, &app);
    EXPECT_EQ(w.Received, 1); // the loop went on after both
}

TEST_F(UiApplication, AFailingExceptionHandlerFallsBackToTheStandardDisplay) {
    app.SetTitle("Kiropad");
    ui::TScriptedMessageBoxes boxes;
    app.OnException = [](void*, const std::exception&) { throw Exception("handler broke"); };
    app.Guard(nullptr, [] { throw Exception("first"); });
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "handler broke");
    EXPECT_EQ(boxes.Shown()[0].Caption, "Kiropad");
    EXPECT_EQ(boxes.Shown()[0].Flags, (unsigned)(MB_OK | MB_ICONERROR));
}

TEST_F(UiApplication, ScriptedBoxesAnswerEveryRouteAndRecordIt) {
    app.SetTitle("Kiropad");
    ui::TScriptedMessageBoxes boxes;
    boxes.Answer({IDYES, IDCANCEL, IDOK});
    EXPECT_EQ(MsgBox("削除しますか？", "Kiropad", MB_YESNO | MB_ICONWARNING), IDYES);
    YBFS::TYBFileObject file;
    file.FileName = "C:\\no such folder\\kiropad.gbi";
    file.MustExist = true;
    file.RaiseOnError = false;
    file.ErrorMode = 2;
    file.Load(); // the storage library's box, through the system seam
    EXPECT_EQ(platform::System().MessageBox("system", "cap", MB_OK), IDOK);
    // With the queue empty each box is declined.
    EXPECT_EQ(app.MsgBox("a", "b", MB_YESNO), IDNO);
    EXPECT_EQ(app.MsgBox("a", "b", MB_RETRYCANCEL), IDCANCEL);
    EXPECT_EQ(app.MsgBox("a", "b", MB_OK | MB_ICONSTOP), IDOK);
    ASSERT_EQ(boxes.Shown().size(), 6u);
    EXPECT_EQ(boxes.Shown()[0].Text, "削除しますか？");
    EXPECT_EQ(boxes.Shown()[0].Flags, (unsigned)(MB_YESNO | MB_ICONWARNING));
    EXPECT_EQ(boxes.Shown()[1].Caption, "エラー");
    EXPECT_EQ(boxes.Shown()[1].Flags, (unsigned)(MB_RETRYCANCEL | MB_ICONERROR));
    EXPECT_EQ(boxes.Shown()[1].Answer, IDCANCEL);
    EXPECT_EQ(boxes.Shown()[2].Text, "system");
    EXPECT_EQ(boxes.Shown()[3].Answer, IDNO);
}

TEST_F(UiApplication, ARealBoxIsOwnedByTheActiveWindow) {
    TTestWindow owner(true);
    SetForegroundWindow(owner.Get());
    SetActiveWindow(owner.Get());
    ASSERT_EQ(GetActiveWindow(), owner.Get());
    EXPECT_EQ(app.ActiveWindow(), (platform::TWindowHandle)owner.Get());
    HWND boxOwner = nullptr;
    TWindowWatcher watcher(GetCurrentThreadId(), L"#32770", [&](HWND box) {
        boxOwner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, IDNO, 0);
    });
    int answer = app.MsgBox("本当に終了しますか？", "Kiropad", MB_YESNO | MB_ICONQUESTION);
    watcher.Join();
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(boxOwner, owner.Get());
}

TEST_F(UiApplication, OnActivateFiresWhenTheProgramBecomesActive) {
    int activations = 0;
    app.OnActivate = [&] { ++activations; };
    // Becoming inactive is no activation.
    SendMessageW((HWND)app.Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(activations, 0);

    TTestWindow ours(true);
    SetForegroundWindow(ours.Get());
    app.ProcessMessages();
    // Another thread's window takes the foreground, then ours takes it back: the
    // system tells every top-level window of this thread, the hidden one included.
    // Both threads keep answering messages while the other acts.
    std::atomic<int> stage{0};
    std::thread other([&] {
        TTestWindow theirs(true);
        SetForegroundWindow(theirs.Get());
        stage = 1;
        MSG msg;
        while (stage < 2) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(10);
        }
    });
    auto pumpUntil = [&](const std::function<bool()>& done) {
        for (int i = 0; i < 500 && !done(); ++i) {
            app.ProcessMessages();
            Sleep(10);
        }
    };
    pumpUntil([&] { return stage == 1 && ours.Deactivated > 0; });
    EXPECT_GT(ours.Deactivated, 0);
    activations = 0;
    SetForegroundWindow(ours.Get());
    pumpUntil([&] { return activations > 0; });
    stage = 2;
    other.join();
    EXPECT_GE(activations, 1);
}

} // namespace

TEST_F(UiApplication, AFailureThatEscapesTheProgramIsShownUnderItsTitleAndWaitsForTheUser) {
    app.SetTitle("Kiropad");
    std::atomic<bool> waited{false};
    std::atomic<bool> found{false};
    // The user: finds the box by its caption, reads it for a while, then presses OK.
    std::thread user([&] {
        HWND box = nullptr;
        for (int i = 0; i < 200 && !box; ++i) {
            Sleep(25);
            box = FindWindowW(L"#32770", L"Kiropad");
        }
        found = box != nullptr;
        if (!box) box = FindWindowW(L"#32770", nullptr); // never leave a box open
        if (!box) return;
        Sleep(300);
        waited = IsWindow(box) != FALSE;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    int code = app.RunGuarded([] {
        PostQuitMessage(0); // what the main window's end does on the way out
        throw std::bad_alloc();
    });
    user.join();
    EXPECT_EQ(1, code);
    EXPECT_TRUE(found) << "the box has the program's title";
    EXPECT_TRUE(waited) << "the box stayed until the user closed it";
    EXPECT_EQ(0, app.RunGuarded([] {})) << "a body that ends normally";
}
