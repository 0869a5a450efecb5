#include "model/iconfetch.h"

#include <algorithm>
#include <utility>

#include "model/iconlist.h"
#include "model/item.h"
#include "platform/system.h"
#include "platform/text.h"

TIconAnswer FetchIcon(const TIconRequest& request) {
    TIconAnswer answer;
    answer.Ticket = request.Ticket;
    const std::string& file = request.File;
    if (file.empty()) return answer;
    if (platform::Widen(file).size() > platform::kMaxIconPath) return answer;
    if (file.size() >= 4 && platform::System().GetPathKind(file) == platform::TPathKind::Missing) {
        answer.Reached = false;
        return answer;
    }
    answer.Got = request.Indexed ? platform::System().ExtractIndexedIcon(file, request.Index, answer.Icon)
                                 : platform::System().ExtractAssociatedIcon(file, answer.Icon, nullptr);
    return answer;
}

namespace {

// A request whose answer needs no disk: no file, or a name the shell is never given.
bool AnswerableAtOnce(const TIconRequest& request) {
    return request.File.empty() || platform::Widen(request.File).size() > platform::kMaxIconPath;
}

} // namespace

TIconFetcher::TIconFetcher(TIconList& icons) : icons_(icons) {}

void TIconFetcher::SetRunner(IIconRunner* runner) {
    // Nothing waits without a runner. Taking one away drops what it had: the items
    // asked for keep their awaited slots, which are stored as not yet evaluated.
    for (auto& entry : pending_)
        if (entry.second.Item) entry.second.Item->IconTicket = 0;
    pending_.clear();
    waiting_.clear();
    preferred_.clear();
    running_ = 0;
    runner_ = runner;
}

bool TIconFetcher::Ask(TItem& item, bool keepLastGood) {
    Forget(item);
    TIconRequest request;
    request.Indexed = !item.Icon.empty();
    request.File = request.Indexed ? item.Icon : item.Path;
    request.Index = item.IconN;
    // Only a slot that holds this item's icon from before can be kept for it.
    bool hadIcon = item.ImageIndex >= 0 && item.ImageIndex < icons_.SlotCount() && !item.IconAwaited;
    if (!runner_ || AnswerableAtOnce(request)) {
        Apply(item, FetchIcon(request), keepLastGood && hadIcon);
        return true;
    }
    if (!hadIcon) {
        icons_.Reserve(item.ImageIndex);
        icons_.ClearCell(item.ImageIndex);
        item.IconAwaited = true;
    }
    request.Ticket = nextTicket_++;
    if (nextTicket_ == 0) nextTicket_ = 1; // 0 means none
    item.IconTicket = request.Ticket;
    item.IconDimmed = false;
    TPending p;
    p.Item = &item;
    p.Request = std::move(request);
    p.KeepLastGood = keepLastGood && hadIcon;
    waiting_.push_back(item.IconTicket);
    pending_.emplace(item.IconTicket, std::move(p));
    Feed();
    return false;
}

void TIconFetcher::Forget(TItem& item) {
    if (item.IconTicket == 0) return;
    auto it = pending_.find(item.IconTicket);
    if (it != pending_.end()) {
        // A request a worker has is still counted until its answer is dropped.
        if (!it->second.Sent) pending_.erase(it);
        else it->second.Item = nullptr;
    }
    item.IconTicket = 0;
}

void TIconFetcher::Prefer(const std::vector<TItem*>& items) {
    preferred_.clear();
    for (TItem* item : items)
        if (item && item->IconTicket) preferred_.push_back(item->IconTicket);
    Feed();
}

void TIconFetcher::Feed() {
    if (!runner_) return;
    int capacity = runner_->Capacity();
    while (running_ < capacity) {
        std::deque<uint32_t>& from = !preferred_.empty() ? preferred_ : waiting_;
        if (from.empty()) return;
        uint32_t ticket = from.front();
        from.pop_front();
        auto it = pending_.find(ticket);
        // Forgotten, answered, or handed out already from the other queue.
        if (it == pending_.end() || it->second.Sent || !it->second.Item) continue;
        it->second.Sent = true;
        ++running_;
        runner_->Run(it->second.Request);
    }
}

std::vector<TItem*> TIconFetcher::Deliver() {
    std::vector<TItem*> changed;
    if (!runner_) return changed;
    for (TIconAnswer& answer : runner_->TakeAnswers()) {
        auto it = pending_.find(answer.Ticket);
        if (it == pending_.end()) continue;
        if (running_ > 0) --running_;
        TPending p = std::move(it->second);
        pending_.erase(it);
        if (!p.Item) continue; // the item went away or asked again meanwhile
        p.Item->IconTicket = 0;
        Apply(*p.Item, answer, p.KeepLastGood);
        changed.push_back(p.Item);
    }
    Feed();
    return changed;
}

void TIconFetcher::Apply(TItem& item, const TIconAnswer& answer, bool keepLastGood) {
    item.IconAwaited = false;
    if (answer.Got) {
        icons_.SetIcon(item.ImageIndex, &answer.Icon);
        item.IconDimmed = false;
    } else if (!answer.Reached && keepLastGood) {
        item.IconDimmed = true;
    } else {
        icons_.SetIcon(item.ImageIndex, nullptr);
        item.IconDimmed = false;
    }
    item.UpdateImage();
}
