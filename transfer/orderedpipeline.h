#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs `work` on batches on worker threads while the calling thread hands them in and takes
// them back in the order it handed them in: the import reads and writes on the caller's
// thread and parses molecules on the workers. At most `maxInFlight` batches are out at once,
// so memory stays flat however long the file.
template <typename Batch> class OrderedPipeline {
public:
    OrderedPipeline(int threads, int maxInFlight, std::function<void(Batch&)> work)
        : work_(std::move(work)), maxInFlight_(std::max(1, maxInFlight))
    {
        for (int i = 0; i < std::max(1, threads); ++i)
            workers_.emplace_back([this] { runWorker(); });
    }
    ~OrderedPipeline()
    {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
        }
        workAvailable_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }
    OrderedPipeline(const OrderedPipeline&) = delete;
    OrderedPipeline& operator=(const OrderedPipeline&) = delete;

    bool full() const
    {
        std::lock_guard guard(lock_);
        return int(inFlight_.size()) >= maxInFlight_;
    }
    bool empty() const
    {
        std::lock_guard guard(lock_);
        return inFlight_.empty();
    }
    void submit(std::unique_ptr<Batch> batch)
    {
        auto slot = std::make_shared<Slot>();
        slot->batch = std::move(batch);
        {
            std::lock_guard guard(lock_);
            inFlight_.push_back(slot);
            waiting_.push_back(slot);
        }
        workAvailable_.notify_one();
    }
    // Waits for the oldest batch's work and hands it back; false if the work threw (out of
    // memory), or if no batch is in flight.
    bool takeOldest(std::unique_ptr<Batch>& out)
    {
        std::unique_lock guard(lock_);
        if (inFlight_.empty())
            return false;
        std::shared_ptr<Slot> slot = inFlight_.front();
        workDone_.wait(guard, [&slot] { return slot->done; });
        inFlight_.pop_front();
        out = std::move(slot->batch);
        return !slot->failed;
    }

private:
    struct Slot {
        std::unique_ptr<Batch> batch;
        bool done = false;
        bool failed = false;
    };

    void runWorker()
    {
        for (;;) {
            std::shared_ptr<Slot> slot;
            {
                std::unique_lock guard(lock_);
                workAvailable_.wait(guard, [this] { return stopping_ || !waiting_.empty(); });
                if (stopping_)
                    return;
                slot = waiting_.front();
                waiting_.pop_front();
            }
            bool failed = false;
            try {
                work_(*slot->batch);
            } catch (...) {
                failed = true;
            }
            {
                std::lock_guard guard(lock_);
                slot->done = true;
                slot->failed = failed;
            }
            workDone_.notify_all();
        }
    }

    std::function<void(Batch&)> work_;
    const int maxInFlight_;
    mutable std::mutex lock_;
    std::condition_variable workAvailable_;
    std::condition_variable workDone_;
    std::deque<std::shared_ptr<Slot>> inFlight_; // handed in, not yet taken back
    std::deque<std::shared_ptr<Slot>> waiting_;  // not yet picked up by a worker
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
