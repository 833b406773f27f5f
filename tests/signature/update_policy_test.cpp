#include "signature/update_policy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillmark {
namespace {

TEST(IntervalValue, LeadingNumberOfTheText) {
    const std::pair<const char*, double> cases[] = {
        {"60", 60}, {"12abc", 12}, {"1e9", 1e9},  {"abc", 0},
        {"", 0},    {" 7", 7},     {"2.5", 2.5},  {".5", 0.5},
        {"1e", 1},  {"3E-1", .3},  {"-4", -4},    {"-", 0},
        {"7 8", 7}, {"1,5", 1},    {"1e-999", 0}, {"99999999999", 99999999999.0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(intervalValue(text), expected) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(intervalValue("1e999")));
}

TEST(DecideTick, ShortIntervalsTickAtTheIntervalAndNoneStopsWriting) {
    const TimerStamps stamps{100, 90};
    TickDecision d = decideTick(10, stamps, 1000);
    EXPECT_EQ(d.periodMs, 10000);
    EXPECT_TRUE(d.writeNow && d.refreshTitle);
    EXPECT_EQ(d.stamps, stamps);
    EXPECT_EQ(decideTick(0.25, {}, 0).periodMs, 250);
    // A period that would round to 0 ms would spin the timer.
    for (double v : {0.0001, 0.0004, 0.05})
        EXPECT_EQ(decideTick(v, {}, 0).periodMs, kMinTickPeriodMs) << v;

    for (double v : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), intervalValue("none")}) {
        d = decideTick(v, stamps, 1000);
        EXPECT_FALSE(d.periodMs || d.writeNow || d.refreshTitle) << v;
        EXPECT_EQ(d.stamps, stamps) << v;
    }
}

TEST(DecideTick, LongIntervalPollsAgainstTheClock) {
    // 120 s, polled every 30 s: the first tick writes, then the first poll more than
    // 120 s after the last write.
    TimerStamps stamps;
    std::vector<std::int64_t> writes;
    for (std::int64_t t = 1000; t <= 1360; t += 30) {
        const TickDecision d = decideTick(120, stamps, t);
        EXPECT_EQ(d.periodMs, kLongIntervalPollMs);
        EXPECT_EQ(d.refreshTitle, d.writeNow);
        EXPECT_EQ(d.stamps.lastTick, t);
        if (d.writeNow)
            writes.push_back(t);
        stamps = d.stamps;
    }
    EXPECT_EQ(writes, (std::vector<std::int64_t>{1000, 1150, 1300}));

    // A clock that jumped more than 5 whole minutes either way since the last poll (or
    // a computer that slept) writes at once, whatever the interval.
    const std::int64_t now = 100000;
    const std::tuple<std::int64_t, std::int64_t, bool> cases[] = {
        {now - 400, now - 360, true},  // woke after 6 minutes
        {now + 330, now + 360, true},  // clock set back 6 minutes
        {now - 400, now - 359, false}, // 5 minutes 59 seconds
        {now - 400, now - 30, false},
    };
    for (const auto& [lastUpdate, lastTick, write] : cases) {
        const TickDecision d = decideTick(1e9, {lastUpdate, lastTick}, now);
        EXPECT_EQ(d.writeNow, write) << lastTick;
        EXPECT_EQ(d.stamps.lastUpdate, write ? now : lastUpdate) << lastTick;
    }
}

TEST(LastUpdateTitle, TwentyFourHourClock) {
    std::tm t{};
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(lastUpdateTitle(t), "Quillmark Last Update 23:05:03");
}

} // namespace
} // namespace quillmark
