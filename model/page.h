#pragma once
// One page: a name and a grid of item slots in row-major order. All pages have
// the document's grid size; only Resize changes the number of slots.
//
// The items of a page are made the first time anything asks for them. A page read
// from the data file keeps its body as the file's bytes until then, already
// checked as a read of it would check it: loading a large document costs one pass
// over its bytes, and only the pages the user looks at are ever built.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/item.h"
#include "ybfs/ybfs2.h"

class TIconList;

// What a check of a page body in a file's bytes found, kept for the page that
// adopts the body.
struct TStoredPageCheck {
    const uint8_t* Body = nullptr;
    bool Named = false;        // the first name field is a value
    bool NameIsObject = false; // the first name field is an object: it cannot be read
    std::string Name;
    // The first exact-texts field (see TExactTexts), or null.
    const uint8_t* ExactBody = nullptr;
    const uint8_t* ExactEnd = nullptr;
    std::vector<int> Images;           // each item field's icon slot, in order
    size_t FirstUnreadable = SIZE_MAX; // the first item field that cannot be read
};

// Checks a page body in a file's bytes (nested at depth, within end) as a parse
// and the page's reading would: throws the structure errors a parse throws, keeps
// the rest in check. Returns the byte after the body's end marker.
const uint8_t* CheckPageBody(const uint8_t* body, const uint8_t* end, int depth, TStoredPageCheck& check);

// Checks the page bodies (the fields with pageId) of a file while it is parsed,
// in the same walk over the bytes as the parse, and keeps what it found until
// the bodies are given to their pages. Other bodies get the plain structure check.
class TPageBodyChecks : public YBFS::TNestedBodyCheck {
public:
    explicit TPageBodyChecks(YBFS::TId pageId) : pageId_(pageId) {}
    const uint8_t* Check(YBFS::TId id, const uint8_t* body, const uint8_t* end, int depth) override;
    // The check of this body; null when it was not checked here.
    const TStoredPageCheck* Find(const uint8_t* body);
    void Clear();

private:
    YBFS::TId pageId_;
    std::vector<TStoredPageCheck> checks_;
    size_t next_ = 0; // bodies are asked for in file order
};

class TLPage : public YBFS::TYBObject {
public:
    // A page named "無題" with width x height empty items.
    TLPage(int width, int height);
    // Gives the icon slots of items never built back to the document's icon list.
    ~TLPage() override;
    TLPage(const TLPage&) = delete;
    TLPage& operator=(const TLPage&) = delete;

    void Reset(bool) override {}
    void ReadMembers() override;
    void WriteMembers() override;

    // Takes the page's body as read from the data file (a page object of this
    // page's width and height) with what a check of it found (null: it is checked
    // now), and the name from it; the items are read from it when they are first
    // asked for. Throws the read error ReadMembers would throw, leaving the page
    // as it was. A body parsed already is read at once.
    void AdoptStored(std::unique_ptr<YBFS::TYBObjectData> body, const TStoredPageCheck* check);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int SlotCount() const { return loaded_ ? (int)items_.size() : width_ * height_; }
    TItem& Item(int slot) { return *Items()[(size_t)slot]; }
    // The slots, built on first use.
    std::vector<std::unique_ptr<TItem>>& Items();

    // Number of slots whose item is not empty.
    int CountUsed();
    // Re-lays the slots for a new grid: items keep their row and column where they
    // still fit; the ones cut off (right-hand overflow of the kept rows first, then
    // the removed bottom rows) move into the empty slots in row-major order, each
    // after the one placed before it. Precondition: CountUsed() <= width x height.
    void Resize(int width, int height);

    // Marks the icon slots of the page's items as used in icons (an item whose
    // slot is beyond the list forgets it), without building the items.
    void MarkIconsUsed(TIconList& icons);
    // Every item forgets its icon slot.
    void ForgetIcons();

    std::string Name;

private:
    void Build();

    int width_;
    int height_;
    std::vector<std::unique_ptr<TItem>> items_;
    bool loaded_ = false;
    // Until the items are built: the checked body, and the icon slot of each slot
    // the body holds an item for, as the items will have it (read from the body,
    // then kept up to date); the slots after those are empty.
    std::unique_ptr<YBFS::TYBObjectData> stored_;
    std::vector<int> storedImages_;
    // Set while the items are read from stored_: the name is the page's own by then.
    bool building_ = false;
    // The exact-texts field as last read, when it holds something.
    std::unique_ptr<TExactTexts> exact_;
};
