#include "mainwindow/typefind.h"

#include "platform/text.h"

namespace {

// A character of code page 932 text from position i: its length (1 or 2) and a
// key that compares letters of either case alike.
unsigned FoldedAt(const std::string& s, size_t i, size_t& length) {
    unsigned char c = (unsigned char)s[i];
    if (platform::IsLeadByte(c) && i + 1 < s.size()) {
        length = 2;
        unsigned char t = (unsigned char)s[i + 1];
        // Full-width a-z (82 81..82 9A) are taken as full-width A-Z (82 60..82 79).
        if (c == 0x82 && t >= 0x81 && t <= 0x9A) t = (unsigned char)(t - 0x21);
        return (unsigned)c << 8 | t;
    }
    length = 1;
    if (c >= 'a' && c <= 'z') c = (unsigned char)(c - 32);
    return c;
}

// The text is one character typed again and again (at least twice).
bool OneLetterRepeated(const std::string& text, std::string& letter) {
    size_t n = 0;
    FoldedAt(text, 0, n);
    if (n >= text.size() || text.size() % n != 0) return false;
    for (size_t i = n; i < text.size(); i += n)
        if (text.compare(i, n, text, 0, n) != 0) return false;
    letter = text.substr(0, n);
    return true;
}

TFoundSlot Search(const TTitleSource& titles, int page, int slot, bool includeStart,
                  const std::string& text) {
    TFoundSlot found;
    if (titles.Pages <= 0 || text.empty()) return found;
    if (page < 0 || page >= titles.Pages) page = 0, slot = -1, includeStart = false;
    int first = includeStart ? slot : slot + 1;
    // Every page once from (page, first), then page itself again up to where it began.
    for (int step = 0; step <= titles.Pages; ++step) {
        int p = (page + step) % titles.Pages;
        int count = titles.SlotCount(p);
        int from = step == 0 ? first : 0;
        int to = step == titles.Pages ? first : count;
        for (int s = from < 0 ? 0 : from; s < to && s < count; ++s) {
            const std::string* title = titles.TitleAt(p, s);
            if (title && TitleStartsWith(*title, text)) {
                found.Page = p;
                found.Slot = s;
                return found;
            }
        }
    }
    return found;
}

} // namespace

const std::string& TTypedText::Add(const std::string& text, uint32_t now) {
    continued_ = !text_.empty() && now - last_ <= kPauseMs;
    if (!continued_) text_.clear();
    text_ += text;
    last_ = now;
    return text_;
}

bool TitleStartsWith(const std::string& title, const std::string& typed) {
    size_t i = 0, j = 0;
    while (j < typed.size()) {
        if (i >= title.size()) return false;
        size_t a = 0, b = 0;
        if (FoldedAt(title, i, a) != FoldedAt(typed, j, b)) return false;
        i += a;
        j += b;
    }
    return true;
}

TFoundSlot FindTyped(const TTitleSource& titles, int page, int slot, const std::string& text,
                     bool continued) {
    TFoundSlot found = Search(titles, page, slot, continued, text);
    std::string letter;
    if (found.Page < 0 && OneLetterRepeated(text, letter)) found = Search(titles, page, slot, false, letter);
    return found;
}
