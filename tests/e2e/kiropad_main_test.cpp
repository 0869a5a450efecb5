// Kiropad.exe as a user starts it: the files of a first start, one running copy per
// program file, a data file made beforehand, saving on close and the window's size.
#include <gtest/gtest.h>

#include <cstring>

#include "e2e_support.h"

using namespace e2e;

namespace {

const DWORD kStartMs = 30000;

// A data file of the storage format, written byte by byte: a document with nothing
// but its view settings, which hold only a title (code page 932).
std::vector<uint8_t> DataFileWithTitle(const char* title) {
    std::vector<uint8_t> b;
    auto word = [&](uint16_t w) {
        b.push_back((uint8_t)w);
        b.push_back((uint8_t)(w >> 8));
    };
    word(12);     // the view settings
    word(0xFFFF); // are a nested object
    size_t n = std::strlen(title) + 1;
    word(0); // their title
    word((uint16_t)n);
    b.insert(b.end(), title, title + n);
    word(0xFFFF); // end of the view settings
    word(0xFFFF); // end of the document
    return b;
}

bool Contains(const std::vector<uint8_t>& bytes, const char* text) {
    size_t n = std::strlen(text);
    for (size_t i = 0; i + n <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], text, n) == 0) return true;
    return false;
}

std::wstring TitleOf(HWND window) {
    wchar_t buf[256] = {};
    GetWindowTextW(window, buf, 256);
    return buf;
}

struct TChild {
    std::wstring Class;
    RECT Rect; // in the parent's client coordinates
};

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
    auto* children = reinterpret_cast<std::vector<std::pair<HWND, TChild>>*>(lp);
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    RECT r;
    GetWindowRect(child, &r);
    children->push_back({child, TChild{cls, r}});
    return TRUE;
}

// The direct children of a window, their rectangles in its client coordinates.
std::vector<TChild> ChildrenOf(HWND window) {
    std::vector<std::pair<HWND, TChild>> all;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&all));
    std::vector<TChild> direct;
    for (auto& c : all) {
        if (GetParent(c.first) != window) continue;
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&c.second.Rect), 2);
        direct.push_back(c.second);
    }
    return direct;
}

class E2eKiropad : public testing::Test {
protected:
    // Starts the copy of Kiropad.exe in the sandbox and waits for its window.
    HWND Start(TSandbox& box, TProcess& process) {
        EXPECT_TRUE(box.CopyProduct(L"Kiropad.exe"));
        if (!process.Start(box.Path(L"Kiropad.exe"), L"", box.Folder())) return nullptr;
        return WaitForWindow(process.Id(), kStartMs, L"KiropadForm");
    }
    long Close(HWND window, TProcess& process) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return process.Wait(kStartMs);
    }
};

} // namespace

TEST_F(E2eKiropad, AFirstStartWritesTheDataFileAndBothIconCachesOnExit) {
    TSandbox box(L"first");
    TProcess kiropad;
    HWND window = Start(box, kiropad);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"Kiropad", TitleOf(window));
    EXPECT_FALSE(FileExists(box.Path(L"Kiropad.gbi"))) << "nothing is written before a change or the end";
    EXPECT_EQ(0, Close(window, kiropad));
    EXPECT_TRUE(FileExists(box.Path(L"Kiropad.gbi")));
    EXPECT_TRUE(FileExists(box.Path(L"IconClList.bdt")));
    EXPECT_TRUE(FileExists(box.Path(L"IconMsList.bdt")));
    // Ten pages of the default name.
    EXPECT_TRUE(Contains(ReadBytes(box.Path(L"Kiropad.gbi")), "無題"));
}

TEST_F(E2eKiropad, ASecondStartOfTheSameFileEndsAndBringsTheFirstForward) {
    TSandbox box(L"second");
    TProcess first;
    HWND window = Start(box, first);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }, 5000));

    TProcess second;
    ASSERT_TRUE(second.Start(box.Path(L"Kiropad.exe"), L"", box.Folder()));
    EXPECT_EQ(0, second.Wait(kStartMs));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window) && IsWindowVisible(window); }, 5000))
        << "the first copy came forward";
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(0, Close(window, first));
}

