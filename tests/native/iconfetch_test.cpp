// Icons fetched by worker threads: the same files as fetching in line, the last
// good icon of a target out of reach, requests served in the order the window
// wants, large icons for a scaled display beside the list, and workers that never
// hold up their owner.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "model/iconworkers.h"
#include "platform/filestream.h"
#include "support/model_env.h"

using std::chrono::milliseconds;
using std::chrono::steady_clock;

namespace {

std::string Target(size_t n) {
    return "C:\\tools\\program" + std::to_string(n) + ".exe";
}

// Three pages of 4 x 3 with targets of distinct icons, some empty slots, indexed
// icons and a path too long for the shell; the independent row holds one more.
void FillDocument(TModelEnv& env, TDocument& doc) {
    doc.AutoSave = false;
    doc.InsertPage(-1);
    doc.InsertPage(-1);
    doc.SetPageSize(4, 3);
    size_t n = 0;
    auto fill = [&](TItem& item) {
        ++n;
        if (n % 5 == 0) return; // an empty slot
        item.Path = Target(n);
        item.Name = "program" + std::to_string(n);
        env.System.PathKinds[item.Path] = platform::TPathKind::File;
        if (n % 7 == 0) {
            item.Icon = "C:\\icons.dll";
            item.IconN = (int)n;
            env.System.PathKinds[item.Icon] = platform::TPathKind::File;
            env.System.IndexedIcons[{item.Icon, (int)n}] = TFakeSystem::SolidIcon(0x200000 + (uint32_t)n);
        } else if (n == 11) {
            item.Path = "C:\\" + std::string(300, 'x') + ".exe"; // never given to the shell
        } else if (n % 6 == 0) {
            // No icon: a file without one, or a target that is gone. Neither may
            // leave a slot taken that fetching in line would not.
            if (n % 12 == 0) env.System.PathKinds.erase(item.Path);
        } else {
            env.System.Icons[item.Path] = TFakeSystem::SolidIcon(0x100000 + (uint32_t)n);
        }
    };
    for (auto& page : doc.Pages)
        for (auto& item : page->Items())
            fill(*item);
    doc.SetIndItemCount(2);
    fill(*doc.IndItems[0]);
}

// Delivers until nothing is outstanding (or the time is up).
bool WaitForIcons(TDocument& doc) {
    auto until = steady_clock::now() + std::chrono::seconds(10);
    while (doc.IconFetcher->Outstanding() > 0 || doc.IconFetcher->LargeOutstanding() > 0) {
        if (steady_clock::now() > until) return false;
        doc.IconFetcher->Deliver();
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

struct TSavedFiles {
    std::vector<uint8_t> Data, Colors, Masks;
};

// Fills a document the way drops do, lets the icons come, then F5, and saves. With
// a large size, the first page and the independent row are in view at that size.
TSavedFiles FillAndSave(int threads, int largeSize = 0, bool prefetch = false) {
    TModelEnv env;
    TDocument& doc = env.Start();
    std::unique_ptr<TIconWorkers> workers;
    if (threads > 0) {
        workers = std::make_unique<TIconWorkers>(threads, nullptr);
        doc.IconFetcher->SetRunner(workers.get());
    }
    FillDocument(env, doc);
    std::vector<TItem*> inView;
    for (auto& item : doc.Pages[0]->Items())
        inView.push_back(item.get());
    inView.push_back(doc.IndItems[0].get());
    if (prefetch) {
        std::vector<TItem*> all;
        for (auto& page : doc.Pages)
            for (auto& item : page->Items())
                all.push_back(item.get());
        doc.IconFetcher->Prefetch(all);
    }
    doc.IconFetcher->SetLargeSize(largeSize);
    doc.IconFetcher->AskLarge(inView);
    for (auto& page : doc.Pages)
        for (auto& item : page->Items())
            item->RefreshIcon(false);
    for (auto& item : doc.IndItems)
        item->RefreshIcon(false);
    EXPECT_TRUE(WaitForIcons(doc));
    doc.RefreshIcons();
    EXPECT_TRUE(WaitForIcons(doc));
    for (TItem* item : inView) {
        bool large = largeSize > 0 && item->ImageIndex >= 0;
        EXPECT_EQ(item->Large.Image != nullptr, large) << item->Path << " " << threads << " " << largeSize;
        if (large && item->Large.Image) {
            EXPECT_EQ(item->Large.Image->Color.Width(), largeSize);
        }
    }
    doc.SaveIfNeeded(TSaveReason::Command);
    TSavedFiles files{platform::ReadWholeFile(env.DataFile()),
                      platform::ReadWholeFile(env.System.PathOf("IconClList.bdt")),
                      platform::ReadWholeFile(env.System.PathOf("IconMsList.bdt"))};
    doc.IconFetcher->SetRunner(nullptr);
    doc.NoSave = true;
    return files;
}

// A runner that keeps what it is given until the test answers it.
class THeldRunner : public IIconRunner {
public:
    int Capacity() const override { return 1; }
    void Run(TIconRequest request) override { Given.push_back(std::move(request)); }
    std::vector<TIconAnswer> TakeAnswers() override {
        std::vector<TIconAnswer> out;
        out.swap(Ready);
        return out;
    }
    // Answers the oldest request given as the system would.
    void AnswerNext() {
        Ready.push_back(FetchIcon(Given.at(answered_++)));
    }
    std::vector<TIconRequest> Given;
    std::vector<TIconAnswer> Ready;

private:
    size_t answered_ = 0;
};

// The colour of the middle of an item's icon on its painted face.
uint32_t IconMiddle(const TModelEnv& env, const TItem& item) {
    int w = env.Host.View.ItemWidth - 8, h = env.Host.View.ItemHeight - 8;
    int x = 2 + (w - 32) / 2 + 16, y = 2 + ((h / 2) - 32) / 2 + 16;
    return item.Image ? item.Image->Pixel(x, y) : 0xFFFFFFFF;
}

} // namespace

TEST(IconWorkers, FetchedIconsGiveTheSameFilesAsFetchingInLine) {
    TSavedFiles inLine = FillAndSave(0);
    EXPECT_GT(inLine.Colors.size(), 10u * 32 * 32); // more than the first block of slots
    // Large icons for a display at 150 %, in line or by workers, change no byte.
    for (auto [threads, large] : {std::pair<int, int>{3, 0}, {0, 48}, {3, 48}}) {
        TSavedFiles other = FillAndSave(threads, large);
        EXPECT_EQ(inLine.Data, other.Data) << threads << " " << large;
        EXPECT_EQ(inLine.Colors, other.Colors) << threads << " " << large;
        EXPECT_EQ(inLine.Masks, other.Masks) << threads << " " << large;
    }
    TSavedFiles ahead = FillAndSave(3, 0, true); // fetched ahead of their asking
    EXPECT_EQ(inLine.Data, ahead.Data);
    EXPECT_EQ(inLine.Colors, ahead.Colors);
    EXPECT_EQ(inLine.Masks, ahead.Masks);
}

TEST(IconWorkers, IconsFetchedAheadAreAskedOfTheSystemOnceAndNeverForARereading) {
    TModelEnv env;
    TDocument& doc = env.Start();
    doc.AutoSave = false;
    THeldRunner runner;
    doc.IconFetcher->SetRunner(&runner);
    std::vector<TItem*> items;
    for (int s = 0; s < 3; ++s) {
        TItem& item = doc.Pages[0]->Item(s);
        item.Path = Target((size_t)s);
        env.System.PathKinds[item.Path] = platform::TPathKind::File;
        env.System.Icons[item.Path] = TFakeSystem::SolidIcon(0x100 + (uint32_t)s);
        items.push_back(&item);
    }
    doc.IconFetcher->Prefetch(items);
    ASSERT_EQ(runner.Given.size(), 1u); // one at a time: the runner's capacity
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    ASSERT_EQ(runner.Given.size(), 2u);
    EXPECT_EQ(items[0]->ImageIndex, -2) << "fetched ahead changes nothing";
    // Answered ahead: in at once. On its way: waited for. Not handed out yet: asked.
    items[0]->RefreshIcon(true);
    EXPECT_EQ(items[0]->ImageIndex, 0);
    items[1]->RefreshIcon(true);
    items[2]->RefreshIcon(true);
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_EQ(runner.Given.size(), 3u) << "no target is asked twice";
    EXPECT_EQ(items[1]->ImageIndex, 1);
    EXPECT_EQ(items[2]->ImageIndex, 2);
    EXPECT_EQ(doc.IconFetcher->Outstanding(), 0u);

    // F5 asks the target again even with an answer from before at hand.
    TItem& other = doc.Pages[0]->Item(3);
    other.Path = items[0]->Path;
    doc.IconFetcher->Prefetch({&other});
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    env.System.PathKinds.erase(other.Path);
    items[0]->ReloadIcon();
    ASSERT_EQ(runner.Given.size(), 5u);
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_TRUE(items[0]->IconDimmed);
    doc.IconFetcher->ClearPrefetched();
    doc.IconFetcher->SetRunner(nullptr);
    doc.NoSave = true;
}

TEST(IconWorkers, LargeIconsFollowTheItemsInViewAndGoWithTheirPage) {
    TModelEnv env;
    TDocument& doc = env.Start();
    doc.AutoSave = false;
    THeldRunner runner;
    TItem& item = doc.Pages[0]->Item(0);
    item.Path = "E:\\share\\tool.exe";
    env.System.PathKinds[item.Path] = platform::TPathKind::File;
    env.System.Icons[item.Path] = TFakeSystem::SolidIcon(0x00FF0000);
    item.RefreshIcon(false); // in line: the icon is in the list before the window shows
    ASSERT_EQ(item.ImageIndex, 0);
    doc.IconFetcher->SetRunner(&runner);
    doc.IconFetcher->SetLargeSize(64);

    // The page in view comes before large icons, and large icons before the rest.
    TItem& waiting = doc.Pages[0]->Item(1);
    waiting.Path = "E:\\share\\other.exe";
    env.System.PathKinds[waiting.Path] = platform::TPathKind::File;
    env.System.Icons[waiting.Path] = TFakeSystem::SolidIcon(0x0000FF00);
    waiting.RefreshIcon(false);
    ASSERT_EQ(runner.Given.size(), 1u);
    doc.IconFetcher->AskLarge({&item, &waiting});
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    ASSERT_EQ(runner.Given.size(), 2u);
    EXPECT_EQ(runner.Given[1].Size, 64);
    EXPECT_EQ(runner.Given[1].File, item.Path);
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    ASSERT_TRUE(item.Large.Image);
    EXPECT_EQ(item.Large.Image->Color.Width(), 64);
    // The item whose list icon was still to come asks for its large one after it.
    ASSERT_EQ(runner.Given.size(), 3u);
    EXPECT_EQ(runner.Given[2].File, waiting.Path);
    EXPECT_EQ(runner.Given[2].Size, 64);
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_TRUE(waiting.Large.Image);

    // F5 with the drive gone: the large icon is kept as the list's is, and is read
    // again, the old one shown meanwhile, when the drive is back.
    env.System.PathKinds.erase(item.Path);
    item.ReloadIcon();
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_TRUE(item.IconDimmed);
    EXPECT_TRUE(item.Large.Image);
    env.System.PathKinds[item.Path] = platform::TPathKind::File;
    item.ReloadIcon();
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_NE(item.Large.Ticket, 0u);
    EXPECT_TRUE(item.Large.Image);

    // The page goes out of view: the icons and the request go; a late answer paints nothing.
    doc.IconFetcher->DropLarge(item);
    doc.IconFetcher->DropLarge(waiting);
    EXPECT_FALSE(item.Large.Image);
    EXPECT_EQ(doc.IconFetcher->LargeOutstanding(), 1u); // with the runner, answered later
    runner.AnswerNext();
    EXPECT_TRUE(doc.IconFetcher->Deliver().empty());
    EXPECT_EQ(doc.IconFetcher->LargeOutstanding(), 0u);
    item.ReloadIcon(); // not in view: no large request follows the list's
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_EQ(runner.Given.back().Size, 0);
    EXPECT_FALSE(item.Large.Image);

    // At 100 % none is asked for.
    doc.IconFetcher->SetLargeSize(32);
    size_t given = runner.Given.size();
    doc.IconFetcher->AskLarge({&item});
    EXPECT_EQ(runner.Given.size(), given);
    doc.IconFetcher->SetRunner(nullptr);
    doc.NoSave = true;
}

TEST(IconWorkers, ATargetOutOfReachKeepsItsLastIconDimmedUntilItComesBack) {
    TModelEnv env;
    TDocument& doc = env.Start();
    THeldRunner runner;
    doc.IconFetcher->SetRunner(&runner);
    TItem& item = doc.Pages[0]->Item(0);
    item.Path = "E:\\share\\tool.exe";
    item.Name = "tool";
    env.System.PathKinds[item.Path] = platform::TPathKind::File;
    env.System.Icons[item.Path] = TFakeSystem::SolidIcon(0x00FF0000);

    // The title shows before the icon comes; the slot is taken when it comes.
    item.RefreshIcon(false);
    EXPECT_LT(item.ImageIndex, 0);
    EXPECT_TRUE(item.IconAwaited);
    ASSERT_TRUE(item.Image);
    uint32_t before = IconMiddle(env, item);
    runner.AnswerNext();
    EXPECT_EQ(doc.IconFetcher->Deliver(), std::vector<TItem*>{&item});
    EXPECT_EQ(item.ImageIndex, 0);
    EXPECT_EQ(IconMiddle(env, item), 0x00FF0000u);
    EXPECT_NE(before, 0x00FF0000u);

    // The drive goes away: F5 keeps the slot and draws the icon in grey.
    env.System.PathKinds.erase(item.Path);
    item.ReloadIcon();
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_EQ(item.ImageIndex, 0);
    EXPECT_TRUE(item.IconDimmed);
    uint32_t dim = IconMiddle(env, item);
    EXPECT_EQ(dim & 0xFF, (dim >> 8) & 0xFF);
    EXPECT_EQ(dim & 0xFF, (dim >> 16) & 0xFF);
    EXPECT_GT(dim & 0xFF, 0x80u);

    // It comes back: the next read restores the normal look.
    env.System.PathKinds[item.Path] = platform::TPathKind::File;
    item.ReloadIcon();
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_FALSE(item.IconDimmed);
    EXPECT_EQ(IconMiddle(env, item), 0x00FF0000u);

    // A changed item that points at nothing keeps nothing of the old icon, and an
    // item that never had one shows the empty face.
    item.Path = "E:\\share\\other.exe";
    item.RefreshIcon(false);
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_EQ(item.ImageIndex, -1);
    TItem& never = doc.Pages[0]->Item(1);
    never.Path = "F:\\gone.exe";
    never.ReloadIcon();
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    EXPECT_EQ(never.ImageIndex, -1);
    EXPECT_FALSE(never.IconDimmed);
    doc.IconFetcher->SetRunner(nullptr);
}

TEST(IconWorkers, ThePageInViewIsServedFirstAndGoneItemsDropTheirAnswers) {
    TModelEnv env;
    TDocument& doc = env.Start();
    doc.AutoSave = false;
    THeldRunner runner;
    doc.IconFetcher->SetRunner(&runner);
    FillDocument(env, doc);
    doc.RefreshIcons();
    ASSERT_EQ(runner.Given.size(), 1u);
    EXPECT_EQ(runner.Given[0].File, Target(1));

    // The window switches to page 2: its items come next, ahead of page 1's.
    std::vector<TItem*> shown;
    for (auto& item : doc.Pages[2]->Items())
        shown.push_back(item.get());
    doc.IconFetcher->Prefer(shown);
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    ASSERT_EQ(runner.Given.size(), 2u);
    EXPECT_EQ(runner.Given[1].File, Target(26)); // its first slot is empty

    // Its answer shows at once but goes into the list only after those asked before it.
    TItem& early = doc.Pages[2]->Item(1);
    runner.AnswerNext();
    EXPECT_EQ(doc.IconFetcher->Deliver(), std::vector<TItem*>{&early});
    EXPECT_TRUE(early.PreviewIcon);
    EXPECT_LT(early.ImageIndex, 0);

    // A save in between stores the items still awaiting their first icon as not yet
    // evaluated, so that the next start asks again.
    TItem& awaited = doc.Pages[1]->Item(0);
    EXPECT_TRUE(awaited.IconAwaited);
    EXPECT_EQ(awaited.ImageIndex, -2);
    doc.SaveIfNeeded(TSaveReason::Command);
    TSavedFiles saved{platform::ReadWholeFile(env.DataFile()),
                      platform::ReadWholeFile(env.System.PathOf("IconClList.bdt")),
                      platform::ReadWholeFile(env.System.PathOf("IconMsList.bdt"))};

    // Page 1 is deleted while its item's request is with the runner.
    doc.IconFetcher->Prefer({&doc.Pages[1]->Item(0)});
    runner.AnswerNext();
    doc.IconFetcher->Deliver();
    ASSERT_EQ(runner.Given.size(), 4u);
    EXPECT_EQ(runner.Given[3].File, Target(13));
    doc.DeletePage(1);
    runner.AnswerNext();
    EXPECT_TRUE(doc.IconFetcher->Deliver().empty()); // the gone item is not repainted
    doc.IconFetcher->SetRunner(nullptr);
    doc.NoSave = true;
    env.Stop();

    TModelEnv reread;
    reread.WriteDataFile(saved.Data);
    platform::ReplaceFileContents(reread.System.PathOf("IconClList.bdt"), saved.Colors);
    platform::ReplaceFileContents(reread.System.PathOf("IconMsList.bdt"), saved.Masks);
    TDocument& again = reread.Start();
    EXPECT_EQ(again.Pages[0]->Item(0).ImageIndex, 0);  // its icon had come
    EXPECT_EQ(again.Pages[1]->Item(0).ImageIndex, -2); // asked again when prepared
    again.NoSave = true;
}

TEST(IconWorkers, AWorkerStuckOnATargetDoesNotHoldUpTheStop) {
    TFakeSystem system;
    struct TLatch {
        std::mutex Lock;
        std::condition_variable Changed;
        bool Started = false, Released = false;
    };
    auto latch = std::make_shared<TLatch>();
    int ready = 0;
    auto workers = std::make_unique<TIconWorkers>(
        2, [&ready] { ++ready; },
        [latch](const TIconRequest& request) {
            std::unique_lock<std::mutex> hold(latch->Lock);
            latch->Started = true;
            latch->Changed.notify_all();
            latch->Changed.wait(hold, [&] { return latch->Released; }); // a share that never answers
            TIconAnswer answer;
            answer.Ticket = request.Ticket;
            return answer;
        });
    TIconRequest request;
    request.Ticket = 7;
    request.File = "\\\\127.0.0.1\\nobody\\tool.exe";
    workers->Run(request);
    {
        std::unique_lock<std::mutex> hold(latch->Lock);
        ASSERT_TRUE(latch->Changed.wait_for(hold, std::chrono::seconds(5), [&] { return latch->Started; }));
    }
    auto start = steady_clock::now();
    EXPECT_FALSE(workers->Stop(milliseconds(100)));
    auto took = std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_LT(took, 150);
    workers.reset();
    // The share answers at last: the late answer goes nowhere.
    {
        std::lock_guard<std::mutex> hold(latch->Lock);
        latch->Released = true;
    }
    latch->Changed.notify_all();
    std::this_thread::sleep_for(milliseconds(50)); // lets the left thread end before the test does
    EXPECT_EQ(ready, 0);
}
