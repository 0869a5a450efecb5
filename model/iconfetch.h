#pragma once
// Item icons fetched without holding up the window. The window's thread hands each
// request, by value, to a runner; the answer comes back with the pixels and is put
// into the icon list on the window's thread again. Nothing of the model is touched
// anywhere else.
//
// Answers may come in any order, but they go into the list in the order they were
// asked for, so that every item gets the slot it gets when each icon is fetched in
// line: the data file and the caches do not depend on which target answered first.
// An answer that waits for an earlier one shows on its face at once all the same.
//
// Without a runner every request is answered at once on the calling thread,
// which is how the tests of the model and a program without workers behave.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/system.h"

class TIconList;
class TItem;

// What a worker needs to fetch one icon: the file and, for an indexed icon, the
// icon's number in it. Size 0 is the 32 x 32 icon of the list; a larger size is an
// icon for the faces of a scaled display only.
struct TIconRequest {
    uint32_t Ticket = 0;
    bool Indexed = false;
    std::string File;
    int Index = 0;
    int Size = 0;
};

struct TIconAnswer {
    uint32_t Ticket = 0;
    bool Got = false;     // Icon holds the pixels
    bool Reached = true;  // false: the file was not there (missing, drive or share gone)
    platform::TIconImage Icon;
};

// Fetches the icon a request names, as the list does: an empty file has none; a
// file of up to 3 characters (a drive) goes to the shell without an existence test;
// any other must exist. Safe on any thread as far as the platform's calls are.
TIconAnswer FetchIcon(const TIconRequest& request);

// Runs requests somewhere else and gives their answers back on the window's thread.
class IIconRunner {
public:
    virtual ~IIconRunner() = default;
    // How many requests it takes at a time; more wait with the fetcher, where the
    // order can still change.
    virtual int Capacity() const = 0;
    virtual void Run(TIconRequest request) = 0;
    // The answers that have arrived since the last call.
    virtual std::vector<TIconAnswer> TakeAnswers() = 0;
};

class TIconFetcher {
public:
    explicit TIconFetcher(TIconList& icons);
    TIconFetcher(const TIconFetcher&) = delete;
    TIconFetcher& operator=(const TIconFetcher&) = delete;

    // Null answers every request at once. A runner set later takes what waits.
    void SetRunner(IIconRunner* runner);
    IIconRunner* Runner() const { return runner_; }

    // Asks for the item's icon. keepLastGood: when the file cannot be reached the
    // item keeps the icon of its slot and shows it dimmed (a target that is offline);
    // otherwise it ends with no icon, as for a file that has none. Returns true when
    // the answer was put in already (and the face painted).
    bool Ask(TItem& item, bool keepLastGood);
    // The item goes away or is asked for again: its answer is dropped.
    void Forget(TItem& item);
    // These items are served before any other still waiting (the page in view).
    void Prefer(const std::vector<TItem*>& items);

    // Takes the runner's answers, puts in those whose turn it is and hands the runner
    // more requests. Returns the items whose face changed, each repainted already.
    std::vector<TItem*> Deliver();
    // Requests asked and not yet put in.
    size_t Outstanding() const { return pending_.size(); }

    // Fetches the icons of these items ahead of their asking (a cold start, before the
    // window is up): nothing of the list or the items changes; when an item is asked
    // for later, by its first preparation, the answer is there or on its way. Items
    // without a target, or whose slot is known, are passed over.
    void Prefetch(const std::vector<TItem*>& items);
    // Drops the answers fetched ahead that nobody asked for.
    void ClearPrefetched();

    // Larger icons, for faces drawn above 96 DPI: each size x size, kept on the
    // item (LargeIcon) and never in the list or its caches, so the slots and the
    // files do not depend on the display. A size of 32 or less asks for none.
    void SetLargeSize(int size);
    int LargeSize() const { return largeSize_; }
    // These items are in view: each gets its large icon (after the icon of the list
    // when that is still to come) and gets it again whenever its icon is read anew.
    void AskLarge(const std::vector<TItem*>& items);
    // The item's large icon goes (its page is out of view), and any request for it.
    void DropLarge(TItem& item);
    // Large requests still out.
    size_t LargeOutstanding() const { return large_.size(); }

private:
    struct TPending {
        TItem* Item = nullptr; // null: forgotten
        TIconRequest Request;
        bool KeepLastGood = false;
        bool Sent = false;
        bool Answered = false;
        bool Shown = false; // its item is in view: an early answer is previewed
        TIconAnswer Answer;
    };
    // Drops the item's outstanding request for the icon of the list.
    void ForgetIcon(TItem& item);
    // Keeps an answer with its ask (previewed when in view); false when nobody waits
    // for it any more.
    bool AnswerPending(TIconAnswer& answer, std::vector<TItem*>& changed);
    // Puts in the answers at the front of the order, as far as they have come.
    void Commit(std::vector<TItem*>* changed);
    void Apply(TItem& item, const TIconAnswer& answer, bool keepLastGood);
    // Shows an answer that waits for its turn on the item's face.
    void Preview(TItem& item, const TPending& pending);
    void Feed();
    // The next ticket of a request; never 0.
    uint32_t NewTicket();
    // Asks for the item's large icon, or drops it when none can be had.
    void RequestLarge(TItem& item);
    void CancelLarge(TItem& item);
    void ApplyLarge(TItem& item, const TIconRequest& request, TIconAnswer& answer);

    TIconList& icons_;
    IIconRunner* runner_ = nullptr;
    uint32_t nextTicket_ = 1;
    int running_ = 0;
    std::unordered_map<uint32_t, TPending> pending_;
    std::deque<uint32_t> order_;     // every ticket not put in, in the order asked
    std::deque<uint32_t> preferred_; // to hand out first
    std::deque<uint32_t> waiting_;   // to hand out, in the order asked
    int largeSize_ = 0;
    struct TLargePending {
        TItem* Item = nullptr; // null: forgotten
        TIconRequest Request;
        bool Sent = false;
    };
    std::unordered_map<uint32_t, TLargePending> large_;
    std::deque<uint32_t> largeWaiting_; // handed out after the page in view, before the rest

    // Answers fetched ahead, by what they were read from.
    struct TPrefetch {
        TIconRequest Request;
        bool Sent = false;
        bool Answered = false;
        uint32_t For = 0; // the ask that waits for this answer
        TIconAnswer Answer;
    };
    std::unordered_map<std::string, TPrefetch> prefetched_;
    std::unordered_map<uint32_t, std::string> prefetchTickets_;
    std::deque<std::string> prefetchWaiting_; // handed out when nothing else waits
    // Takes the prefetched answer of an ask into its pending entry; false when none.
    bool TakePrefetched(const std::string& source, TPending& pending);
    // A prefetched answer that came: kept, or handed to the ask waiting for it.
    void PrefetchArrived(TIconAnswer& answer, std::vector<TItem*>& changed);
};
