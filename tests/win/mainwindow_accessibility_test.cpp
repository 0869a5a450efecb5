// The main window without a mouse or sight: what a screen reader finds in the page
// column, the grid, the independent row and the status bar through the accessible
// objects; starting and selecting through their default actions; the events that
// follow the keyboard cursor; type to find; the colours of high contrast.
#include <oleacc.h>

#include <cstdlib>

#include "mainwindow_support.h"
#include "model/viewdata.h"
#include "ui/accessible.h"

using namespace mwtest;

namespace {

// A COM reference released at the end of its scope.
template <class T> class TRef {
public:
    TRef() = default;
    ~TRef() {
        if (p_) p_->Release();
    }
    TRef(const TRef&) = delete;
    TRef& operator=(const TRef&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// A BSTR taken as code page 932 text ("" for none).
std::string Text(BSTR b) {
    std::string out;
    if (b) platform::Narrow(std::wstring(b, SysStringLen(b)), out);
    SysFreeString(b);
    return out;
}

// The events raised on the main window's panes while a hook is installed.
struct TEventRecord {
    DWORD Event;
    HWND Window;
    LONG Child;
};
std::vector<TEventRecord>* g_events = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (g_events && object == OBJID_CLIENT) g_events->push_back({event, hwnd, child});
}

} // namespace

class MainWindowAccessibility : public MainWindowTest {
protected:
    void TearDown() override {
        ui::OverrideHighContrast(-1);
        MainWindowTest::TearDown();
    }

    // The accessible object of a pane, as a reader gets it.
    void Object(ui::TWindow& pane, TRef<IAccessible>& acc) {
        ASSERT_EQ(S_OK, AccessibleObjectFromWindow(pane.Handle(), (DWORD)OBJID_CLIENT, __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(acc.Out())));
        ASSERT_TRUE(acc);
    }
    std::string Name(IAccessible* acc, long id) {
        BSTR b = nullptr;
        acc->get_accName(Child(id), &b);
        return Text(b);
    }
    long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* acc, long id) {
        VARIANT v;
        VariantInit(&v);
        EXPECT_EQ(S_OK, (acc->*get)(Child(id), &v));
        return v.vt == VT_I4 ? v.lVal : -1;
    }
    long Role(IAccessible* acc, long id) { return Number(&IAccessible::get_accRole, acc, id); }
    long State(IAccessible* acc, long id) { return Number(&IAccessible::get_accState, acc, id); }
    RECT Location(IAccessible* acc, long id) {
        long x = 0, y = 0, w = 0, h = 0;
        EXPECT_EQ(S_OK, acc->accLocation(&x, &y, &w, &h, Child(id)));
        return RECT{x, y, x + w, y + h};
    }
    // A rectangle of a pane's client area on the screen.
    static RECT OnScreen(ui::TWindow& pane, const platform::TRect& r) {
        POINT a = pane.ClientToScreen(POINT{r.Left, r.Top});
        return RECT{a.x, a.y, a.x + r.Width(), a.y + r.Height()};
    }
    void Char(wchar_t ch, UINT message = WM_CHAR) { SendMessageW(Form().Handle(), message, ch, 1); }
    void Type(const std::wstring& text, UINT message = WM_CHAR) {
        for (wchar_t ch : text)
            Char(ch, message);
    }
    // Under a hold set in the environment the window stays up that long (for a screenshot).
    void HoldForScreenshot() {
        if (const char* hold = std::getenv("KIROPAD_TEST_HOLD_MS")) uitest::PumpFor(std::atoi(hold));
    }
};

