#include "mainwindow_support.h"

namespace mwtest {

namespace {

HWND g_owner = nullptr;
int g_downs = 0;

void CALLBACK ChooseEntry(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND popup = FindWindowW(L"#32768", nullptr);
    HWND target = popup ? popup : g_owner;
    for (int i = 0; i < g_downs; ++i)
        PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(target, WM_KEYDOWN, g_downs < 0 ? VK_ESCAPE : VK_RETURN, 0);
}

} // namespace

void ChooseFromNextPopup(HWND owner, int downs) {
    // What the last menu left in the queue is handled first, as the message loop would:
    // otherwise the next menu ends at once.
    uitest::PumpPending();
    g_owner = owner;
    g_downs = downs;
    SetTimer(nullptr, 0, 200, ChooseEntry);
}

} // namespace mwtest
