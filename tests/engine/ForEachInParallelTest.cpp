#include "engine/ForEachInParallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace pondlark;

TEST(ForEachInParallel, RunsEveryPieceExactlyOnce) {
    for (size_t count : {size_t{0}, size_t{1}, size_t{2}, size_t{1000}}) {
        std::vector<std::atomic<int>> runs(count);
        ForEachInParallel(count, [&](size_t i) { runs[i].fetch_add(1); });
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(runs[i].load(), 1) << "piece " << i << " of " << count;
    }
}

TEST(ForEachInParallel, RethrowsTheFailureAfterEveryThreadHasStopped) {
    std::atomic<int> running{0};
    try {
        ForEachInParallel(10000, [&](size_t i) {
            running.fetch_add(1);
            if (i == 50) {
                running.fetch_sub(1);
                throw std::runtime_error("DIB is invalid");
            }
            // Long enough that a call returning before its helpers end would see one running.
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            running.fetch_sub(1);
        });
        ADD_FAILURE() << "the failure was swallowed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "DIB is invalid");
    }
    EXPECT_EQ(running.load(), 0) << "a piece still ran after the call returned";
}
