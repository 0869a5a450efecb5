#include "model/iconfetch.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "model/iconlist.h"
#include "model/item.h"
#include "platform/system.h"

TIconAnswer FetchIcon(const TIconRequest& request) {
    TIconAnswer answer;
    answer.Ticket = request.Ticket;
    const std::string& file = request.File;
    if (file.empty()) return answer;
    if (TooLongForShell(file)) return answer;
    if (file.size() >= 4 && platform::System().GetPathKind(file) == platform::TPathKind::Missing) {
        answer.Reached = false;
        return answer;
    }
    if (request.Size > 0)
        answer.Got = platform::System().ExtractIconAtSize(file, request.Indexed, request.Index, request.Size,
                                                          answer.Icon);
    else
        answer.Got = request.Indexed ? platform::System().ExtractIndexedIcon(file, request.Index, answer.Icon)
                                     : platform::System().ExtractAssociatedIcon(file, answer.Icon, nullptr);
    return answer;
}

namespace {

// A request whose answer needs no disk: no file, or a name the shell is never given.
bool AnswerableAtOnce(const TIconRequest& request) {
    return request.File.empty() || TooLongForShell(request.File);
}

// The request of the item's icon as it reads now.
TIconRequest RequestOf(const TItem& item) {
    TIconRequest request;
    request.Indexed = !item.Icon.empty();
    request.File = request.Indexed ? item.Icon : item.Path;
    request.Index = item.IconN;
    return request;
}

// What a large icon was read from: the same request gives the same picture.
std::string SourceOf(const TIconRequest& request) {
    return (request.Indexed ? "i" : "a") + std::to_string(request.Index) + ":" + request.File;
}

} // namespace

TIconFetcher::TIconFetcher(TIconList& icons) : icons_(icons) {}

uint32_t TIconFetcher::NewTicket() {
    uint32_t ticket = nextTicket_++;
    if (nextTicket_ == 0) nextTicket_ = 1; // 0 means none
    return ticket;
}

void TIconFetcher::SetRunner(IIconRunner* runner) {
    // Nothing waits without a runner. Taking one away drops what it had: the items
    // asked for keep what they showed, and an item still without a slot is stored
    // as not yet evaluated.
    for (auto& entry : pending_)
        if (entry.second.Item) entry.second.Item->IconTicket = 0;
    for (auto& entry : large_)
        if (entry.second.Item) entry.second.Item->Large.Ticket = 0;
    pending_.clear();
    large_.clear();
    largeWaiting_.clear();
    prefetched_.clear();
    prefetchTickets_.clear();
    prefetchWaiting_.clear();
    order_.clear();
    waiting_.clear();
    preferred_.clear();
    running_ = 0;
    runner_ = runner;
}

bool TIconFetcher::Ask(TItem& item, bool keepLastGood) {
    ForgetIcon(item); // the large icon stays until the new one is read
    TIconRequest request = RequestOf(item);
    bool atOnce = !runner_ || AnswerableAtOnce(request);
    if (atOnce && order_.empty()) {
        Apply(item, FetchIcon(request), keepLastGood);
        return true;
    }
    request.Ticket = NewTicket();
    item.IconTicket = request.Ticket;
    if (item.ImageIndex < 0 || item.ImageIndex >= icons_.SlotCount()) item.IconAwaited = true;
    TPending p;
    p.Item = &item;
    p.KeepLastGood = keepLastGood;
    p.Request = request;
    // A read again (F5, a start of the item) asks the target now, never earlier.
    if (!keepLastGood && !atOnce && TakePrefetched(SourceOf(request), p)) {
        if (p.Answered && order_.empty()) {
            item.IconTicket = 0;
            Apply(item, p.Answer, keepLastGood);
            return true;
        }
        order_.push_back(item.IconTicket);
        pending_.emplace(item.IconTicket, std::move(p));
        Feed();
        return false;
    }
    if (atOnce) {
        // Its turn comes after the answers asked before it.
        p.Answered = true;
        p.Answer = FetchIcon(request);
    } else {
        waiting_.push_back(request.Ticket);
    }
    p.Request = std::move(request);
    order_.push_back(item.IconTicket);
    pending_.emplace(item.IconTicket, std::move(p));
    Feed();
    return false;
}

void TIconFetcher::Forget(TItem& item) {
    DropLarge(item);
    ForgetIcon(item);
}

void TIconFetcher::ForgetIcon(TItem& item) {
    if (item.IconTicket == 0) return;
    auto it = pending_.find(item.IconTicket);
    if (it != pending_.end()) it->second.Item = nullptr; // its place in the order is passed over
    item.IconTicket = 0;
}

void TIconFetcher::DropLarge(TItem& item) {
    CancelLarge(item);
    item.Large = TItem::TLargeIcon();
}

void TIconFetcher::CancelLarge(TItem& item) {
    if (item.Large.Ticket == 0) return;
    auto it = large_.find(item.Large.Ticket);
    if (it != large_.end()) {
        // One a worker has is dropped when its answer comes; the others go now.
        if (it->second.Sent)
            it->second.Item = nullptr;
        else
            large_.erase(it);
    }
    item.Large.Ticket = 0;
}

