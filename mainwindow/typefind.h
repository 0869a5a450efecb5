#pragma once
// Type to find: the letters typed within a second of each other form a search text,
// and the cursor goes to the next item whose title begins with it. Portable: the
// window hands over the typed text in code page 932 and the time it came.
#include <cstdint>
#include <functional>
#include <string>

// The letters typed so far.
class TTypedText {
public:
    // A pause longer than this starts a new search text.
    static const uint32_t kPauseMs = 1000;

    // Adds typed text (code page 932) that came at `now` (milliseconds of any clock
    // that only runs forward, wrapping allowed) and returns the search text.
    const std::string& Add(const std::string& text, uint32_t now);
    // The last Add lengthened an earlier text instead of starting a new one.
    bool Continued() const { return continued_; }
    const std::string& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    std::string text_;
    uint32_t last_ = 0;
    bool continued_ = false;
};

// True when title begins with typed; letters compare without regard to case (the
// Latin letters, half-width and full-width), a double-byte character as a whole.
bool TitleStartsWith(const std::string& title, const std::string& typed);

// The items to search: pages of slots, each slot with its title, or none when it is empty.
struct TTitleSource {
    int Pages = 0;
    std::function<int(int page)> SlotCount;
    std::function<const std::string*(int page, int slot)> TitleAt;
};

struct TFoundSlot {
    int Page = -1; // -1: nothing found
    int Slot = -1;
};

// Where typing goes from the item at (page, slot) (slot -1: before the page's first):
// the next item whose title begins with the text, on the rest of the page, then on
// the following pages, round to the pages before and the start of this one. A
// continued text may stay on the item at (page, slot) itself. A text of one letter
// typed again and again that no title begins with goes to the next title that begins
// with that letter.
TFoundSlot FindTyped(const TTitleSource& titles, int page, int slot, const std::string& text, bool continued);
