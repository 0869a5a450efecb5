#include "model/page.h"

#include <algorithm>

#include "model/document.h"
#include "model/host.h"
#include "model/iconlist.h"

namespace {

// The fields of a page body.
const YBFS::TId kNameId = 0, kItemId = 1;
const YBFS::TId kTextIds[1] = {kNameId};

} // namespace

const uint8_t* CheckPageBody(const uint8_t* p, const uint8_t* end, int depth, TStoredPageCheck& check) {
    using namespace YBFS;
    if (depth > kMaxNesting) throw EReadError(kNestingError);
    check = TStoredPageCheck();
    check.Body = p;
    bool nameSeen = false;
    for (;;) {
        if (end - p < 2) throw EReadError(kIdReadError);
        TId id = StoredWord(p);
        p += 2;
        if (id == kEndMarker) return p;
        if (end - p < 2) throw EReadError(kSizeReadError);
        uint16_t size = StoredWord(p);
        p += 2;
        bool object = size == kObjectSize;
        bool name = id == kNameId && !nameSeen;
        if (name) nameSeen = true;
        if (object) {
            if (name) check.NameIsObject = true;
            if (id == kItemId) {
                int slot;
                bool readable;
                p = TItem::CheckStored(p, end, depth + 1, slot, readable);
                if (!readable && check.FirstUnreadable == SIZE_MAX)
                    check.FirstUnreadable = check.Images.size();
                check.Images.push_back(slot);
            } else {
                const uint8_t* body = p;
                p = SkipBody(p, end, depth + 1);
                if (id == TExactTexts::kFieldId && !check.ExactBody) {
                    check.ExactBody = body;
                    check.ExactEnd = p;
                }
            }
            continue;
        }
        if (end - p < size) throw EReadError(kDataReadError);
        if (name) {
            check.Name = StoredText(p, size);
            check.Named = true;
        } else if (id == kItemId) { // an item that is a value cannot be read
            if (check.FirstUnreadable == SIZE_MAX) check.FirstUnreadable = check.Images.size();
            check.Images.push_back(-2);
        }
        p += size;
    }
}

const uint8_t* TPageBodyChecks::Check(YBFS::TId id, const uint8_t* body, const uint8_t* end, int depth) {
    if (id != pageId_) return YBFS::SkipBody(body, end, depth);
    checks_.emplace_back();
    return CheckPageBody(body, end, depth, checks_.back());
}

const TStoredPageCheck* TPageBodyChecks::Find(const uint8_t* body) {
    for (size_t i = next_; i < checks_.size(); ++i)
        if (checks_[i].Body == body) {
            next_ = i + 1;
            return &checks_[i];
        }
    return nullptr;
}

void TPageBodyChecks::Clear() {
    checks_.clear();
    checks_.shrink_to_fit();
    next_ = 0;
}

TLPage::TLPage(int width, int height)
    : Name("無題"), width_(std::max(width, 0)), height_(std::max(height, 0)) {}

TLPage::~TLPage() {
    if (loaded_) return; // the items give their slots back themselves
    TDocument* doc = DocumentOrNull();
    if (!doc || !doc->IconList) return;
    for (int slot : storedImages_)
        if (slot >= 0) doc->IconList->ReleaseSlot(slot);
}

void TLPage::AdoptStored(std::unique_ptr<YBFS::TYBObjectData> body, const TStoredPageCheck* check) {
    if (!body->IsStored()) { // parsed already: read it now, as any object is read
        Build();
        ReadRoot(std::move(body));
        return;
    }
    TStoredPageCheck own;
    if (!check || check->Body != body->StoredBegin()) {
        CheckPageBody(body->StoredBegin(), body->StoredEnd(), 1, own);
        check = &own;
    }
    // ReadMembers reads the name and the first SlotCount() item fields; those
    // after them stay unknown to the page.
    size_t slots = (size_t)width_ * (size_t)height_;
    if (check->NameIsObject || check->FirstUnreadable < slots) throw YBFS::EReadTypeError();
    // Only the slots the body holds an item for: the others are empty and have no
    // icon slot, and a short body must not cost a whole grid.
    std::vector<int> images(check->Images.begin(),
                            check->Images.begin() + std::min(slots, check->Images.size()));
    if (check->Named) Name = check->Name;
    exact_.reset();
    if (check->ExactBody) {
        // The name is shown before the items are built: its exact form is taken now.
        TExactTexts exact(kTextIds, 1);
        try {
            exact.ReadFrom(check->ExactBody, (size_t)(check->ExactEnd - check->ExactBody));
            exact.Apply(kNameId, Name);
        } catch (const YBFS::EReadError&) {
        }
    }
    items_.clear();
    loaded_ = false;
    stored_ = std::move(body);
    storedImages_ = std::move(images);
}

