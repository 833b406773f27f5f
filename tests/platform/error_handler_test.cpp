#include "platform/error_handler.h"

#include "platform/local_time.h"
#include "platform/platform.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <algorithm>
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

TEST_F(ErrorLogTest, StopsAfterOneHundredEntriesPerRun) {
    setErrorLogPath(m_log);
    test::spit(m_log, "01/02/2003 04:05:06 - old, entry\n");
    for (int i = 1; i <= 103; ++i)
        logError("subLoadFiles", "error " + std::to_string(i), i);
    resetErrorLogCount(); // the program starts again
    logError("second run", "y");
    const std::string log = test::slurp(m_log), end(kLineEnd);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 103);
    EXPECT_NE(log.find(" - subLoadFiles, error 100 line num: 100" + end +
                       "Errorlogging has been automatically cancelled to save disk space." + end),
              std::string::npos);
    EXPECT_TRUE(log.ends_with(" - second run, y" + end)) << log;
}

// Noon UTC on 1 July and 1 January 2024 in Central European time, then a zone changed between calls.
TEST(ZoneTest, LocalTimeFollowsTheZoneInForceAtEachCall) {
    const struct {
        const char* zone;
        std::time_t time;
        int day, hour, minute;
    } cases[] = {{"CET-1CEST,M3.5.0,M10.5.0/3", 1719835200, 1, 14, 0},
                 {"CET-1CEST,M3.5.0,M10.5.0/3", 1704110400, 1, 13, 0},
                 {"XYZ+5:30", 1704110400, 1, 6, 30}};
    for (const auto& c : cases) {
        test::ScopedEnv zone("TZ", c.zone);
        const std::tm t = localTime(c.time);
        EXPECT_EQ(std::make_tuple(t.tm_mday, t.tm_hour, t.tm_min), std::make_tuple(c.day, c.hour, c.minute))
            << c.zone << " " << c.time;
    }
}

} // namespace
} // namespace quillmark