TEST_F(E2eKiropad, ACopyInAnotherFolderRunsBesideIt) {
    TSandbox boxA(L"besideA"), boxB(L"besideB");
    TProcess a, b;
    HWND windowA = Start(boxA, a);
    HWND windowB = Start(boxB, b);
    ASSERT_NE(nullptr, windowA);
    ASSERT_NE(nullptr, windowB) << "a program file of its own is an instance of its own";
    EXPECT_NE(windowA, windowB);
    EXPECT_EQ(0, Close(windowB, b));
    EXPECT_EQ(0, Close(windowA, a));
}

TEST_F(E2eKiropad, ADataFileMadeBeforehandLoadsAndIsSavedWholeOnClose) {
    TSandbox box(L"made");
    ASSERT_TRUE(WriteBytes(box.Path(L"Kiropad.gbi"), DataFileWithTitle("E2E ランチャー")));
    size_t before = ReadBytes(box.Path(L"Kiropad.gbi")).size();
    TProcess kiropad;
    HWND window = Start(box, kiropad);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"E2E \x30E9\x30F3\x30C1\x30E3\x30FC", TitleOf(window));
    EXPECT_EQ(0, Close(window, kiropad));
    std::vector<uint8_t> saved = ReadBytes(box.Path(L"Kiropad.gbi"));
    EXPECT_GT(saved.size(), before) << "written whole: pages, options and view settings";
    EXPECT_TRUE(Contains(saved, "E2E ランチャー"));
    EXPECT_TRUE(Contains(saved, "無題"));
}

TEST_F(E2eKiropad, TheDefaultWindowIs650WideWithItsThreePanelsAndAStatusBar) {
    TSandbox box(L"geometry");
    TProcess kiropad;
    HWND window = Start(box, kiropad);
    ASSERT_NE(nullptr, window);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(650, client.right);
    int bar = -1;
    std::vector<RECT> panels;
    for (const TChild& c : ChildrenOf(window)) {
        if (c.Class == L"KiropadStatusBar") bar = c.Rect.bottom - c.Rect.top;
        if (c.Class == L"KiropadPanel") panels.push_back(c.Rect);
    }
    ASSERT_GT(bar, 0);
    EXPECT_EQ(325 + bar, client.bottom);
    ASSERT_EQ(3u, panels.size());
    auto has = [&](int l, int t, int r, int b) {
        for (const RECT& p : panels)
            if (p.left == l && p.top == t && p.right == r && p.bottom == b) return true;
        return false;
    };
    EXPECT_TRUE(has(0, 0, 177, 325)) << "page column";
    EXPECT_TRUE(has(178, 0, 650, 264)) << "grid";
    EXPECT_TRUE(has(178, 265, 650, 325)) << "independent row";
    EXPECT_EQ(0, Close(window, kiropad));
}

TEST_F(E2eKiropad, AFolderNamedInAnyScriptRunsAndKeepsExactNamesAndABackup) {
    // Korean, an accented letter and an emoji: none has a code page 932 form.
    TSandbox box(L"\xD55C\xAD6D Caf\xE9 \xD83D\xDE00");
    std::vector<uint8_t> file;
    auto word = [&](uint16_t w) {
        file.push_back((uint8_t)w);
        file.push_back((uint8_t)(w >> 8));
    };
    auto text = [&](uint16_t id, const char* t) {
        size_t n = std::strlen(t) + 1;
        word(id);
        word((uint16_t)n);
        file.insert(file.end(), t, t + n);
    };
    word(2), word(2), word(1); // one page
    word(3), word(0xFFFF);              // the page: its name as code page text
    text(0, "Caf?");
    word(0x7E00), word(0xFFFF); // and exact
    word(0), word(0xFFFF);
    text(0, "Caf?");
    text(1, "Caf\xC3\xA9");
    word(0xFFFF), word(0xFFFF), word(0xFFFF);
    word(0xFFFF); // end of the document
    ASSERT_TRUE(WriteBytes(box.Path(L"Kiropad.gbi"), file));

    TProcess kiropad;
    HWND window = Start(box, kiropad);
    ASSERT_NE(nullptr, window) << "started from a folder whose name code page 932 cannot hold";
    EXPECT_EQ(0, Close(window, kiropad));
    std::vector<uint8_t> saved = ReadBytes(box.Path(L"Kiropad.gbi"));
    EXPECT_TRUE(Contains(saved, "Caf\xC3\xA9")) << "the exact name is written again";
    EXPECT_EQ(file, ReadBytes(box.Path(L"Kiropad.gbi.bak"))) << "the file before the first save";
}
