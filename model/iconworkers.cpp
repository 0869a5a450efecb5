#include "model/iconworkers.h"

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/system.h"

// Everything the threads share. Each thread holds it too, so that one left behind
// by Stop still finds it when its call returns at last.
struct TIconWorkers::TShared {
    std::mutex Lock;
    std::condition_variable Work;   // a request came, or stop
    std::condition_variable Ended;  // a thread ended
    std::deque<TIconRequest> Requests;
    std::vector<TIconAnswer> Answers;
    std::function<void()> AnswersReady;
    TFetch Fetch;
    bool Stopping = false;
    int Alive = 0;
};

TIconWorkers::TIconWorkers(int threads, std::function<void()> answersReady, TFetch fetch)
    : shared_(std::make_shared<TShared>()), capacity_(threads < 1 ? 2 : threads * 2) {
    if (threads < 1) threads = 1;
    shared_->AnswersReady = std::move(answersReady);
    shared_->Fetch = std::move(fetch);
    shared_->Alive = threads;
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back(Work, shared_);
}

TIconWorkers::~TIconWorkers() {
    Stop();
}

void TIconWorkers::Run(TIconRequest request) {
    {
        std::lock_guard<std::mutex> hold(shared_->Lock);
        if (shared_->Stopping) return;
        shared_->Requests.push_back(std::move(request));
    }
    shared_->Work.notify_one();
}

std::vector<TIconAnswer> TIconWorkers::TakeAnswers() {
    std::lock_guard<std::mutex> hold(shared_->Lock);
    std::vector<TIconAnswer> answers;
    answers.swap(shared_->Answers);
    return answers;
}

void TIconWorkers::Work(std::shared_ptr<TShared> shared) {
    bool begun = false;
    std::unique_lock<std::mutex> hold(shared->Lock);
    for (;;) {
        shared->Work.wait(hold, [&] { return shared->Stopping || !shared->Requests.empty(); });
        if (shared->Stopping) break;
        TIconRequest request = std::move(shared->Requests.front());
        shared->Requests.pop_front();
        hold.unlock();
        // The shell's calls for icons want COM on the calling thread; it is begun at
        // the first request, so that a start from the cache loads none of it.
        if (!begun) platform::System().BeginWorkerThread();
        begun = true;
        TIconAnswer answer = shared->Fetch(request);
        hold.lock();
        if (shared->Stopping) break; // too late: nobody takes it any more
        bool first = shared->Answers.empty();
        shared->Answers.push_back(std::move(answer));
        if (first && shared->AnswersReady) {
            // Called outside the lock: posting a message may take its time.
            auto ready = shared->AnswersReady;
            hold.unlock();
            ready();
            hold.lock();
        }
    }
    --shared->Alive;
    hold.unlock();
    shared->Ended.notify_all();
    if (begun) platform::System().EndWorkerThread();
}

bool TIconWorkers::Stop(std::chrono::milliseconds wait) {
    if (stopped_) return true;
    stopped_ = true;
    bool allEnded;
    {
        std::unique_lock<std::mutex> hold(shared_->Lock);
        shared_->Stopping = true;
        shared_->Requests.clear();
        shared_->Answers.clear();
        shared_->AnswersReady = nullptr;
        shared_->Work.notify_all();
        allEnded = shared_->Ended.wait_for(hold, wait, [&] { return shared_->Alive == 0; });
    }
    for (std::thread& t : threads_) {
        if (allEnded)
            t.join();
        else
            t.detach(); // one still in a call that does not return; it ends on its own
    }
    threads_.clear();
    return allEnded;
}
