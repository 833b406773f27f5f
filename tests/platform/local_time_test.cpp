#include "platform/local_time.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace quillmark {
namespace {

// The time zone of the test run, put back afterwards.
class ZoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ"))
            m_saved = tz;
    }
    void TearDown() override {
        if (m_saved)
            ::setenv("TZ", m_saved->c_str(), 1);
        else
            ::unsetenv("TZ");
    }
    std::optional<std::string> m_saved;
};

TEST_F(ZoneTest, LocalTimeFollowsTheZoneInForceAtEachCall) {
    const struct {
        const char* zone;
        std::time_t time;
        int year, month, day, hour, minute, dst;
    } cases[] = {
        {"UTC0", 0, 1970, 1, 1, 0, 0, 0},
        {"XYZ-2", 0, 1970, 1, 1, 2, 0, 0},
        {"XYZ+5:30", 0, 1969, 12, 31, 18, 30, 0},
        // 1 July and 1 January 2024 at noon UTC, in Central European summer and winter time.
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1719835200, 2024, 7, 1, 14, 0, 1},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1704110400, 2024, 1, 1, 13, 0, 0},
        {"UTC0", 1704110400, 2024, 1, 1, 12, 0, 0},
    };
    for (const auto& c : cases) {
        ::setenv("TZ", c.zone, 1);
        const std::tm t = localTime(c.time);
        EXPECT_EQ(t.tm_year + 1900, c.year) << c.zone;
        EXPECT_EQ(t.tm_mon + 1, c.month) << c.zone;
        EXPECT_EQ(t.tm_mday, c.day) << c.zone;
        EXPECT_EQ(t.tm_hour, c.hour) << c.zone << " " << c.time;
        EXPECT_EQ(t.tm_min, c.minute) << c.zone;
        EXPECT_EQ(t.tm_isdst > 0, c.dst == 1) << c.zone << " " << c.time;
    }
}

} // namespace
} // namespace quillmark
