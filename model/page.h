#pragma once
// One page: a name and a grid of item slots in row-major order. All pages have
// the document's grid size; only Resize changes the number of slots.
#include <memory>
#include <string>
#include <vector>

#include "model/item.h"
#include "ybfs/ybfs2.h"

class TLPage : public YBFS::TYBObject {
public:
    // A page named "無題" with width x height empty items.
    TLPage(int width, int height);
    ~TLPage() override;
    TLPage(const TLPage&) = delete;
    TLPage& operator=(const TLPage&) = delete;

    void Reset(bool) override {}
    void ReadMembers() override;
    void WriteMembers() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int SlotCount() const { return (int)Items.size(); }
    TItem& Item(int slot) { return *Items[(size_t)slot]; }

    // Number of slots whose item is not empty.
    int CountUsed() const;
    // Re-lays the slots for a new grid: items keep their row and column where they
    // still fit; the ones cut off (right-hand overflow of the kept rows first, then
    // the removed bottom rows) move into the empty slots in row-major order, each
    // after the one placed before it. Precondition: CountUsed() <= width x height.
    void Resize(int width, int height);

    std::string Name;
    std::vector<std::unique_ptr<TItem>> Items;

private:
    int width_;
    int height_;
};
