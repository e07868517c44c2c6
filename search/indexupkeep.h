#pragma once

#include "core/jobprogress.h"
#include "core/status.h"

#include <functional>

class IndexConnection;

// Inside search/ only. Makes the structure index of an open file current: rebuilt from
// scratch when it is missing, of another format or found out of step with DATA1, then every
// waiting row indexed. `stopped` is asked between batches; what was done before stays.
// `hasStructures` is false for a file whose DATA1 has no Structure column (nothing to index).
Status bringIndexUpToDate(IndexConnection& db, JobProgress& progress,
                          const std::function<bool()>& stopped, bool& hasStructures);

// Worker threads for indexing and matching: the machines we run on have two cores.
constexpr int kIndexThreads = 2;

// Runs work(i) for every i below count on kIndexThreads threads, the caller's one of them.
void runInParallel(int count, const std::function<void(int)>& work);
