#pragma once

#include <atomic>

// How far a long job running on another thread has come, read by the window's progress
// dialog on a timer, and the user's wish to stop it. The job sets total (0 while unknown)
// and done; the window sets cancelRequested, which the job checks between records.
struct JobProgress {
    std::atomic<long long> done{0};
    std::atomic<long long> total{0};
    std::atomic<bool> cancelRequested{false};
};
