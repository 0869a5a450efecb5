#pragma once
// The appearance settings of the main window (title, sizes, colours, font, focus
// frame, start position, notification area), stored in the data file as the
// document's nested object 12.
#include <cstdint>
#include <memory>
#include <string>

#include "model/buttonsizes.h"
#include "model/yfont.h"
#include "platform/types.h"
#include "ybfs/ybfs2.h"

// Start position modes of the main window.
const uint8_t spCenter = 0, spCurrent = 1, spLastExit = 2, spFixed = 3;

class TViewData : public YBFS::TYBObject {
public:
    TViewData() { Clear(false); }
    TViewData(const TViewData&) = delete;
    TViewData& operator=(const TViewData&) = delete;

    // Every member to its default, with a new default font.
    void Reset(bool forRead) override;
    void ReadMembers() override;
    // In mode spLastExit the main window's present position is stored first.
    void WriteMembers() override;

    std::string Title;
    int PageBtnWidth = 0;
    int ItemWidth = 0;
    int ItemHeight = 0;
    platform::TColor BtnColor = 0;
    platform::TColor SelColor = 0;
    platform::TColor BackColor = 0;
    std::unique_ptr<TYFont> Font;
    bool ShowFocus = false;
    uint8_t StartPos = spCenter;
    int Left = 0;
    int Top = 0;
    bool Tray = false;
};
