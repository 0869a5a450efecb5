#include "model/iconlist.h"

#include <algorithm>

#include "model/bmpfile.h"
#include "platform/text.h"
#include "platform/exception.h"
#include "platform/filestream.h"

using platform::TIconImage;
using platform::TIconPInfo;
using platform::TPixmap;
using platform::TRect;

const char* const TIconList::kColorCacheName = "IconClList.bdt";
const char* const TIconList::kMaskCacheName = "IconMsList.bdt";

bool TooLongForShell(const std::string& path) {
    return platform::Widen(path).size() > platform::kMaxIconPath;
}

namespace {

// An empty path has no icon; a path of up to 3 characters (a drive such as D:\)
// goes to the shell without an existence test.
bool WorthAsking(const std::string& path) {
    return !path.empty() && (path.size() < 4 || platform::System().GetPathKind(path) != platform::TPathKind::Missing);
}

} // namespace

// ---- Icon helpers ----------------------------------------------------------

void TIconPicture::Release() {
    has_ = false;
    image_ = TIconImage();
}

void TIconPicture::TakeOver(TIconImage&& image) {
    image_ = std::move(image);
    has_ = true;
}

bool GetFileIcon(const std::string& path, TIconImage& icon, TIconPInfo* location) {
    if (TooLongForShell(path)) return false;
    return platform::System().ExtractAssociatedIcon(path, icon, location);
}

bool GetIndexedIcon(const std::string& file, int index, TIconImage& icon) {
    if (TooLongForShell(file)) return false;
    return platform::System().ExtractIndexedIcon(file, index, icon);
}

void LoadFileIcon(TIconPicture& picture, const std::string& path, TIconPInfo* location) {
    picture.Release();
    if (location) *location = TIconPInfo();
    TIconImage icon;
    if (WorthAsking(path) && GetFileIcon(path, icon, location)) picture.TakeOver(std::move(icon));
}

void LoadIndexedIcon(TIconPicture& picture, const std::string& file, int index) {
    picture.Release();
    TIconImage icon;
    if (WorthAsking(file) && GetIndexedIcon(file, index, icon)) picture.TakeOver(std::move(icon));
}

// ---- The list --------------------------------------------------------------

TIconList::TIconList() {
    ResetSlots();
}

TRect TIconList::Cell(int slot) {
    return TRect(slot * kCellSize, 0, (slot + 1) * kCellSize, kCellSize);
}

void TIconList::ResetSlots() {
    ColorStrip = TPixmap(kSlotBlock * kCellSize, kCellSize);
    MaskStrip = TMonoBitmap(kSlotBlock * kCellSize, kCellSize);
    Used.assign(kSlotBlock, false);
}

void TIconList::SetSlotCount(int count) {
    Used.resize((size_t)std::max(count, 0), false);
}

void TIconList::FitStrips() {
    int width = SlotCount() * kCellSize;
    ColorStrip.Resize(width, kCellSize);
    MaskStrip.Resize(width, kCellSize);
}

void TIconList::Reserve(int& slot) {
    // A slot beyond the list (a stale number) is treated like none: a new one is taken.
    if (slot < 0 || slot >= SlotCount()) {
        auto free = std::find(Used.begin(), Used.end(), false);
        if (free == Used.end()) {
            Used.resize(Used.size() + kSlotBlock, false);
            free = Used.end() - kSlotBlock;
        }
        slot = (int)(free - Used.begin());
    }
    Used[(size_t)slot] = true;
    if (ColorStrip.Width() < SlotCount() * kCellSize || MaskStrip.Width() < SlotCount() * kCellSize)
        FitStrips();
}

void TIconList::ClearCell(int slot) {
    if (slot < 0 || slot >= SlotCount()) return;
    TRect cell = Cell(slot);
    ColorStrip.FillRect(cell, 0);
    MaskStrip.StretchFrom(cell, TPixmap(1, 1, 0x00FFFFFF), TRect(0, 0, 1, 1)); // transparent until drawn
}

void TIconList::SetIcon(int& slot, const TIconImage* icon) {
    if (!icon) {
        ReleaseSlot(slot);
        slot = -1;
        return;
    }
    Reserve(slot);
    TRect cell = Cell(slot);
    ClearCell(slot);
    if (!icon->Color.Empty())
        ColorStrip.StretchCopy(cell, icon->Color, TRect(0, 0, icon->Color.Width(), icon->Color.Height()),
                               platform::kSrcCopy);
    if (!icon->Mask.Empty())
        MaskStrip.StretchFrom(cell, icon->Mask, TRect(0, 0, icon->Mask.Width(), icon->Mask.Height()));
    // Drawing adds the colour onto the brush where the mask is white, so the
    // colour must be black there or the brush would be tinted.
    for (int y = 0; y < kCellSize; ++y)
        for (int x = cell.Left; x < cell.Right; ++x)
            if (MaskStrip.Pixel(x, y)) ColorStrip.SetPixel(x, y, 0);
}

bool TIconList::AddFileIcon(int& slot, const std::string& path, TIconPInfo* location) {
    if (location) *location = TIconPInfo();
    TIconImage icon;
    bool got = WorthAsking(path) && GetFileIcon(path, icon, location);
    SetIcon(slot, got ? &icon : nullptr);
    return got;
}

bool TIconList::AddIndexedIcon(int& slot, const std::string& file, int index) {
    TIconImage icon;
    bool got = WorthAsking(file) && GetIndexedIcon(file, index, icon);
    SetIcon(slot, got ? &icon : nullptr);
    return got;
}

void TIconList::ReleaseSlot(int slot) {
    if (slot >= 0 && slot < SlotCount()) Used[(size_t)slot] = false;
}

