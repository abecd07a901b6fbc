// Runs independent pieces of loading work on every core.
//
// Start-up decodes a hundred pictures and cuts them into surfaces; each piece touches only its
// own item, so they can run side by side. The calling thread works too, and the call returns
// only when every piece has finished or one has failed.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pondlark {

// Calls `work(i)` once for every i in [0, count), in any order and on up to
// hardware_concurrency() threads (fewer when `maxThreads` is not 0). `work` must be safe to run
// concurrently for different i. When a call throws, no new pieces start and the first exception is
// rethrown here after every thread has stopped; pieces that were not reached are not run.
template <typename F> void ForEachInParallel(size_t count, F&& work, size_t maxThreads = 0) {
    size_t threads =
        std::min<size_t>(count, std::max<unsigned>(std::thread::hardware_concurrency(), 1u));
    if (maxThreads != 0) threads = std::min(threads, maxThreads);
    if (threads <= 1) {
        for (size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex errorLock;
    auto run = [&] {
        for (size_t i; !failed.load() && (i = next.fetch_add(1)) < count;) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(errorLock);
                if (!error) error = std::current_exception();
                failed = true;
            }
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    try {
        for (size_t t = 1; t < threads; ++t)
            helpers.emplace_back(run);
    } catch (...) {
        // A helper that cannot start leaves its share to the others; nobody may be left running.
    }
    run();
    for (std::thread& helper : helpers)
        helper.join();
    if (error) std::rethrow_exception(error);
}

} // namespace pondlark