void TIconFetcher::SetLargeSize(int size) {
    largeSize_ = size > TIconList::kCellSize ? size : 0;
}

void TIconFetcher::AskLarge(const std::vector<TItem*>& items) {
    if (!largeSize_) return;
    for (TItem* item : items) {
        if (!item) continue;
        item->Large.Wanted = true;
        // One whose icon is still to come is asked for when it has come.
        if (item->IconTicket || item->Large.Ticket) continue;
        if (item->Large.Image && item->Large.Image->Color.Width() == largeSize_) continue;
        RequestLarge(*item);
    }
    Feed();
}

void TIconFetcher::RequestLarge(TItem& item) {
    CancelLarge(item);
    // Only an item with an icon in the list has a larger one to show.
    if (item.Path.empty() || item.ImageIndex < 0 || item.ImageIndex >= icons_.SlotCount()) {
        item.Large.Image.reset();
        return;
    }
    TIconRequest request = RequestOf(item);
    request.Size = largeSize_;
    // A picture of another file or number is not shown while the new one comes.
    if (SourceOf(request) != item.Large.From) item.Large.Image.reset();
    if (!runner_ || AnswerableAtOnce(request)) {
        TIconAnswer answer = FetchIcon(request);
        ApplyLarge(item, request, answer);
        return;
    }
    request.Ticket = NewTicket();
    item.Large.Ticket = request.Ticket;
    TLargePending p;
    p.Item = &item;
    p.Request = std::move(request);
    largeWaiting_.push_back(item.Large.Ticket);
    large_.emplace(item.Large.Ticket, std::move(p));
}

void TIconFetcher::ApplyLarge(TItem& item, const TIconRequest& request, TIconAnswer& answer) {
    if (answer.Got && answer.Icon.Color.Width() == largeSize_) {
        item.Large.Image = std::make_unique<platform::TIconImage>(std::move(answer.Icon));
        item.Large.From = SourceOf(request);
    } else if (answer.Reached || answer.Got) {
        item.Large.Image.reset(); // the file has no such icon: the list's icon is shown
        item.Large.From.clear();
    } // a target out of reach keeps the picture it had, as the list's icon does
}

void TIconFetcher::Prefetch(const std::vector<TItem*>& items) {
    if (!runner_) return;
    for (TItem* item : items) {
        if (!item || item->Path.empty() || item->ImageIndex != -2 || item->IconTicket) continue;
        TIconRequest request = RequestOf(*item);
        if (AnswerableAtOnce(request)) continue;
        std::string source = SourceOf(request);
        if (prefetched_.count(source)) continue;
        TPrefetch p;
        p.Request = std::move(request);
        prefetched_.emplace(source, std::move(p));
        prefetchWaiting_.push_back(source);
    }
    Feed();
}

void TIconFetcher::ClearPrefetched() {
    // Those an ask waits for stay; one with a worker is dropped when it comes.
    for (auto it = prefetched_.begin(); it != prefetched_.end();)
        it = it->second.For ? std::next(it) : prefetched_.erase(it);
    prefetchWaiting_.clear();
}

bool TIconFetcher::TakePrefetched(const std::string& source, TPending& pending) {
    auto it = prefetched_.find(source);
    if (it == prefetched_.end() || it->second.For) return false;
    TPrefetch& f = it->second;
    if (f.Answered) {
        pending.Answered = true;
        pending.Answer = std::move(f.Answer);
        pending.Answer.Ticket = pending.Request.Ticket;
        prefetched_.erase(it);
        return true;
    }
    if (f.Sent) { // on its way: the ask waits for it instead of asking again
        pending.Sent = true;
        f.For = pending.Request.Ticket;
        return true;
    }
    prefetched_.erase(it); // not handed out yet: the ask goes the usual way
    return false;
}

void TIconFetcher::PrefetchArrived(TIconAnswer& answer, std::vector<TItem*>& changed) {
    auto t = prefetchTickets_.find(answer.Ticket);
    std::string source = std::move(t->second);
    prefetchTickets_.erase(t);
    if (running_ > 0) --running_;
    auto it = prefetched_.find(source);
    if (it == prefetched_.end()) return;
    TPrefetch& f = it->second;
    if (f.For) {
        uint32_t ticket = f.For;
        prefetched_.erase(it);
        answer.Ticket = ticket;
        AnswerPending(answer, changed);
        return;
    }
    f.Answered = true;
    f.Answer = std::move(answer);
}

void TIconFetcher::Prefer(const std::vector<TItem*>& items) {
    for (uint32_t ticket : preferred_) {
        auto it = pending_.find(ticket);
        if (it != pending_.end()) it->second.Shown = false;
    }
    preferred_.clear();
    for (TItem* item : items) {
        if (!item || !item->IconTicket) continue;
        auto it = pending_.find(item->IconTicket);
        if (it == pending_.end()) continue;
        it->second.Shown = true;
        preferred_.push_back(item->IconTicket);
    }
    Feed();
}