TEST_F(MainWindowAccessibility, EveryButtonOfTheGridIsAChildWithItsNameRoleStateAndPlace) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), Probe(), "probe");
    Fill(PageItem(0, 4), Probe(), "計算表");
    f.Grid.SetKeyCursor(TCursorKind::Page, 4);
    TRef<IAccessible> acc;
    Object(f.pnlPage, acc);

    long count = 0;
    ASSERT_EQ(S_OK, acc->get_accChildCount(&count));
    ASSERT_EQ(15, count);
    for (long id = 1; id <= count; ++id) {
        SCOPED_TRACE(id);
        int slot = (int)id - 1;
        const TItem& item = PageItem(0, slot);
        EXPECT_EQ(item.Path.empty() ? "空き" : item.Name, Name(acc.operator->(), id));
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, Role(acc.operator->(), id));
        long state = State(acc.operator->(), id);
        EXPECT_EQ(slot == 4, (state & STATE_SYSTEM_FOCUSED) != 0);
        EXPECT_EQ(slot == 4, (state & STATE_SYSTEM_SELECTED) != 0);
        EXPECT_FALSE(state & (STATE_SYSTEM_PRESSED | STATE_SYSTEM_UNAVAILABLE));
        RECT want = OnScreen(f.pnlPage, f.Layout().PageItemButton(slot)),
             got = Location(acc.operator->(), id);
        EXPECT_TRUE(EqualRect(&want, &got))
            << got.left << "," << got.top << " " << got.right << "," << got.bottom;
        BSTR action = nullptr;
        acc->get_accDefaultAction(Child(id), &action);
        EXPECT_EQ(item.Path.empty() ? "編集" : "起動", Text(action));
    }
    BSTR description = nullptr;
    acc->get_accDescription(Child(2), &description);
    EXPECT_EQ(PageItem(0, 1).Path, Text(description)) << "the description is the path";

    VARIANT focus;
    VariantInit(&focus);
    ASSERT_EQ(S_OK, acc->get_accFocus(&focus));
    EXPECT_EQ(5, focus.lVal);
    VARIANT hit;
    POINT centre = f.pnlPage.ClientToScreen(SlotPoint(7));
    ASSERT_EQ(S_OK, acc->accHitTest(centre.x, centre.y, &hit));
    EXPECT_EQ(8, hit.lVal);

    // Under the edit lock an empty button refuses its click: it says so.
    Doc().NoEdit = true;
    EXPECT_TRUE(State(acc.operator->(), 1) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_FALSE(State(acc.operator->(), 2) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, acc->accDoDefaultAction(Child(1)));
    Doc().NoEdit = false;

    // A pressed button is pressed for the reader too.
    f.Grid.SetPressedButton(&f.Grid.PageItemButton(2));
    EXPECT_TRUE(State(acc.operator->(), 3) & STATE_SYSTEM_PRESSED);
    f.Grid.SetPressedButton(nullptr);

    // A reader that holds the object after the window is gone is told so, nothing crashes.
    TRef<IAccessible> kept;
    Object(f.pnlPage, kept);
    form_.reset();
    long after = 0;
    EXPECT_EQ(RPC_E_DISCONNECTED, kept->get_accChildCount(&after));
}