void TIconList::Draw(int slot, platform::ICanvas& canvas, const TRect& rect) const {
    TRect cell = Cell(slot);
    if (slot < 0 || cell.Right > ColorStrip.Width() || cell.Right > MaskStrip.Width()) return;
    canvas.StretchCopy(rect, MaskStrip.ToPixmap(cell), TRect(0, 0, kCellSize, kCellSize),
                       platform::kMergeCopy);
    canvas.StretchCopy(rect, ColorStrip, cell, platform::kSrcPaint);
}

void TIconList::DrawIcon(const TIconImage& icon, platform::ICanvas& canvas, const TRect& rect) {
    if (icon.Color.Empty() || icon.Mask.Empty()) return;
    // As in a cell: black wherever the mask lets the brush through.
    TPixmap color = icon.Color;
    for (int y = 0; y < color.Height() && y < icon.Mask.Height(); ++y)
        for (int x = 0; x < color.Width() && x < icon.Mask.Width(); ++x)
            if (icon.Mask.Pixel(x, y) & 0x00FFFFFF) color.SetPixel(x, y, 0);
    canvas.StretchCopy(rect, icon.Mask, TRect(0, 0, icon.Mask.Width(), icon.Mask.Height()), platform::kMergeCopy);
    canvas.StretchCopy(rect, color, TRect(0, 0, color.Width(), color.Height()), platform::kSrcPaint);
}

namespace {

// An opaque pixel of an icon faded to light grey: the shape stays, the colours go.
uint32_t Faded(uint32_t c) {
    uint32_t grey = (((c >> 16) & 0xFF) * 30 + ((c >> 8) & 0xFF) * 59 + (c & 0xFF) * 11) / 100;
    uint32_t light = 128 + grey / 2;
    return light << 16 | light << 8 | light;
}

} // namespace

void TIconList::DrawDimmed(int slot, platform::ICanvas& canvas, const TRect& rect) const {
    TRect cell = Cell(slot);
    if (slot < 0 || cell.Right > ColorStrip.Width() || cell.Right > MaskStrip.Width()) return;
    TPixmap faded(kCellSize, kCellSize);
    for (int y = 0; y < kCellSize; ++y)
        for (int x = 0; x < kCellSize; ++x)
            if (!MaskStrip.Pixel(cell.Left + x, y)) // transparent stays black
                faded.SetPixel(x, y, Faded(ColorStrip.Pixel(cell.Left + x, y)));
    canvas.StretchCopy(rect, MaskStrip.ToPixmap(cell), TRect(0, 0, kCellSize, kCellSize),
                       platform::kMergeCopy);
    canvas.StretchCopy(rect, faded, TRect(0, 0, kCellSize, kCellSize), platform::kSrcPaint);
}

void TIconList::DrawIconDimmed(const TIconImage& icon, platform::ICanvas& canvas, const TRect& rect) {
    TIconImage faded;
    faded.Mask = icon.Mask;
    faded.Color = icon.Color;
    for (int y = 0; y < faded.Color.Height() && y < icon.Mask.Height(); ++y)
        for (int x = 0; x < faded.Color.Width() && x < icon.Mask.Width(); ++x)
            if (!(icon.Mask.Pixel(x, y) & 0x00FFFFFF)) faded.Color.SetPixel(x, y, Faded(icon.Color.Pixel(x, y)));
    DrawIcon(faded, canvas, rect);
}

bool TIconList::LoadCache() {
    std::string folder = platform::System().ProgramFolder();
    TPixmap color;
    TMonoBitmap mask;
    bool loaded = false;
    try {
        loaded = bmpfile::DecodeColor(platform::ReadWholeFile(folder + kColorCacheName), color) &&
                 bmpfile::DecodeMono(platform::ReadWholeFile(folder + kMaskCacheName), mask);
    } catch (const Exception&) {
        loaded = false;
    }
    int width = SlotCount() * kCellSize;
    if (loaded && color.Width() == width && color.Height() == kCellSize && mask.Width() == width &&
        mask.Height() == kCellSize) {
        ColorStrip = std::move(color);
        MaskStrip = std::move(mask);
        return true;
    }
    ResetSlots();
    return false;
}

bool TIconList::SaveCache() {
    std::string folder = platform::System().ProgramFolder();
    FitStrips(); // the files must agree with the slot count stored in the data file
    try {
        bmpfile::EncodeColor(ColorStrip, cacheFile_);
        platform::ReplaceFileContents(folder + kColorCacheName, cacheFile_);
        bmpfile::EncodeMono(MaskStrip, cacheFile_);
        platform::ReplaceFileContents(folder + kMaskCacheName, cacheFile_);
        return true;
    } catch (const Exception&) {
        platform::RemoveFile(folder + kColorCacheName);
        platform::RemoveFile(folder + kMaskCacheName);
        return false;
    }
}

void TIconList::MarkUsed(int& imageIndex) {
    if (imageIndex < 0) return;
    // A slot another item claimed already (a damaged or hand-edited file) is not
    // shared: freeing it for one would let the next icon overwrite the other's.
    if (imageIndex < SlotCount() && !Used[(size_t)imageIndex])
        Used[(size_t)imageIndex] = true;
    else
        imageIndex = -2;
}

void TIconList::Shrink() {
    int highest = -1;
    for (int s = SlotCount() - 1; s >= 0; --s)
        if (Used[(size_t)s]) {
            highest = s;
            break;
        }
    int blocks = highest / kSlotBlock + 1;
    if (blocks >= SlotCount() / kSlotBlock) return;
    Used.resize((size_t)blocks * kSlotBlock);
    int width = blocks * kSlotBlock * kCellSize;
    ColorStrip.Resize(std::min(ColorStrip.Width(), width), kCellSize);
    MaskStrip.Resize(std::min(MaskStrip.Width(), width), kCellSize);
}
