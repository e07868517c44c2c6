#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs `work` on batches on worker threads while batches are handed in and taken back in the
// order they were handed in: a job reads on one thread, works on the workers and writes in file
// order. At most `maxInFlight` batches are out at once, so memory stays flat however long the
// file. Handing in and taking back may happen on one thread (checking full() and empty()
// first) or on two: then the handing thread waits with waitForRoom() and says finish() at the
// end, and the taking thread may stop() both.
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
        stop();
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
        changed_.notify_all();
    }
    // Waits until a batch may be handed in; false once stopped.
    bool waitForRoom()
    {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return stopping_ || int(inFlight_.size()) < maxInFlight_; });
        return !stopping_;
    }
    // No batch follows the ones handed in.
    void finish()
    {
        {
            std::lock_guard guard(lock_);
            finished_ = true;
        }
        changed_.notify_all();
    }
    // Stops the workers and wakes every thread waiting here.
    void stop()
    {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
        }
        workAvailable_.notify_all();
        changed_.notify_all();
    }

    enum class Taken { Done, Nothing, WorkFailed };
    // Waits for the oldest batch (handed in, if none is yet) and its work, and hands it back.
    // Nothing once none is in flight after finish() or stop(); WorkFailed if the work threw
    // (out of memory).
    Taken takeOldest(std::unique_ptr<Batch>& out)
    {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return !inFlight_.empty() || finished_ || stopping_; });
        if (inFlight_.empty())
            return Taken::Nothing;
        std::shared_ptr<Slot> slot = inFlight_.front();
        changed_.wait(guard, [this, &slot] { return slot->done || stopping_; });
        if (!slot->done)
            return Taken::Nothing;
        inFlight_.pop_front();
        out = std::move(slot->batch);
        guard.unlock();
        changed_.notify_all();
        return slot->failed ? Taken::WorkFailed : Taken::Done;
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
            changed_.notify_all();
        }
    }

    std::function<void(Batch&)> work_;
    const int maxInFlight_;
    mutable std::mutex lock_;
    std::condition_variable workAvailable_;
    // A batch handed in, done or taken back; finished or stopped.
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Slot>> inFlight_; // handed in, not yet taken back
    std::deque<std::shared_ptr<Slot>> waiting_;  // not yet picked up by a worker
    bool stopping_ = false;
    bool finished_ = false;
    std::vector<std::thread> workers_;
};
