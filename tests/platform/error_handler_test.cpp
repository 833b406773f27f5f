#include "platform/error_handler.h"

#include "platform/local_time.h"
#include "platform/platform.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <regex>

namespace quillmark {
namespace {

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override { resetErrorLogCount(); }
    void TearDown() override { setErrorLogPath({}); } // later tests must not log into a removed folder
    test::TempFolder m_tmp;
    std::string m_log = m_tmp.file("errorlog.dat");
};

TEST_F(ErrorLogTest, OneTimeStampedLinePerErrorAndAnUnwritableLogIsIgnored) {
    setErrorLogPath(m_tmp.path()); // a folder where the log belongs
    logError("subUpdateSig", "Disk full", 3);
    setErrorLogPath(m_log);
    char today[16];
    const std::tm local = localTime(std::time(nullptr));
    std::strftime(today, sizeof today, "%d/%m/%Y", &local); // day first, then month
    logError("subUpdateSig", "Path not found", -3);
    logError("frmEditor.subOpenFile", "Disk full\r\nretry\nlater", 1);
    const std::string log = test::slurp(m_log), end(kLineEnd);
    const std::string stamp = std::string(today).substr(0, 6) + R"(\d{4} \d\d:[0-5]\d:[0-5]\d - )";
    EXPECT_TRUE(
        std::regex_match(log, std::regex(stamp + "subUpdateSig, Path not found" + end + stamp +
                                         "frmEditor.subOpenFile, Disk full retry later line num: 1" + end)))
        << log;
}

TEST_F(ErrorLogTest, StopsAfterOneHundredEntries) {
    setErrorLogPath(m_log);
    for (int i = 1; i <= 103; ++i)
        logError("subLoadFiles", "error " + std::to_string(i), i);
    const std::string log = test::slurp(m_log);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 101) << "100 entries and the notice";
    EXPECT_NE(log.find(" - subLoadFiles, error 100 line num: 100"), std::string::npos);
}

// Noon UTC on 1 July 2024 in Central European summer time, then on 1 January in two other zones.
TEST(ZoneTest, LocalTimeFollowsTheZoneInForceAtEachCall) {
    const std::tuple<const char*, std::time_t, int, int> cases[] = {
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1719835200, 14, 0},
        {"XYZ+5:30", 1704110400, 6, 30},
        {"ABC-2", 1704110400, 14, 0}};
    for (const auto& [zone, time, hour, minute] : cases) {
        if (test::kOnWindows && std::strchr(zone, ','))
            continue; // Windows reads no summer-time rules from TZ
        test::ScopedEnv tz("TZ", zone);
        const std::tm t = localTime(time);
        EXPECT_EQ(std::make_pair(t.tm_hour, t.tm_min), std::make_pair(hour, minute)) << zone;
    }
}

} // namespace
} // namespace quillmark
