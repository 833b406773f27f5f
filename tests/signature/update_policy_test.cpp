#include "signature/update_policy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillmark {
namespace {

TEST(IntervalValue, LeadingNumberOfTheText) {
    const std::pair<const char*, double> cases[] = {{"12abc", 12}, {"abc", 0},   {"-4", -4}, {".5", 0.5},
                                                    {"1e", 1},     {"3E-1", .3}, {"1,5", 1}, {"1e-999", 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(intervalValue(text), expected) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(intervalValue("1e999")));
}

// At least 100 ms; from 50 s a 30 s poll that writes when due or after a 5 min clock jump.
TEST(DecideTick, WhenTheTimerWritesAndHowOftenItTicks) {
    const std::int64_t now = 100000;
    struct Row {
        double interval;
        int sinceUpdate, sinceTick; // -1: no tick yet
        int periodMs;               // -1: kept
        bool write;
    };
    const Row rows[] = {
        {0.25, 10, 10, 250, true},     {0.1004, -1, 0, 100, true},
        {0.1006, -1, 0, 101, true},    {49.9996, -1, 0, 50000, true},
        {50, -1, 0, 30000, true},      {120, 90, 30, 30000, false},
        {120, 121, 30, 30000, true},   {1e9, 400, 360, 30000, true},
        {1e9, 400, -360, 30000, true}, {1e9, 400, 359, 30000, false},
        {0, 400, 30, -1, false},       {std::numeric_limits<double>::quiet_NaN(), 400, 30, -1, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.interval << " since update " << row.sinceUpdate);
        const TimerStamps stamps =
            row.sinceUpdate < 0 ? TimerStamps{} : TimerStamps{now - row.sinceUpdate, now - row.sinceTick};
        const TickDecision d = decideTick(row.interval, stamps, now);
        EXPECT_EQ(d.periodMs.value_or(-1), row.periodMs);
        EXPECT_EQ(d.writeNow, row.write);
        EXPECT_EQ(d.refreshTitle, row.write);
        const bool polls = row.interval >= kLongIntervalSeconds;
        EXPECT_EQ(d.stamps, (polls ? TimerStamps{row.write ? now : stamps.lastUpdate, now} : stamps));
    }
}

} // namespace
} // namespace quillmark
