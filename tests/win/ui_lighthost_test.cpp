// Windowless controls on their host panel: hit-testing, the mouse capture, keys,
// hints, files dropped from the shell, and what painting a grid of 100 x 100 costs.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "platform/text.h"
#include "ui/gdi.h"
#include "ui/lighthost.h"
#include "ui/paintbuffer.h"
#include "ui/pool.h"
#include "ui/window.h"
#include "ui_test_support.h"

using namespace ui;

namespace {

// A form with a host at (0, 0) and two item-button-like controls: a panel that
// accepts files, with an image laid over it at (2, 2).
struct TGrid {
    TForm form;
    TLightHost host{&form};
    TLightControl panelA, imageA, panelB, imageB;

    TGrid() {
        host.SetBounds(0, 0, 300, 200);
        form.SetClientSize(300, 200);
        panelA.SetParent(host);
        panelA.SetBounds(10, 10, 84, 76);
        imageA.SetParent(panelA);
        imageA.SetBounds(2, 2, 80, 72);
        panelB.SetParent(host);
        panelB.SetBounds(102, 10, 84, 76);
        imageB.SetParent(panelB);
        imageB.SetBounds(2, 2, 80, 72);
        panelA.SetAcceptFiles(true);
        panelB.SetAcceptFiles(true);
    }
    void Send(UINT message, WPARAM wParam, int x, int y) {
        SendMessageW(host.Handle(), message, wParam, MAKELPARAM(x, y));
    }
};

std::string Point(int x, int y) {
    return std::to_string(x) + "," + std::to_string(y);
}

} // namespace

TEST(UiLightHost, HitTestFindsTheTopmostVisibleControl) {
    TGrid g;
    EXPECT_EQ(&g.imageA, g.host.ControlAt(50, 50));
    EXPECT_EQ(&g.panelA, g.host.ControlAt(11, 11)) << "the panel's edge is outside its image";
    EXPECT_EQ(&g.imageB, g.host.ControlAt(150, 50));
    EXPECT_EQ(nullptr, g.host.ControlAt(95, 50)) << "between the buttons";
    EXPECT_EQ(nullptr, g.host.ControlAt(94, 50)) << "right edge is exclusive";
    g.imageA.SetVisible(false);
    EXPECT_EQ(&g.panelA, g.host.ControlAt(50, 50));
    g.panelA.SetVisible(false);
    EXPECT_EQ(nullptr, g.host.ControlAt(50, 50)) << "a hidden panel hides what lies on it";
    platform::TRect r = g.imageB.HostRect(); // (2, 2) on the panel at (102, 10)
    EXPECT_EQ(104, r.Left);
    EXPECT_EQ(12, r.Top);
    EXPECT_EQ(184, r.Right);
    EXPECT_EQ(84, r.Bottom);
}

TEST(UiLightHost, LeftPressTakesTheCaptureUntilRelease) {
    TGrid g;
    std::string log;
    g.imageA.OnMouseDown = [&](TMouseButton, TShiftState, int x, int y) {
        log += "down " + Point(x, y) + ";";
    };
    g.imageA.OnMouseMove = [&](TShiftState, int x, int y) { log += "move " + Point(x, y) + ";"; };
    g.imageA.OnMouseUp = [&](TMouseButton, TShiftState, int x, int y) { log += "up " + Point(x, y) + ";"; };
    g.imageA.OnClick = [&] { log += "click;"; };
    g.imageB.OnMouseMove = [&](TShiftState, int, int) { log += "B moved;"; };

    g.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 30);
    EXPECT_EQ(g.host.Handle(), GetCapture());
    EXPECT_EQ(&g.imageA, g.host.CaptureControl());
    // Dragged over the other button: the moves still go to the pressed one.
    g.Send(WM_MOUSEMOVE, MK_LBUTTON, 150, 40);
    g.Send(WM_LBUTTONUP, 0, 150, 40);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(nullptr, g.host.CaptureControl());
    EXPECT_EQ("down 8,18;move 138,28;up 138,28;", log) << "released outside: no click";

    log.clear();
    g.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 30);
    g.Send(WM_MOUSEMOVE, MK_LBUTTON, 300, 300);
    g.Send(WM_MOUSEMOVE, MK_LBUTTON, 21, 31);
    g.Send(WM_LBUTTONUP, 0, 21, 31);
    EXPECT_EQ("down 8,18;move 288,288;move 9,19;click;up 9,19;", log) << "out and back in: one click";
}

