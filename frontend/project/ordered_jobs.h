// Jobs done on several threads whose results are taken in order: a walk's files checked in
// parallel, their reports printed as if checked one after the other.
//
// Each thread first makes its own worker (make_worker, on that thread: an engine works on the
// thread that set it up), which then turns indices into results. `take` gets every result on
// the calling thread in order of index, in runs of up to kTakenTogether as they and all before
// them are done, so that output streams while the calling thread wakes once a run rather than
// once a job (a walk's jobs are many and short). With one thread, or one job, all of it runs on
// the calling thread.
//
// An exception from making a worker or from a job stops the others, and one from `take` too;
// once every thread has ended, the first is thrown again on the calling thread. The results
// wait in memory until taken, so a slow `take` lets them pile up.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lexivane::frontend {

template <typename Result>
void RunInOrder(std::size_t count, unsigned threads,
                const std::function<std::function<Result(std::size_t)>()>& make_worker,
                const std::function<void(std::size_t, Result&)>& take) {
  if (threads <= 1 || count <= 1) {
    const auto worker = make_worker();
    for (std::size_t i = 0; i < count; ++i) {
      Result result = worker(i);
      take(i, result);
    }
    return;
  }
  constexpr std::size_t kTakenTogether = 32;
  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::optional<Result>> results(count);
  std::size_t ready = 0;   // results[0, ready) are done (or taken), under `mutex`
  std::size_t wanted = 0;  // what `ready` must reach for the calling thread to go on
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  std::exception_ptr failure;  // the first of a worker, under `mutex`
  const auto run = [&] {
    try {
      const auto worker = make_worker();
      for (std::size_t i; !stop && (i = next++) < count;) {
        Result result = worker(i);
        const std::lock_guard lock(mutex);
        results[i] = std::move(result);
        const bool short_of = ready < wanted;
        while (ready < count && results[ready]) ++ready;
        if (short_of && ready >= wanted) done.notify_all();
      }
    } catch (...) {
      const std::lock_guard lock(mutex);
      if (!failure) failure = std::current_exception();
      stop = true;
      done.notify_all();
    }
  };
  std::vector<std::thread> pool;
  for (std::size_t t = 0; t < std::min<std::size_t>(threads, count); ++t) pool.emplace_back(run);
  std::exception_ptr take_failure;
  try {
    for (std::size_t i = 0; i < count; ++i) {
      std::unique_lock lock(mutex);
      if (!results[i]) {
        wanted = std::min(count, i + kTakenTogether);
        done.wait(lock, [&] { return ready >= wanted || failure; });
        if (!results[i]) break;
      }
      Result result = std::move(*results[i]);
      results[i].reset();
      lock.unlock();
      take(i, result);
    }
  } catch (...) {
    take_failure = std::current_exception();
  }
  stop = true;
  for (std::thread& thread : pool) thread.join();
  if (take_failure) std::rethrow_exception(take_failure);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace lexivane::frontend
