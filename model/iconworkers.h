#pragma once
// A small pool of threads that fetch icons. Each thread takes a request, fetches
// its icon with nothing of the model in reach, and puts the answer into a queue of
// its own; the first answer of a batch calls answersReady (from the worker's
// thread: it posts a message to the window, nothing more). A thread stuck on a
// target that never answers holds up nobody: Stop waits a bounded time and leaves
// such a thread behind, whose late answer is dropped.
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "model/iconfetch.h"

class TIconWorkers : public IIconRunner {
public:
    using TFetch = std::function<TIconAnswer(const TIconRequest&)>;

    TIconWorkers(int threads, std::function<void()> answersReady, TFetch fetch = FetchIcon);
    // Stops with the default wait.
    ~TIconWorkers() override;
    TIconWorkers(const TIconWorkers&) = delete;
    TIconWorkers& operator=(const TIconWorkers&) = delete;

    int Capacity() const override { return capacity_; }
    void Run(TIconRequest request) override;
    std::vector<TIconAnswer> TakeAnswers() override;

    // Drops the requests not started, waits up to `wait` for the threads to finish
    // what they fetch and leaves those that have not. Returns true when all ended.
    bool Stop(std::chrono::milliseconds wait = std::chrono::milliseconds(100));

private:
    struct TShared;
    static void Work(std::shared_ptr<TShared> shared);

    std::shared_ptr<TShared> shared_;
    std::vector<std::thread> threads_;
    int capacity_;
    bool stopped_ = false;
};
