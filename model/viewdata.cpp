#include "model/viewdata.h"

#include "model/host.h"

void TViewData::Reset(bool) {
    Title = "Kiropad";
    PageBtnWidth = 171;
    ItemWidth = 84;
    ItemHeight = 76;
    BtnColor = platform::clBtnFace;
    SelColor = 0x00E0E0E0;
    BackColor = platform::clBlack;
    Font = std::make_unique<TYFont>();
    ShowFocus = true;
    StartPos = spCenter;
    Left = 0;
    Top = 0;
    Tray = false;
}

void TViewData::ReadMembers() {
    Read(0, Title);
    Read(1, PageBtnWidth);
    Read(2, ItemWidth);
    Read(3, ItemHeight);
    Read(4, BtnColor);
    Read(5, SelColor);
    Read(7, BackColor);
    ReadObject(6, *Font);
    Read(8, ShowFocus);
    int mode;
    if (Read(9, mode)) StartPos = (uint8_t)(mode & 0xFF); // the upper bytes carry nothing
    Read(10, Left);
    Read(11, Top);
    Read(12, Tray);
}

void TViewData::WriteMembers() {
    IMainHost* host = MainHost();
    if (StartPos == spLastExit && host) {
        platform::TPoint p = host->PresentPosition();
        Left = p.X;
        Top = p.Y;
    }
    Write(0, Title);
    Write(1, PageBtnWidth);
    Write(2, ItemWidth);
    Write(3, ItemHeight);
    Write(4, BtnColor);
    Write(5, SelColor);
    Write(7, BackColor);
    WriteObject(6, *Font);
    Write(8, ShowFocus);
    int mode = StartPos;
    Write(9, mode);
    Write(10, Left);
    Write(11, Top);
    Write(12, Tray);
}
