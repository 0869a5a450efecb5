#include "model/page.h"

#include <algorithm>

TLPage::TLPage(int width, int height)
    : Name("無題"), width_(std::max(width, 0)), height_(std::max(height, 0)) {
    Items.reserve((size_t)width_ * (size_t)height_);
    for (int i = 0; i < width_ * height_; ++i)
        Items.push_back(std::make_unique<TItem>(true));
}

TLPage::~TLPage() = default;

int TLPage::CountUsed() const {
    return (int)std::count_if(Items.begin(), Items.end(),
                              [](const std::unique_ptr<TItem>& i) { return !i->Path.empty(); });
}

void TLPage::Resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<std::unique_ptr<TItem>> next((size_t)width * (size_t)height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto& slot = next[(size_t)y * width + x];
            if (x < width_ && y < height_)
                slot = std::move(Items[(size_t)y * width_ + x]);
            else
                slot = std::make_unique<TItem>(true);
        }

    std::vector<std::unique_ptr<TItem>> displaced;
    for (int y = 0; y < std::min(height_, height); ++y)
        for (int x = width; x < width_; ++x)
            displaced.push_back(std::move(Items[(size_t)y * width_ + x]));
    for (int y = height; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            displaced.push_back(std::move(Items[(size_t)y * width_ + x]));

    size_t cursor = 0;
    for (auto& item : displaced) {
        if (item->Path.empty()) continue; // destroyed with the list below
        while (cursor < next.size() && !next[cursor]->Path.empty())
            ++cursor;
        // The precondition guarantees an empty slot; should it be broken, the
        // item is kept at the end rather than lost.
        if (cursor < next.size())
            next[cursor++] = std::move(item);
        else
            next.push_back(std::move(item));
    }

    Items = std::move(next);
    width_ = width;
    height_ = height;
}

void TLPage::ReadMembers() {
    Read(0, Name);
    for (auto& item : Items)
        ReadObject(1, *item);
}

void TLPage::WriteMembers() {
    Write(0, Name);
    for (auto& item : Items)
        WriteObject(1, *item);
}
