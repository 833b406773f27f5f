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

// Short intervals tick at the interval (never below 100 ms, which would spin the timer);
// from 50 s the timer polls every 30 s and writes once the interval has passed or the
// clock jumped by more than five minutes; none, a negative or an unreadable one stops writing.
TEST(DecideTick, WhenTheTimerWritesAndHowOftenItTicks) {
    const std::int64_t now = 100000;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        double interval;
        TimerStamps stamps;
        std::optional<int> periodMs;
        bool write;
    };
    const Row rows[] = {{0.25, {now - 10, now - 10}, 250, true},
                        {0.0004, {}, 100, true},
                        {1e-300, {}, 100, true},
                        {0.0995, {}, 100, true},
                        {0.1004, {}, 100, true},
                        {0.1006, {}, 101, true},
                        {49.9996, {}, 50000, true},
                        {50, {}, 30000, true},
                        {120, {now - 90, now - 30}, 30000, false},
                        {120, {now - 121, now - 30}, 30000, true},
                        {1e9, {now - 400, now - 360}, 30000, true},
                        {1e9, {now - 400, now + 360}, 30000, true},
                        {1e9, {now - 400, now - 359}, 30000, false},
                        {0, {now - 400, now - 30}, {}, false},
                        {-5, {now - 400, now - 30}, {}, false},
                        {nan, {now - 400, now - 30}, {}, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.interval << " last update " << row.stamps.lastUpdate.value_or(-1));
        const TickDecision d = decideTick(row.interval, row.stamps, now);
        EXPECT_EQ(d.periodMs, row.periodMs);
        EXPECT_EQ(d.writeNow, row.write);
        EXPECT_EQ(d.refreshTitle, row.write);
        const bool polls = row.interval >= kLongIntervalSeconds;
        EXPECT_EQ(d.stamps, (polls ? TimerStamps{row.write ? now : row.stamps.lastUpdate, now} : row.stamps));
    }
    std::tm t{};
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(lastUpdateTitle(t), "Quillmark Last Update 23:05:03");
}

} // namespace
} // namespace quillmark