TEST(UiLightHost, AHandlerMayMoveTheCaptureToAnotherControl) {
    TGrid g;
    std::string log;
    // Like an item button: a press on its image captures the mouse for its panel.
    g.imageA.OnMouseDown = [&](TMouseButton, TShiftState, int, int) { g.panelA.SetCapture(); };
    g.panelA.OnMouseUp = [&](TMouseButton, TShiftState, int x, int y) { log += "panel up " + Point(x, y); };
    g.imageA.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { log += "image up"; };
    g.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 30);
    EXPECT_TRUE(g.panelA.HasCapture());
    g.Send(WM_LBUTTONUP, 0, 22, 31);
    EXPECT_EQ("panel up 12,21", log);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST(UiLightHost, RightButtonTakesNoCapture) {
    TGrid g;
    std::string log;
    g.imageB.OnMouseDown = [&](TMouseButton b, TShiftState, int, int) {
        log += "down " + std::to_string((int)b) + ";";
    };
    g.imageB.OnMouseUp = [&](TMouseButton b, TShiftState, int, int) {
        log += "up " + std::to_string((int)b) + ";";
    };
    g.Send(WM_RBUTTONDOWN, MK_RBUTTON, 150, 40);
    EXPECT_EQ(nullptr, GetCapture());
    g.Send(WM_RBUTTONUP, 0, 150, 40);
    EXPECT_EQ("down 1;up 1;", log);
}

