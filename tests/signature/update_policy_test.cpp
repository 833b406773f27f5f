#include "signature/update_policy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillmark {
namespace {

TEST(IntervalValue, LeadingNumberOfTheText) {
    const std::pair<const char*, double> cases[] = {{"12abc", 12}, {"1e9", 1e9}, {"abc", 0},   {"", 0},
                                                    {" 7", 7},     {".5", 0.5},  {"1e", 1},    {"3E-1", .3},
                                                    {"-4", -4},    {"1,5", 1},   {"1e-999", 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(intervalValue(text), expected) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(intervalValue("1e999")));
}

TEST(DecideTick, ShortIntervalsTickAndRefreshTheTitleAndNoneStopsWriting) {
    const TimerStamps stamps{100, 90};
    TickDecision d = decideTick(0.25, stamps, 1000);
    EXPECT_EQ(d.periodMs, 250);
    EXPECT_TRUE(d.writeNow && d.refreshTitle);
    std::tm t{};
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(lastUpdateTitle(t), "Quillmark Last Update 23:05:03");
    // A positive interval below 0.1 s ticks every 100 ms: one that rounds to 0 ms would
    // spin the timer.
    const std::pair<double, int> periods[] = {{0.0004, 100}, {1e-300, 100}, {0.0995, 100},   {0.1, 100},
                                              {0.1004, 100}, {0.1006, 101}, {49.9996, 50000}};
    for (const auto& [interval, ms] : periods) {
        EXPECT_EQ(decideTick(interval, {}, 0).periodMs, ms) << interval;
        EXPECT_TRUE(decideTick(interval, {}, 0).writeNow) << interval;
    }

    for (double v : {-5.0, std::numeric_limits<double>::quiet_NaN()}) {
        d = decideTick(v, stamps, 1000);
        EXPECT_FALSE(d.periodMs || d.writeNow || d.refreshTitle) << v;
        EXPECT_EQ(d.stamps, stamps) << v;
    }
}

TEST(DecideTick, AClockJumpOfMoreThanFiveMinutesWritesAtOnce) {
    const std::int64_t now = 100000;
    const std::pair<std::int64_t, bool> cases[] = {
        {now - 360, true}, {now + 360, true}, {now - 359, false}, {now - 30, false}};
    for (const auto& [lastTick, write] : cases) {
        const TickDecision d = decideTick(1e9, {now - 400, lastTick}, now);
        EXPECT_EQ(d.periodMs, kLongIntervalPollMs);
        EXPECT_EQ(d.writeNow, write) << lastTick;
        EXPECT_EQ(d.stamps.lastUpdate, write ? now : now - 400) << lastTick;
    }
}

} // namespace
} // namespace quillmark
