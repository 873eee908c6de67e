// Spreads independent pieces of work over a few threads: each index is done
// exactly once, by whichever thread takes it next, so the work of index i
// must touch nothing but its own results.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "VectorState.h"

namespace sekora {

// The threads worth using on this machine (at least 1).
inline unsigned MachineThreads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// Calls body(i) for every i in [0, count) on up to `threads` threads (the
// calling thread is one of them), handing out `chunk` consecutive indexes at
// a time so that uneven pieces still share out evenly. Returns when every
// call has returned. Each thread starts with its vector registers' upper
// halves cleared (VectorState.h). The first exception a call throws stops
// the hand-out and is rethrown here once all threads have finished.
template <typename Body>
void ParallelFor(std::size_t count, unsigned threads, std::size_t chunk, Body&& body) {
  chunk = std::max<std::size_t>(chunk, 1);
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failureMutex;

  auto work = [&] {
    // A thread inherits the vector state of the one that made it; whatever
    // ran before must not slow the work down.
    ClearUpperVectorHalves();
    try {
      while (!failed.load(std::memory_order_relaxed)) {
        const std::size_t begin = next.fetch_add(chunk, std::memory_order_relaxed);
        if (begin >= count) return;
        const std::size_t end = std::min(count, begin + chunk);
        for (std::size_t i = begin; i < end; ++i) body(i);
      }
    } catch (...) {
      const std::lock_guard lock(failureMutex);
      if (!failure) failure = std::current_exception();
      failed = true;
    }
  };

  const std::size_t chunks = (count + chunk - 1) / chunk;
  const std::size_t helpers =
      std::min<std::size_t>(std::max(threads, 1u) - 1, chunks == 0 ? 0 : chunks - 1);
  {
    std::vector<std::jthread> pool;
    pool.reserve(helpers);
    for (std::size_t t = 0; t < helpers; ++t) pool.emplace_back(work);
    work();
  }  // joins the helpers
  if (failure) std::rethrow_exception(failure);
}

}  // namespace sekora