TEST_F(MainWindowAccessibility, PageTabsMarkTheSelectedPageAndTheRowAndStatusBarAreRead) {
    TfrmMain& f = Open();
    Doc().Pages[1]->Name = "仕事&遊び";
    f.BuildPageButtons();
    f.SelectPage(-1);
    f.SelectPage(1);
    Doc().IndItems[2]->Path = Probe();
    Doc().IndItems[2]->Name = "独立";

    TRef<IAccessible> pages;
    Object(f.pnlPageMenu, pages);
    long count = 0;
    ASSERT_EQ(S_OK, pages->get_accChildCount(&count));
    ASSERT_EQ((long)Doc().Pages.size(), count);
    EXPECT_EQ(ROLE_SYSTEM_PAGETABLIST, Role(pages.operator->(), CHILDID_SELF));
    EXPECT_EQ("仕事&遊び", Name(pages.operator->(), 2)) << "the page name, not the caption with its && ";
    for (long id = 1; id <= count; ++id) {
        EXPECT_EQ(Doc().Pages[(size_t)id - 1]->Name, Name(pages.operator->(), id));
        EXPECT_EQ(ROLE_SYSTEM_PAGETAB, Role(pages.operator->(), id));
        EXPECT_EQ(id == 2, (State(pages.operator->(), id) & STATE_SYSTEM_SELECTED) != 0) << id;
        RECT want = OnScreen(f.pnlPageMenu, f.Layout().PageButton((int)id - 1)),
             got = Location(pages.operator->(), id);
        EXPECT_TRUE(EqualRect(&want, &got)) << id;
    }
    // Its default action selects the page, once the window handles its messages.
    ASSERT_EQ(S_OK, pages->accDoDefaultAction(Child(1)));
    uitest::PumpPending();
    EXPECT_EQ(0, f.CurrentPage());
    EXPECT_TRUE(State(pages.operator->(), 1) & STATE_SYSTEM_SELECTED);

    TRef<IAccessible> row;
    Object(f.pnlInd, row);
    ASSERT_EQ(S_OK, row->get_accChildCount(&count));
    EXPECT_EQ(f.Layout().IndCount, count);
    EXPECT_EQ("独立", Name(row.operator->(), 3));
    EXPECT_EQ("空き", Name(row.operator->(), 1));
    RECT want = OnScreen(f.pnlInd, f.Layout().IndButton(2)), got = Location(row.operator->(), 3);
    EXPECT_TRUE(EqualRect(&want, &got));

    f.stbMain.SetPanelText(0, "コメント");
    TRef<IAccessible> bar;
    Object(f.stbMain, bar);
    EXPECT_EQ(ROLE_SYSTEM_STATUSBAR, Role(bar.operator->(), CHILDID_SELF));
    EXPECT_EQ("コメント", Name(bar.operator->(), 1));
}

TEST_F(MainWindowAccessibility, TheDefaultActionStartsTheItemAsAClickDoes) {
    TfrmMain& f = Open();
    Fill(PageItem(0, 1), Probe(), "probe");
    TRef<IAccessible> acc;
    Object(f.pnlPage, acc);
    ASSERT_EQ(S_OK, acc->accDoDefaultAction(Child(2)));
    EXPECT_EQ(1u, Launches(1).size());
    EXPECT_EQ(TCursorKind::Page, f.Grid.CursorKind());
    EXPECT_EQ(1, f.Grid.CursorPosition()) << "the cursor goes to the button started, as with a click";

    // On an empty button it opens the edit dialog, as a click does.
    ASSERT_EQ(S_OK, acc->accDoDefaultAction(Child(6)));
    uitest::PumpPending();
    EXPECT_EQ(1, dialogs_.Edits);
}

TEST_F(MainWindowAccessibility, TheArrowsAndPageChangesRaiseFocusAndSelectionEvents) {
    TfrmMain& f = Open();
    std::vector<TEventRecord> events;
    g_events = &events;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr, RecordEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    auto focusesOn = [&](HWND pane) {
        std::vector<LONG> children;
        for (const TEventRecord& e : events)
            if (e.Event == EVENT_OBJECT_FOCUS && e.Window == pane) children.push_back(e.Child);
        return children;
    };
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    Press(VK_LEFT);
    uitest::PumpUntil([&] { return focusesOn(f.pnlPage.Handle()).size() >= 4; }, 3000);
    EXPECT_EQ((std::vector<LONG>{2, 3, 8, 7}), focusesOn(f.pnlPage.Handle()));

    uitest::PumpFor(300); // the events come through the message queue: the earlier ones first
    events.clear();
    Press(VK_NEXT);
    uitest::PumpUntil([&] { return !focusesOn(f.pnlPage.Handle()).empty(); }, 3000);
    uitest::PumpFor(300);
    bool pageSelected = false;
    for (const TEventRecord& e : events)
        pageSelected |=
            e.Event == EVENT_OBJECT_SELECTION && e.Window == f.pnlPageMenu.Handle() && e.Child == 2;
    EXPECT_TRUE(pageSelected) << "the page tab of the new page";
    EXPECT_EQ((std::vector<LONG>{1}), focusesOn(f.pnlPage.Handle()))
        << "the cursor's button shows a new item";
    UnhookWinEvent(hook);
    g_events = nullptr;
}

