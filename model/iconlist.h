#pragma once
// All item icons as 32 x 32 cells of two strips, a colour strip and a mask strip,
// addressed by slot number; an item keeps its slot in ImageIndex. The strips are
// cached beside the program as two bitmap files so that a start needs no icon
// extraction.
#include <string>
#include <vector>

#include "model/monobitmap.h"
#include "platform/canvas.h"
#include "platform/pixmap.h"
#include "platform/system.h"

// The icon of the edit dialog's preview: holds one icon or none.
class TIconPicture {
public:
    bool HasIcon() const { return has_; }
    const platform::TIconImage& Image() const { return image_; }
    void Release();
    void TakeOver(platform::TIconImage&& image);

private:
    bool has_ = false;
    platform::TIconImage image_;
};

// A path longer than the shell's icon functions take: it gets no icon without asking.
bool TooLongForShell(const std::string& path);
// The shell's associated icon of path; location (when given) receives where the
// shell found it. A path longer than 260 characters gives none without asking.
bool GetFileIcon(const std::string& path, platform::TIconImage& icon, platform::TIconPInfo* location);
// Icon number index of file; none for a path longer than 260 characters.
bool GetIndexedIcon(const std::string& file, int index, platform::TIconImage& icon);
// The preview helpers: release what the picture holds, then fetch as the list does.
void LoadFileIcon(TIconPicture& picture, const std::string& path, platform::TIconPInfo* location);
void LoadIndexedIcon(TIconPicture& picture, const std::string& file, int index);

class TIconList {
public:
    static constexpr int kCellSize = 32;
    static constexpr int kSlotBlock = 10;
    static const char* const kColorCacheName; // "IconClList.bdt"
    static const char* const kMaskCacheName;  // "IconMsList.bdt"

    TIconList();

    // Blank strips of 10 cells and 10 free slots.
    void ResetSlots();
    int SlotCount() const { return (int)Used.size(); }
    // Sets the number of slots (the data file stores it): flags beyond it are
    // dropped, new ones are free. The strips follow when they are next written.
    void SetSlotCount(int count);

    // Makes slot a slot of the list in use: the one it names, or the lowest free one
    // when it names none (growing the list by 10 when none is free).
    void Reserve(int& slot);
    // Makes a slot's cell transparent.
    void ClearCell(int slot);
    // Stores an icon into slot (taking the lowest free slot when slot is negative,
    // growing the list by 10 when none is free), or with no icon frees the slot
    // and sets it to -1.
    void SetIcon(int& slot, const platform::TIconImage* icon);
    // The shell's icon for path into slot; true when there was one.
    bool AddFileIcon(int& slot, const std::string& path, platform::TIconPInfo* location);
    // Icon number index of file into slot; true when there was one.
    bool AddIndexedIcon(int& slot, const std::string& file, int index);
    // Marks a slot free; a slot the list does not have is ignored.
    void ReleaseSlot(int slot);

    // Paints a slot onto rect: the mask merged with the brush, then the colour
    // added, so that transparent parts come out in the canvas's brush colour.
    void Draw(int slot, platform::ICanvas& canvas, const platform::TRect& rect) const;

    // Paints an icon that is in no slot, as Draw paints a slot.
    static void DrawIcon(const platform::TIconImage& icon, platform::ICanvas& canvas, const platform::TRect& rect);
    // Draws a slot faded to grey, for a target that cannot be reached now.
    void DrawDimmed(int slot, platform::ICanvas& canvas, const platform::TRect& rect) const;
    // Paints an icon that is in no slot faded to grey, as DrawDimmed paints a slot.
    static void DrawIconDimmed(const platform::TIconImage& icon, platform::ICanvas& canvas,
                               const platform::TRect& rect);

    // Loads both cache files from the program folder and accepts them only when
    // both are 32 high and 32 x slot count wide. Otherwise the list starts empty
    // (ResetSlots) and false tells the caller to forget every item's slot.
    bool LoadCache();
    // Writes both cache files; when either fails both are removed (the next start
    // then extracts the icons again). True when both were written.
    bool SaveCache();
    // Rebuilds the flags from one item's slot: a free slot in range is marked used;
    // one beyond the list, or one that an item marked before, becomes -2 (to be
    // evaluated again); a negative one stays.
    void MarkUsed(int& imageIndex);
    // Cuts unused blocks of 10 slots above the highest used one.
    void Shrink();

    platform::TPixmap ColorStrip; // 32 high, 32 x slot count wide
    TMonoBitmap MaskStrip;        // same size; white where the icon is transparent
    std::vector<bool> Used;       // one in-use flag per slot

private:
    static platform::TRect Cell(int slot);
    // Widens or cuts both strips to the slot count, keeping the cells on the left.
    void FitStrips();

    // The bytes of a cache file being written, kept from save to save.
    std::vector<uint8_t> cacheFile_;
};