void TIconFetcher::Feed() {
    if (!runner_) return;
    int capacity = runner_->Capacity();
    while (running_ < capacity) {
        if (preferred_.empty() && !largeWaiting_.empty()) {
            uint32_t ticket = largeWaiting_.front();
            largeWaiting_.pop_front();
            auto it = large_.find(ticket);
            if (it == large_.end() || it->second.Sent) continue;
            it->second.Sent = true;
            ++running_;
            runner_->Run(it->second.Request);
            continue;
        }
        std::deque<uint32_t>& from = !preferred_.empty() ? preferred_ : waiting_;
        if (from.empty() && !prefetchWaiting_.empty()) {
            std::string source = std::move(prefetchWaiting_.front());
            prefetchWaiting_.pop_front();
            auto it = prefetched_.find(source);
            if (it == prefetched_.end() || it->second.Sent) continue;
            it->second.Sent = true;
            it->second.Request.Ticket = NewTicket();
            prefetchTickets_.emplace(it->second.Request.Ticket, source);
            ++running_;
            runner_->Run(it->second.Request);
            continue;
        }
        if (from.empty()) return;
        uint32_t ticket = from.front();
        from.pop_front();
        auto it = pending_.find(ticket);
        // Forgotten, answered, or handed out already from the other queue.
        if (it == pending_.end() || it->second.Sent || it->second.Answered || !it->second.Item) continue;
        it->second.Sent = true;
        ++running_;
        runner_->Run(it->second.Request);
    }
}

std::vector<TItem*> TIconFetcher::Deliver() {
    std::vector<TItem*> changed;
    if (!runner_) return changed;
    for (TIconAnswer& answer : runner_->TakeAnswers()) {
        if (prefetchTickets_.count(answer.Ticket)) {
            PrefetchArrived(answer, changed);
            continue;
        }
        auto large = large_.find(answer.Ticket);
        if (large != large_.end()) {
            if (running_ > 0) --running_;
            TLargePending p = std::move(large->second);
            large_.erase(large);
            if (!p.Item) continue;
            p.Item->Large.Ticket = 0;
            ApplyLarge(*p.Item, p.Request, answer);
            p.Item->UpdateImage();
            changed.push_back(p.Item);
            continue;
        }
        if (AnswerPending(answer, changed) && running_ > 0) --running_;
    }
    Commit(&changed);
    Feed();
    // One item may be both previewed and put in: it is named once.
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

bool TIconFetcher::AnswerPending(TIconAnswer& answer, std::vector<TItem*>& changed) {
    auto it = pending_.find(answer.Ticket);
    if (it == pending_.end() || it->second.Answered) return false;
    TPending& p = it->second;
    p.Answered = true;
    p.Answer = std::move(answer);
    // Only a face in view is painted early; the others are painted once, in turn.
    if (p.Item && p.Shown && order_.front() != it->first) {
        Preview(*p.Item, p);
        changed.push_back(p.Item);
    }
    return true;
}

void TIconFetcher::Commit(std::vector<TItem*>* changed) {
    while (!order_.empty()) {
        auto it = pending_.find(order_.front());
        if (it != pending_.end() && it->second.Item && !it->second.Answered) return;
        order_.pop_front();
        if (it == pending_.end()) continue;
        TPending p = std::move(it->second);
        pending_.erase(it);
        if (!p.Item) continue; // forgotten: as if never asked
        p.Item->IconTicket = 0;
        Apply(*p.Item, p.Answer, p.KeepLastGood);
        if (changed) changed->push_back(p.Item);
    }
}

void TIconFetcher::Preview(TItem& item, const TPending& pending) {
    const TIconAnswer& a = pending.Answer;
    bool hadIcon = item.ImageIndex >= 0 && item.ImageIndex < icons_.SlotCount() && !item.IconAwaited;
    if (a.Got)
        item.PreviewIcon = std::make_unique<platform::TIconImage>(a.Icon);
    else
        item.PreviewIcon.reset();
    item.IconDimmed = !a.Got && !a.Reached && pending.KeepLastGood && hadIcon;
    item.UpdateImage();
}

void TIconFetcher::Apply(TItem& item, const TIconAnswer& answer, bool keepLastGood) {
    // Only a slot that holds this item's icon from before can be kept for it.
    bool hadIcon = item.ImageIndex >= 0 && item.ImageIndex < icons_.SlotCount() && !item.IconAwaited;
    item.IconAwaited = false;
    item.PreviewIcon.reset();
    if (answer.Got) {
        icons_.SetIcon(item.ImageIndex, &answer.Icon);
        item.IconDimmed = false;
    } else if (!answer.Reached && keepLastGood && hadIcon) {
        item.IconDimmed = true;
    } else {
        icons_.SetIcon(item.ImageIndex, nullptr);
        item.IconDimmed = false;
    }
    // The large icon follows the list's: read again with it, kept with a last good one.
    if (item.Large.Wanted && largeSize_ && !item.IconDimmed) RequestLarge(item);
    item.UpdateImage();
}