TEST_F(MainWindowAccessibility, TypingFindsTitlesAcrossPagesAndEnterStartsTheItem) {
    TfrmMain& f = Open();
    std::string probe = Probe();
    Fill(PageItem(0, 3), probe, "Notes");
    Fill(PageItem(0, 9), probe, "nexus");
    Fill(PageItem(1, 2), probe, "Notepad");
    Fill(PageItem(1, 5), probe, "計算表");
    Fill(PageItem(0, 12), probe, "計画");
    auto at = [&](int page, int slot) {
        return f.CurrentPage() == page && f.Grid.CursorKind() == TCursorKind::Page &&
               f.Grid.CursorPosition() == slot;
    };

    Type(L"n");
    EXPECT_TRUE(at(0, 3)) << "the first title on the page that begins with n, either case";
    Type(L"e");
    EXPECT_TRUE(at(0, 9)) << "ne: Notes does not begin with it";
    uitest::PumpFor(1100);
    f.Grid.SetKeyCursor(TCursorKind::Page, 0);
    Type(L"NOTEP");
    EXPECT_TRUE(at(1, 2)) << "on the following page";

    // The input method's result (one message per character) finds Japanese titles.
    f.SelectPage(0);
    uitest::PumpFor(1100);
    Type(L"計算", WM_IME_CHAR);
    EXPECT_TRUE(at(1, 5));
    uitest::PumpFor(1100);
    Type(L"計", WM_IME_CHAR);
    EXPECT_TRUE(at(0, 12)) << "after a pause a new search goes on from the item found, round the pages";

    // A letter no title begins with moves nothing; with Ctrl held typing finds nothing.
    uitest::PumpFor(1100);
    Type(L"z");
    EXPECT_TRUE(at(0, 12));
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Type(L"n");
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(at(0, 12));

    Press(VK_RETURN);
    EXPECT_EQ(1u, Launches(1).size()) << "Enter starts the item found";
}

TEST_F(MainWindowAccessibility, HighContrastDrawsWithTheSystemsColoursAndKeepsTheStoredOnes) {
    ui::OverrideHighContrast(1);
    TfrmMain& f = Open();
    Fill(PageItem(0, 0), Probe(), "probe");
    f.Grid.SetKeyCursor(TCursorKind::Page, 1);
    uint32_t btnColor = f.View().BtnColor, selColor = f.View().SelColor, backColor = f.View().BackColor;
    HoldForScreenshot();

    const TLook& look = f.Look();
    EXPECT_TRUE(look.HighContrast);
    EXPECT_EQ(platform::clBtnFace, f.Grid.PageItemButton(3).Panel().Color());
    EXPECT_EQ(look.Back, f.pnlPage.Color());
    EXPECT_EQ(btnColor, f.View().BtnColor) << "the stored colours stay";
    EXPECT_EQ(selColor, f.View().SelColor);
    EXPECT_EQ(backColor, f.View().BackColor);
    // The item's face is filled with the system's face colour.
    platform::TPictureRef face = f.Grid.PageItemButton(0).ShownFace();
    ASSERT_TRUE(face.Width() > 0);
    platform::TPixmap copy;
    face.CopyTo(copy);
    EXPECT_EQ(platform::System().ColorToPixel(platform::clBtnFace), copy.Pixel(0, 0) & 0xFFFFFF);
    // The selected page and a pressed face take the highlight.
    EXPECT_EQ(look.Sel, f.PageButtons()[0]->Color());
    f.Grid.SetPressedButton(&f.Grid.PageItemButton(0));
    EXPECT_EQ(look.Sel, f.Grid.PageItemButton(0).Panel().Color());
    f.Grid.SetPressedButton(nullptr);

    // Back at normal contrast the stored colours return.
    ui::OverrideHighContrast(0);
    SendMessageW(f.Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_FALSE(f.Look().HighContrast);
    EXPECT_EQ(btnColor, f.Grid.PageItemButton(3).Panel().Color());
    EXPECT_EQ(backColor, f.pnlPage.Color());
}
