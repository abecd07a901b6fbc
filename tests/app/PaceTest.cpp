// The game's pace as a player gets it: steps against the clock in a browser's display frames,
// and the statistics line at the end.
#include "app/GameFixture.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace pondlark;

namespace {
using Pace = GameFixture;
} // namespace

TEST_F(Pace, BrowserDisplayFramesGiveThirtyMillisecondSteps) {
    // A page runs one pass of the loop on each of the browser's display frames, whatever the
    // screen's rate: 60, 75 and 144 Hz.
    for (const double period : {16.67, 13.33, 6.94}) {
        form.reset();
        ASSERT_TRUE(Start());
        const uint64_t start = platform.Ticks();
        const uint64_t before = form->FrameCount();
        for (int frame = 1;; ++frame) {
            const auto at = start + static_cast<uint64_t>(std::floor(frame * period));
            if (at > start + 10'000) break;
            platform.Advance(at - platform.Ticks());
            form->Pump();
        }
        EXPECT_NEAR(static_cast<double>(form->FrameCount() - before), 333, 1)
            << period << " ms display frames";
    }
}

TEST_F(Pace, StatsLineTellsStepsPresentedFramesAndTimeAtTheExitQuestion) {
    ASSERT_TRUE(Start());
    form->ReportStats = true;
    form->RunFor(3'000); // the intro's two seconds, then the menu
    ASSERT_EQ(form->State().Scene, TScene::MainMenu);
    const uint64_t firstFrame = 30; // the first step is due an interval after the start
    testing::internal::CaptureStderr();
    Key(vk::Escape);
    platform.KeyDown('Y');
    form->Pump();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(form->Terminated());
    const std::string expected = "stats: steps " + std::to_string(form->FrameCount()) +
                                 " presented " + std::to_string(platform.PresentCount()) +
                                 " elapsed_ms " + std::to_string(platform.Ticks() - firstFrame) +
                                 "\n";
    EXPECT_EQ(err, expected);
    EXPECT_EQ(form->FrameCount(), platform.Ticks() / 30) << "one step every 30 ms";
    testing::internal::CaptureStderr();
    form->Terminate();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "one line only";
}
