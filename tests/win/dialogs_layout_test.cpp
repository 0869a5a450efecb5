// Every label, check box and button of every dialog and tab page shows its whole
// text in the dialog's font, and every control lies inside its window. With
// KIROPAD_DIALOG_SHOTS naming a folder, each dialog and tab is also saved there as
// a bitmap as the screen shows it, to be looked at.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "dialogs/frmabout.h"
#include "dialogs/frmitemedit.h"
#include "dialogs/frmopt.h"
#include "dialogs/frmpagerename.h"
#include "dialogs/frmpass.h"
#include "dialogs_test_support.h"
#include "model/bmpfile.h"
#include "platform/text.h"
#include "ui/gdi.h"

using namespace dialogtest;

namespace {

void CheckControl(HWND control, const RECT& room, const std::string& where) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    std::string name = where + " control " + std::to_string(GetDlgCtrlID(control));
    EXPECT_TRUE(r.left >= room.left && r.top >= room.top && r.right <= room.right && r.bottom <= room.bottom)
        << name << " reaches out of its window";

    wchar_t cls[32] = {}, text[128] = {};
    GetClassNameW(control, cls, 32);
    int length = GetWindowTextW(control, text, 128);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    int width = r.right - r.left;
    if (std::wstring(cls) == L"Static") {
        if ((style & SS_TYPEMASK) > SS_RIGHT) return; // frames and pictures
    } else if (std::wstring(cls) == L"Button") {
        LONG type = style & BS_TYPEMASK;
        bool box = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX;
        width -= box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 2 * GetSystemMetrics(SM_CXEDGE) + 4;
    } else {
        return;
    }
    ui::TWindowDC dc(control);
    ui::TSelectObject font(dc.Get(), (HFONT)SendMessageW(control, WM_GETFONT, 0, 0));
    SIZE need = {};
    GetTextExtentPoint32W(dc.Get(), text, length, &need);
    std::string shown = platform::NarrowForDisplay(text);
    EXPECT_LE(need.cx, width) << name << " cuts \"" << shown << "\"";
    EXPECT_LE(need.cy, r.bottom - r.top) << name << " cuts \"" << shown << "\"";
}

void CheckWindow(HWND window, const std::string& where) {
    RECT client;
    GetClientRect(window, &client);
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (std::wstring(cls) != L"#32770") CheckControl(c, client, where); // pages are checked on their own
    }
}

void SaveShot(HWND window, const std::string& name) {
    const char* folder = std::getenv("KIROPAD_DIALOG_SHOTS");
    if (!folder || !*folder) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 10; ++i) // the system copies what was painted to the screen a little later
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT);
    RECT r;
    GetWindowRect(window, &r);
    ui::TDibSection dib(r.right - r.left, r.bottom - r.top);
    ui::TMemoryDC memory;
    {
        ui::TSelectObject selected(memory.Get(), dib.Get());
        ui::TWindowDC screen;
        BitBlt(memory.Get(), 0, 0, dib.Width(), dib.Height(), screen.Get(), r.left, r.top, SRCCOPY);
    }
    platform::TPixmap shot(dib.Width(), dib.Height());
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            shot.SetPixel(x, y, dib.Row(y)[x] & 0x00FFFFFF);
    std::vector<uint8_t> file = bmpfile::EncodeColor(shot);
    std::ofstream(std::string(folder) + "\\" + name + ".bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), (std::streamsize)file.size());
}

// Shows dialog and checks it and each of its pages, each in front in turn.
void Check(ui::TDialog& dialog, ui::TTabPages* pages, const std::string& name,
           const std::function<int()>& show) {
    THook hook([&](ui::TDialog&) {
        CheckWindow(dialog.Handle(), name);
        if (!pages) SaveShot(dialog.Handle(), name);
        for (size_t i = 0; pages && i < pages->PageCount(); ++i) {
            pages->SetActivePage((int)i);
            CheckWindow(pages->Page(i).Handle(), name + " tab " + std::to_string(i));
            SaveShot(dialog.Handle(), name + "-tab" + std::to_string(i));
        }
        dialog.EndModal(IDCANCEL);
    });
    show();
}

struct TNoHost : IOptionsHost {
    void ResizePages(int, int) override {}
    void RebuildLayout() override {}
    void StorePosition() override {}
};

} // namespace

TEST(DialogsLayout, EveryLabelIsWholeAndEveryControlInside) {
    TDialogEnv env;
    TItem item(false);
    item.Path = "C:\\windows\\notepad.exe";
    TfrmItemEdit edit;
    Check(edit, &edit.pgcMain, "itemedit", [&] { return edit.ShowFor(item); });
    TNoHost host;
    TViewData view;
    TfrmOpt options(host, env.doc, view);
    Check(options, &options.pgcMain, "options", [&] { return options.ShowModal(); });
    TfrmPageRename rename(env.doc);
    Check(rename, nullptr, "pagerename", [&] { return rename.ShowFor(0); });
    TfrmPass pass;
    Check(pass, nullptr, "password", [&] { return pass.ShowModal(); });
    TfrmAbout about;
    Check(about, nullptr, "about", [&] { return about.ShowModal(); });
}
