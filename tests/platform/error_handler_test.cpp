#include "platform/error_handler.h"

#include "platform/local_time.h"
#include "platform/platform.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace quillmark {
namespace {

std::string today() {
    const std::tm local = localTime(std::time(nullptr));
    char buf[16];
    std::strftime(buf, sizeof buf, "%d/%m/%Y", &local);
    return buf;
}

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override { resetErrorLogCount(); }
    void TearDown() override { // later tests must not write into this test's removed folder
        setErrorLogPath({});
        resetErrorLogCount();
    }
    test::TempFolder m_tmp;
    std::string m_log = m_tmp.file("data/Quillmark/errorlog.dat");
};

TEST_F(ErrorLogTest, OneTimeStampedLinePerErrorAndAnUnwritableLogIsIgnored) {
    test::spit(m_tmp.file("blocker"), "a file where the folder belongs");
    for (const std::string& path : {m_tmp.file("blocker/errorlog.dat"), m_tmp.path()}) {
        setErrorLogPath(path);
        logError("subUpdateSig", "Disk full", 3);
    }
    EXPECT_EQ(test::slurp(m_tmp.file("blocker")), "a file where the folder belongs");

    setErrorLogPath(m_log);
    const std::string before = today();
    logError("frmMain.subLoadWallpaperList", "File not found", 12);
    logError("subUpdateSig", "Path not found", -3);
    logError("frmEditor.subOpenFile", "Disk full\r\nretry\nlater", 1);
    const std::string after = today();
    const std::string log = test::slurp(m_log), stamp = R"(\d\d/\d\d/\d{4} \d\d:[0-5]\d:[0-5]\d - )";
    const std::string end(kLineEnd);
    EXPECT_TRUE(
        std::regex_match(log, std::regex(stamp + "frmMain.subLoadWallpaperList, File not found line num: 12" +
                                         end + stamp + "subUpdateSig, Path not found" + end + stamp +
                                         "frmEditor.subOpenFile, Disk full retry later line num: 1" + end)))
        << log;
    EXPECT_TRUE(log.starts_with(before) || log.starts_with(after)) << "day first, then month: " << log;
}

TEST_F(ErrorLogTest, StopsAfterOneHundredEntriesPerRun) {
    setErrorLogPath(m_log);
    std::filesystem::create_directories(m_tmp.file("data/Quillmark"));
    test::spit(m_log, "01/02/2003 04:05:06 - old, entry\n");
    for (int i = 1; i <= 103; ++i)
        logError("subLoadFiles", "error " + std::to_string(i), i);
    resetErrorLogCount(); // the program starts again
    logError("second run", "y");

    const std::string log = test::slurp(m_log), end(kLineEnd);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 103);
    EXPECT_TRUE(log.starts_with("01/02/2003 04:05:06 - old, entry\n"));
    EXPECT_NE(log.find(" - subLoadFiles, error 100 line num: 100" + end +
                       "Errorlogging has been automatically cancelled to save disk space." + end),
              std::string::npos);
    EXPECT_TRUE(log.ends_with(" - second run, y" + end)) << log;
}

} // namespace
} // namespace quillmark
