// Every label, check box and button of every dialog and tab page shows its whole
// text in the dialog's font, and every control lies inside its window. With
// KIROPAD_DIALOG_SHOTS naming a folder, each dialog and tab is also saved there as
// a bitmap as it appears on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

std::wstring TextOf(HWND w) {
    int length = GetWindowTextLengthW(w);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(w, &text[0], length + 1));
    return text;
}

SIZE TextExtent(HWND control, const std::wstring& text) {
    ui::TWindowDC dc(control);
    HFONT font = (HFONT)SendMessageW(control, WM_GETFONT, 0, 0);
    ui::TSelectObject selected(dc.Get(), font);
    SIZE size = {};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), (int)text.size(), &size);
    return size;
}

// The room that a control's text has, and what it needs.
void CheckControl(HWND control, const RECT& parentClient, const std::string& where) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    std::wstring cls = ClassOf(control);
    std::string name = where + " control " + std::to_string(GetDlgCtrlID(control));
    EXPECT_GE(r.left, parentClient.left) << name;
    EXPECT_GE(r.top, parentClient.top) << name;
    EXPECT_LE(r.right, parentClient.right) << name << " reaches out of its window";
    EXPECT_LE(r.bottom, parentClient.bottom) << name << " reaches out of its window";

    std::wstring text = TextOf(control);
    if (text.empty()) return;
    std::string shown = platform::NarrowForDisplay(text);
    SIZE need = TextExtent(control, text);
    int width = r.right - r.left, height = r.bottom - r.top;
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (cls == L"Static") {
        if ((style & SS_TYPEMASK) > SS_RIGHT) return; // frames and pictures
        EXPECT_LE(need.cx, width) << name << " cuts \"" << shown << "\"";
        EXPECT_LE(need.cy, height) << name << " cuts \"" << shown << "\"";
    } else if (cls == L"Button") {
        LONG type = style & BS_TYPEMASK;
        int room = width;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON)
            room -= GetSystemMetrics(SM_CXMENUCHECK) + 4; // the box and the gap after it
        else
            room -= 2 * GetSystemMetrics(SM_CXEDGE) + 4; // the button's edges
        EXPECT_LE(need.cx, room) << name << " cuts \"" << shown << "\"";
        EXPECT_LE(need.cy, height) << name << " cuts \"" << shown << "\"";
    }
}

void CheckWindow(HWND window, const std::string& where) {
    RECT client;
    GetClientRect(window, &client);
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassOf(c) == L"#32770") continue; // a tab page: checked as a window of its own
        CheckControl(c, client, where);
    }
}

// The window as the screen shows it, saved as a bitmap file in the shots folder.
void SaveShot(HWND window, const std::string& name) {
    const char* folder = std::getenv("KIROPAD_DIALOG_SHOTS");
    if (!folder || !*folder) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    ui::TDibSection dib(w, h);
    ui::TMemoryDC memory;
    {
        ui::TSelectObject selected(memory.Get(), dib.Get());
        ui::TWindowDC screen;
        BitBlt(memory.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
    }
    platform::TPixmap shot(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            shot.SetPixel(x, y, dib.Row(y)[x] & 0x00FFFFFF);
    std::vector<uint8_t> file = bmpfile::EncodeColor(shot);
    std::ofstream(std::string(folder) + "/" + name + ".bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), (std::streamsize)file.size());
}

class DialogsLayout : public ::testing::Test {
protected:
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

    TDialogEnv env;
    TViewData view;
};

class TNoHost : public IOptionsHost {
public:
    void ResizePages(int, int) override {}
    void RebuildLayout() override {}
    void StorePosition() override {}
};

} // namespace

TEST_F(DialogsLayout, ItemEditShowsEveryLabelWhole) {
    TItem item(false);
    item.Path = "C:\\windows\\notepad.exe";
    item.Icon = "C:\\windows\\system32\\shell32.dll";
    TfrmItemEdit dlg;
    Check(dlg, &dlg.pgcMain, "itemedit", [&] { return dlg.ShowFor(item); });
}

TEST_F(DialogsLayout, OptionsShowEveryLabelWhole) {
    TNoHost host;
    TfrmOpt dlg(host, env.doc, view);
    Check(dlg, &dlg.pgcMain, "options", [&] { return dlg.ShowModal(); });
}

TEST_F(DialogsLayout, SmallDialogsShowEveryLabelWhole) {
    {
        TfrmPageRename dlg(env.doc);
        Check(dlg, nullptr, "pagerename", [&] { return dlg.ShowFor(0); });
    }
    {
        TfrmPass dlg;
        Check(dlg, nullptr, "password", [&] { return dlg.ShowModal(); });
    }
    {
        TfrmAbout dlg;
        Check(dlg, nullptr, "about", [&] { return dlg.ShowModal(); });
    }
}