void TLPage::Build() {
    if (loaded_) return;
    items_.reserve((size_t)width_ * (size_t)height_);
    for (int i = 0; i < width_ * height_; ++i)
        items_.push_back(std::make_unique<TItem>(true));
    loaded_ = true;
    if (!stored_) return;
    // A copy shares the bytes; the page keeps its body until the read has worked.
    std::unique_ptr<YBFS::TYBData> body = stored_->Clone();
    building_ = true;
    try {
        ReadRoot(std::unique_ptr<YBFS::TYBObjectData>(static_cast<YBFS::TYBObjectData*>(body.release())));
    } catch (...) {
        building_ = false;
        items_.clear();
        loaded_ = false;
        throw;
    }
    building_ = false;
    for (size_t i = 0; i < items_.size() && i < storedImages_.size(); ++i)
        items_[i]->ImageIndex = storedImages_[i];
    stored_.reset();
    storedImages_ = std::vector<int>();
}

std::vector<std::unique_ptr<TItem>>& TLPage::Items() {
    Build();
    return items_;
}

int TLPage::CountUsed() {
    Build();
    return (int)std::count_if(items_.begin(), items_.end(),
                              [](const std::unique_ptr<TItem>& i) { return !i->Path.empty(); });
}

void TLPage::MarkIconsUsed(TIconList& icons) {
    if (loaded_)
        for (auto& item : items_)
            icons.MarkUsed(item->ImageIndex);
    else
        for (int& slot : storedImages_)
            icons.MarkUsed(slot);
}

void TLPage::ForgetIcons() {
    if (loaded_)
        for (auto& item : items_)
            item->ImageIndex = -2;
    else
        std::fill(storedImages_.begin(), storedImages_.end(), -2);
}

void TLPage::Resize(int width, int height) {
    Build();
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<std::unique_ptr<TItem>> next((size_t)width * (size_t)height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto& slot = next[(size_t)y * width + x];
            if (x < width_ && y < height_)
                slot = std::move(items_[(size_t)y * width_ + x]);
            else
                slot = std::make_unique<TItem>(true);
        }

    std::vector<std::unique_ptr<TItem>> displaced;
    for (int y = 0; y < std::min(height_, height); ++y)
        for (int x = width; x < width_; ++x)
            displaced.push_back(std::move(items_[(size_t)y * width_ + x]));
    for (int y = height; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            displaced.push_back(std::move(items_[(size_t)y * width_ + x]));

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

    items_ = std::move(next);
    width_ = width;
    height_ = height;
}

void TLPage::ReadMembers() {
    std::string stored;
    // While building, the name was taken when the body was adopted.
    std::string& name = building_ ? stored : Name;
    Read(kNameId, name);
    for (auto& item : items_)
        ReadObject(kItemId, *item);
    TExactTexts exact(kTextIds, 1);
    exact.ReadField(*this);
    exact.Apply(kNameId, name);
    exact_.reset(exact.Empty() ? nullptr : new TExactTexts(std::move(exact)));
}

void TLPage::WriteMembers() {
    TExactTexts fresh(kTextIds, 1);
    TExactTexts& exact = exact_ ? *exact_ : fresh;
    exact.BeginWrite();
    Write(kNameId, exact.Note(kNameId, Name));
    for (auto& item : Items())
        WriteObject(kItemId, *item);
    exact.WriteField(*this);
}