TEST(UiLightHost, KeysGoToTheFocusedControlAndHintsFollowThePointer) {
    TGrid g;
    WORD got = 0;
    g.panelB.OnKeyUp = [&](WORD& key, TShiftState) { got = key; };
    g.host.SetFocusedControl(&g.panelB);
    SendMessageW(g.host.Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(VK_SPACE, got);

    g.imageB.SetHint("独立アイテム");
    EXPECT_EQ("", g.host.HintAt(150, 40)) << "hint display off";
    g.imageB.SetShowHint(true);
    EXPECT_EQ("独立アイテム", g.host.HintAt(150, 40));
    EXPECT_EQ("", g.host.HintAt(50, 40));
}

TEST(UiLightHost, DroppedFilesReachTheControlUnderTheDropPoint) {
    TGrid g;
    std::vector<std::string> namesA, namesB;
    POINT pointB = {};
    g.panelA.OnDropFiles = [&](const TDropFiles& d) {
        for (auto& f : d.Files)
            namesA.push_back(f.Path);
    };
    g.panelB.OnDropFiles = [&](const TDropFiles& d) {
        for (auto& f : d.Files)
            namesB.push_back(f.Path);
        pointB = d.Point;
    };
    EXPECT_NE(0, GetWindowLongW(g.host.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    // Three files on the image of button B: routed to its panel, in order, as code page 932.
    std::wstring japanese = platform::Widen("C:\\データ\\設定ファイル.txt");
    SendMessageW(
        g.host.Handle(), WM_DROPFILES,
        (WPARAM)uitest::MakeDrop({L"C:\\a.exe", japanese, L"C:\\dir with space\\c.doc"}, POINT{150, 40}), 0);
    EXPECT_TRUE(namesA.empty());
    ASSERT_EQ(3u, namesB.size());
    EXPECT_EQ("C:\\a.exe", namesB[0]);
    EXPECT_EQ("C:\\データ\\設定ファイル.txt", namesB[1]);
    EXPECT_EQ("C:\\dir with space\\c.doc", namesB[2]);
    EXPECT_EQ(48, pointB.x);
    EXPECT_EQ(30, pointB.y);

    // A button that refuses files gets nothing.
    g.panelA.SetAcceptFiles(false);
    SendMessageW(g.host.Handle(), WM_DROPFILES, (WPARAM)uitest::MakeDrop({L"C:\\x.txt"}, POINT{50, 40}), 0);
    EXPECT_TRUE(namesA.empty());
    // And when no control accepts files, the shell is told the host takes none.
    g.panelB.SetAcceptFiles(false);
    EXPECT_EQ(0, GetWindowLongW(g.host.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(UiLightHost, AControlMayTakeUpFilesWhenADropArrivesOnIt) {
    // An owner that keeps the acceptance up to date lazily is asked before the drop is routed.
    TGrid g;
    std::vector<std::string> names;
    g.panelA.OnDropFiles = [&](const TDropFiles& d) { names.push_back(d.Files[0].Path); };
    g.panelA.SetAcceptFiles(false);
    g.imageA.OnDropArriving = [&] { g.panelA.SetAcceptFiles(true); };
    SendMessageW(g.host.Handle(), WM_DROPFILES, (WPARAM)uitest::MakeDrop({L"C:\\x.txt"}, POINT{50, 40}), 0);
    ASSERT_EQ(1u, names.size());
    EXPECT_EQ("C:\\x.txt", names[0]);
}

TEST(UiLightHost, ALongPathArrivesWhole) {
    // The shell's names are read at their full length, not through a 255-character buffer.
    TGrid g;
    std::string got;
    g.panelA.OnDropFiles = [&](const TDropFiles& d) { got = d.Files.at(0).Path; };
    std::wstring folder = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(120, L'b');
    std::wstring name = folder + L"\\\x9577\x3044\x540d\x524d.txt"; // 長い名前.txt
    SendMessageW(g.host.Handle(), WM_DROPFILES, (WPARAM)uitest::MakeDrop({name}, POINT{50, 40}), 0);
    std::string expected;
    ASSERT_TRUE(platform::Narrow(name, expected));
    EXPECT_GT(expected.size(), 255u);
    EXPECT_EQ(expected, got);
}

TEST(UiLightHost, ANameThatCodePage932CannotHoldArrivesExact) {
    TGrid g;
    TDropFiles got;
    g.panelA.OnDropFiles = [&](const TDropFiles& d) { got = d; };
    SendMessageW(g.host.Handle(), WM_DROPFILES,
                 (WPARAM)uitest::MakeDrop({L"C:\\ok.txt", L"C:\\\xD55C\xAD6D\\\xC5B4.txt"}, POINT{50, 40}),
                 0);
    ASSERT_EQ(2u, got.Files.size());
    EXPECT_EQ("C:\\ok.txt", got.Files[0].Path);
    EXPECT_EQ(std::wstring(L"C:\\\xD55C\xAD6D\\\xC5B4.txt"), platform::Widen(got.Files[1].Path))
        << "never passed on with '?'";
}

TEST(UiLightHost, AChangedControlInvalidatesOnlyItsRectangle) {
    TGrid g;
    g.form.ShowForm();
    g.host.Update();
    RECT r;
    EXPECT_FALSE(GetUpdateRect(g.host.Handle(), &r, FALSE));
    g.panelB.SetColor(0x00FF0000);
    g.host.FlushInvalidation();
    ASSERT_TRUE(GetUpdateRect(g.host.Handle(), &r, FALSE));
    EXPECT_EQ(102, r.left);
    EXPECT_EQ(10, r.top);
    EXPECT_EQ(186, r.right);
    EXPECT_EQ(86, r.bottom);
}

TEST(UiLightHost, HeldInvalidationCoversTheClientOnceWhenTheLastHoldGoes) {
    TGrid g;
    g.form.ShowForm();
    g.host.Update();
    RECT r;
    {
        TInvalidationLock outer(g.host);
        { TInvalidationLock inner(g.host); }
        g.panelB.SetColor(0x00FF0000);
        g.host.FlushInvalidation();
        EXPECT_FALSE(GetUpdateRect(g.host.Handle(), &r, FALSE)) << "nothing while a hold remains";
    }
    g.host.FlushInvalidation();
    ASSERT_TRUE(GetUpdateRect(g.host.Handle(), &r, FALSE));
    EXPECT_EQ(300, r.right - r.left) << "the whole client";
    EXPECT_EQ(200, r.bottom - r.top);
    g.host.Update();
    { TInvalidationLock idle(g.host); }
    EXPECT_FALSE(GetUpdateRect(g.host.Handle(), &r, FALSE)) << "a hold without changes invalidates nothing";
}

TEST(UiLightHost, OneFlushMessageServesEveryHostWaiting) {
    TForm form;
    auto left = std::make_unique<TLightHost>(&form);
    TLightHost right(&form);
    right.SetBounds(100, 0, 100, 100);
    TLightControl a, b;
    a.SetParent(*left);
    b.SetParent(right);
    form.ShowForm();
    uitest::PumpPending();
    UINT flush = RegisterWindowMessageW(L"KiropadLightHostFlush");
    auto handleFlushes = [flush] {
        int n = 0;
        for (MSG m; PeekMessageW(&m, nullptr, flush, flush, PM_REMOVE); ++n)
            DispatchMessageW(&m);
        return n;
    };
    auto dirty = [](TWindow& w) { return GetUpdateRect(w.Handle(), nullptr, FALSE) != FALSE; };
    a.SetBounds(10, 10, 20, 20);
    b.SetBounds(10, 10, 20, 20);
    EXPECT_EQ(1, handleFlushes());
    EXPECT_TRUE(dirty(*left));
    EXPECT_TRUE(dirty(right));
    right.Update();
    // The host the message went to goes before it arrives: the other still gets its paint.
    a.SetColor(0x0000FF00);
    b.SetColor(0x0000FF00);
    a.Detach();
    left.reset();
    handleFlushes();
    EXPECT_TRUE(dirty(right));
}

TEST(UiLightHost, PaintsPanelsImagesAndBevels) {
    TGrid g;
    g.host.SetBevelOuter(TBevelCut::None);
    g.host.SetColor(0x00000000);
    g.panelA.SetColor(0x00E0E0E0);
    g.panelA.SetBevelOuter(TBevelCut::Lowered);
    g.panelA.SetBevelWidth(2);
    g.imageA.Picture().Resize(80, 72, 0x00123456);
    g.imageA.Picture().SetPixel(0, 0, 0x00FF0000);
    platform::TPixmap shot;
    g.host.PaintTo(shot);
    EXPECT_EQ(0u, shot.Pixel(5, 5)) << "host background";
    EXPECT_EQ(ColorToPixel(clBtnShadow), shot.Pixel(10, 10)) << "lowered bevel";
    EXPECT_EQ(0x00FF0000u, shot.Pixel(12, 12)) << "the image's first pixel at (2, 2) on the panel";
    EXPECT_EQ(0x00123456u, shot.Pixel(50, 50));
    // A picture shown by reference is not copied and shows as it is now.
    platform::TPixmap face(80, 72, 0x00ABCDEF);
    g.imageB.SetPictureRef(&face);
    face.SetPixel(10, 10, 0x00111111);
    g.host.PaintTo(shot);
    EXPECT_EQ(0x00ABCDEFu, shot.Pixel(104 + 5, 12 + 5));
    EXPECT_EQ(0x00111111u, shot.Pixel(104 + 10, 12 + 10));
}

TEST(UiLightHost, APanelFillShowsWhereverItsImageLeavesItUncovered) {
    TGrid g;
    g.panelA.SetColor(0x00E0E0E0);
    g.panelA.SetBevelOuter(TBevelCut::Raised);
    g.panelA.SetBevelWidth(2);
    g.imageA.Picture().Resize(80, 72, 0x00123456);
    platform::TPixmap shot;
    g.host.PaintTo(shot);
    EXPECT_EQ(ColorToPixel(clBtnHighlight), shot.Pixel(11, 11)) << "the bevel's inner ring";
    EXPECT_EQ(0x00123456u, shot.Pixel(12, 12));
    EXPECT_EQ(0x00123456u, shot.Pixel(91, 83)) << "the image's last pixel";
    g.imageA.Picture().Resize(40, 30, 0x00123456); // smaller than the image control
    g.host.PaintTo(shot);
    EXPECT_EQ(0x00123456u, shot.Pixel(12, 12));
    EXPECT_EQ(0x00E0E0E0u, shot.Pixel(80, 70)) << "the panel's colour beside the small picture";
    g.imageA.Picture().Resize(80, 72, 0x00123456);
    g.imageA.SetBounds(3, 2, 80, 72); // one pixel off: the panel shows at the left
    g.host.PaintTo(shot);
    EXPECT_EQ(0x00E0E0E0u, shot.Pixel(12, 40));
    g.imageA.SetBounds(2, 2, 80, 72);
    g.imageA.SetVisible(false);
    g.host.PaintTo(shot);
    EXPECT_EQ(0x00E0E0E0u, shot.Pixel(50, 50)) << "a hidden image covers nothing";
}

TEST(UiLightHost, TheHostColourShowsInEveryGapBetweenTiles) {
    TForm form;
    TLightHost host{&form};
    host.SetBounds(0, 0, 100, 60);
    form.SetClientSize(100, 60);
    host.SetBevelOuter(TBevelCut::None);
    host.SetColor(0x00000000);
    // Tiles of 10 x 10 that cover the host whole, in two colours.
    std::vector<std::unique_ptr<TLightControl>> tiles;
    for (int y = 0; y < 60; y += 10)
        for (int x = 0; x < 100; x += 10) {
            tiles.push_back(std::make_unique<TLightControl>());
            tiles.back()->SetParent(host);
            tiles.back()->SetBounds(x, y, 10, 10);
            tiles.back()->SetColor((x + y) % 20 ? 0x00222222 : 0x00444444);
        }
    platform::TPixmap shot;
    host.PaintTo(shot);
    EXPECT_EQ(0x00444444u, shot.Pixel(0, 0));
    EXPECT_EQ(0x00222222u, shot.Pixel(99, 0));
    EXPECT_EQ(0x00444444u, shot.Pixel(99, 59));
    tiles[23]->SetVisible(false);       // (30, 20)
    tiles[40]->SetBounds(1, 40, 9, 10); // a gap of one column at (0, 40)
    tiles[59]->SetColor(clNone);        // (90, 50): paints nothing
    host.PaintTo(shot);
    EXPECT_EQ(0u, shot.Pixel(35, 25)) << "under a hidden tile";
    EXPECT_EQ(0u, shot.Pixel(0, 45)) << "in a gap one pixel wide";
    EXPECT_EQ(0x00444444u, shot.Pixel(1, 45));
    EXPECT_EQ(0u, shot.Pixel(95, 55)) << "under a tile without colour";
}

TEST(UiLightHost, PaintFollowsControlsThatMoveHideOrLeave) {
    TGrid g;
    g.host.SetBevelOuter(TBevelCut::None);
    g.host.SetColor(0x00000000);
    g.imageA.Picture().Resize(80, 72, 0x00AAAAAA);
    g.imageB.Picture().Resize(80, 72, 0x00BBBBBB);
    platform::TPixmap shot;
    g.panelB.SetBounds(200, 110, 84, 76);
    g.host.PaintTo(shot);
    EXPECT_EQ(0u, shot.Pixel(150, 50)) << "where B was";
    EXPECT_EQ(0x00BBBBBBu, shot.Pixel(250, 150)) << "where B went";
    g.panelA.SetVisible(false);
    g.host.PaintTo(shot);
    EXPECT_EQ(0u, shot.Pixel(50, 50)) << "a hidden panel and its image";
    g.panelA.SetVisible(true);
    g.host.PaintTo(shot);
    EXPECT_EQ(0x00AAAAAAu, shot.Pixel(50, 50));

    // Enough controls leave for the host to close up its list: those that stay paint
    // where they are, those that left nowhere.
    std::vector<std::unique_ptr<TLightControl>> many;
    for (int i = 0; i < 200; ++i) {
        many.push_back(std::make_unique<TLightControl>());
        many.back()->SetParent(g.host);
        many.back()->SetBounds(i % 20 * 10, 100 + i / 20 * 10, 10, 10);
        many.back()->SetColor(i % 2 ? 0x00222222 : 0x00333333);
    }
    for (int i = 0; i < 200; ++i)
        if (i % 20 >= 2) many[(size_t)i]->Detach();
    g.host.PaintTo(shot);
    EXPECT_EQ(0x00333333u, shot.Pixel(5, 105)) << "control 0 stays";
    EXPECT_EQ(0x00222222u, shot.Pixel(15, 195)) << "control 181 stays";
    EXPECT_EQ(0u, shot.Pixel(25, 105)) << "control 2 left";
    EXPECT_EQ(0x00BBBBBBu, shot.Pixel(250, 150)) << "B keeps its place in the closed-up list";
}

TEST(UiLightHost, AKeptPaintSurfacePaintsTheSameWithoutNewGdiObjects) {
    TGrid g;
    g.panelA.SetColor(0x00E0E0E0);
    g.panelA.SetBevelOuter(TBevelCut::Raised);
    g.imageA.Picture().Resize(80, 72, 0x00123456);
    platform::TPixmap without, with, inner, narrow;
    g.host.PaintTo(without);
    TGrid other;
    other.imageB.Picture().Resize(80, 72, 0x00654321);
    {
        TPaintSurface surface(400, 300);
        ASSERT_TRUE(surface.Valid());
        EXPECT_EQ(&surface, TPaintSurface::Current());
        long live = LiveGdiObjects();
        g.host.PaintTo(with);
        EXPECT_EQ(live, LiveGdiObjects()) << "a paint wider than the surface's pixels widens them in place";
        EXPECT_GE(surface.Dib().Width(), 300);
        long created = GdiObjectsCreated();
        g.host.PaintTo(with);
        EXPECT_EQ(0, GdiObjectsCreated() - created) << "the kept surface serves the paint";
        // A control that paints another host while it is painted: the inner paint
        // cannot have the surface the outer one holds, and makes its own DIB and DC.
        g.imageB.OnPaint = [&](platform::ICanvas&) { other.host.PaintTo(inner); };
        created = GdiObjectsCreated();
        g.host.PaintTo(with);
        EXPECT_EQ(2, GdiObjectsCreated() - created);
        EXPECT_EQ(0x00654321u, inner.Pixel(150, 50));
        g.imageB.OnPaint = nullptr;
    }
    EXPECT_EQ(nullptr, TPaintSurface::Current());
    {
        TPaintSurface surface(100, 100); // narrower than the host: not used
        g.host.PaintTo(narrow);
    }
    ASSERT_EQ(without.Width(), with.Width());
    ASSERT_EQ(without.Height(), with.Height());
    for (const platform::TPixmap* shot : {&with, &narrow})
        for (int y = 0; y < without.Height(); y += 3)
            for (int x = 0; x < without.Width(); x += 3)
                ASSERT_EQ(without.Pixel(x, y), shot->Pixel(x, y)) << x << "," << y;
}

namespace {

// Lays out cols x rows buttons of 8 x 8 (a panel and an image each) from the pools.
struct TBigGrid {
    TForm form;
    TLightHost host{&form};
    TPool<TLightControl> panels{[] { return std::unique_ptr<TLightControl>(new TLightControl()); }, nullptr,
                                [](TLightControl& c) { c.SetVisible(false); }};
    TPool<TLightControl> images{[] { return std::unique_ptr<TLightControl>(new TLightControl()); },
                                [](TLightControl& c) { c.SetShowHint(false); },
                                [](TLightControl& c) { c.SetVisible(false); }};
    std::vector<TLightControl*> used;

    TBigGrid() {
        host.SetBounds(0, 0, 1000, 1000);
        form.SetClientSize(1000, 1000);
        form.ShowForm();
    }
    void Build(int cols, int rows) {
        for (int i = 0; i < cols * rows; ++i) {
            TLightControl* p = panels.Take();
            p->SetParent(host);
            p->SetBounds((i % cols) * 10, (i / cols) * 10, 8, 8);
            p->SetColor(platform::clBtnFace);
            p->SetBevelOuter(TBevelCut::Raised);
            p->SetAcceptFiles(true);
            p->SetVisible(true);
            TLightControl* img = images.Take();
            img->SetParent(*p);
            img->SetBounds(2, 2, 4, 4);
            img->Picture().Resize(4, 4, 0x00FF8800 + i % 200);
            img->SetVisible(true);
            used.push_back(p);
            used.push_back(img);
        }
    }
    void Clear() {
        for (size_t i = 0; i < used.size(); i += 2) {
            used[i]->SetAcceptFiles(false);
            panels.Give(used[i]);
            images.Give(used[i + 1]);
        }
        used.clear();
    }
    long PaintCost() {
        long before = GdiObjectsCreated();
        host.Invalidate();
        host.Update();
        return GdiObjectsCreated() - before;
    }
};

} // namespace

TEST(UiLightHost, PaintingAGridOf100x100CreatesNoGdiObjectPerControl) {
    TBigGrid big;
    big.Build(5, 3);
    long smallCost = big.PaintCost();
    big.Clear();

    long live = LiveGdiObjects();
    long windows = LiveWindows();
    big.Build(100, 100);
    EXPECT_EQ(10000u, big.host.ControlCount());
    auto start = std::chrono::steady_clock::now();
    long bigCost = big.PaintCost();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ measure  ] painting 100 x 100 windowless buttons: %.1f ms, %ld GDI objects\n", ms,
                bigCost);
    EXPECT_EQ(smallCost, bigCost) << "the cost of a paint does not grow with the number of controls";
    EXPECT_LE(bigCost, 4);
    EXPECT_EQ(live, LiveGdiObjects());
    EXPECT_EQ(windows, LiveWindows()) << "10,000 buttons, not one window more";
}

TEST(UiLightHost, HundredRebuildsFromThePoolsKeepEveryCountFlat) {
    TBigGrid g;
    g.Build(100, 100);
    g.host.Update();
    long live = LiveGdiObjects();
    long windows = LiveWindows();
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 100; ++round) {
        g.Clear();
        g.Build(100, 100);
        g.host.Update();
        ASSERT_EQ(live, LiveGdiObjects()) << "round " << round;
        ASSERT_EQ(windows, LiveWindows()) << "round " << round;
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ measure  ] 100 rebuilds of 100 x 100 buttons with painting: %.0f ms\n", ms);
    EXPECT_EQ(10000u, g.panels.Created()) << "every rebuild reuses the controls of the one before";
    EXPECT_EQ(10000u, g.images.Created());
    EXPECT_EQ(10000u, g.host.ControlCount());
    EXPECT_NE(0, GetWindowLongW(g.host.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(UiPaintBand, BevelRingsFollowTheirRuleWhateverTheStripAndClip) {
    // Each ring: the top and left sides in the first colour, the right and bottom
    // sides in the second (the corners bottom-left and top-right take the second).
    const uint32_t kTop = 0x00FFFFFF, kBottom = 0x00808080, kBack = 0x00123456;
    const platform::TRect frame(3, 4, 19, 16);
    auto expected = [&](int x, int y, int width) {
        for (int i = 0; i < width; ++i) {
            int left = frame.Left + i, top = frame.Top + i, right = frame.Right - 1 - i,
                bottom = frame.Bottom - 1 - i;
            if (left > right || top > bottom) break;
            if (x < left || x > right || y < top || y > bottom) continue;
            if (x == right || y == bottom) return kBottom;
            if (x == left || y == top) return kTop;
        }
        return kBack;
    };
    const platform::TRect strips[] = {{0, 0, 24, 20}, {0, 6, 24, 9}, {5, 0, 12, 20}, {18, 15, 24, 20}};
    const platform::TRect clips[] = {
        {0, 0, 24, 20}, {4, 5, 18, 15}, {3, 4, 4, 16}, {10, 0, 24, 20}, {30, 0, 40, 5}};
    for (int width : {1, 2, 7})
        for (const platform::TRect& strip : strips)
            for (const platform::TRect& clip : clips) {
                std::vector<uint32_t> bits((size_t)strip.Width() * strip.Height(), kBack);
                TPaintBand band(nullptr, bits.data(), strip.Width(), strip);
                band.Frame3D(frame, kTop, kBottom, width, clip);
                for (int y = strip.Top; y < strip.Bottom; ++y)
                    for (int x = strip.Left; x < strip.Right; ++x) {
                        bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
                        uint32_t want = inside ? expected(x, y, width) : kBack;
                        ASSERT_EQ(want, bits[(size_t)(y - strip.Top) * strip.Width() + (x - strip.Left)])
                            << "width " << width << " at " << x << "," << y << " strip " << strip.Left << ","
                            << strip.Top << " clip " << clip.Left << "," << clip.Top;
                    }
            }
}
