#include "platform/error_handler.h"

#include "support/temp_folder.h"

#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <vector>

namespace quillmark {
namespace {

using test::slurp;

const std::string kFinalLine = "Errorlogging has been automatically cancelled to save disk space.";

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%d/%m/%Y", &local);
    return buf;
}

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setErrorLogPath(m_log);
        resetErrorLogCount();
    }
    // Later tests must not write into this test's removed folder.
    void TearDown() override {
        setErrorLogPath({});
        resetErrorLogCount();
    }
    test::TempFolder m_tmp;
    std::string m_log = m_tmp.file("data/Quillmark/errorlog.dat");
};

TEST_F(ErrorLogTest, CreatesTheLogWithOneTimeStampedLinePerError) {
    const std::string before = today();
    LogError("frmMain.subLoadWallpaperList", "File not found", 12);
    LogError("subSelectProfile", "Bad file name", 0);
    LogError("subUpdateSig", "Path not found", -3);
    LogError("frmEditor.subOpenFile", "Disk full\r\nretry\nlater", 1);
    const std::string after = today();

    const auto entries = lines(slurp(m_log));
    const std::string expected[] = {
        "frmMain.subLoadWallpaperList, File not found line num: 12",
        "subSelectProfile, Bad file name",
        "subUpdateSig, Path not found",
        "frmEditor.subOpenFile, Disk full retry later line num: 1",
    };
    ASSERT_EQ(entries.size(), 4u);
    const std::regex stamp(R"(^(\d\d/\d\d/\d{4}) \d\d:[0-5]\d:[0-5]\d - (.*)$)");
    for (size_t i = 0; i < entries.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(entries[i], m, stamp)) << entries[i];
        EXPECT_TRUE(m[1] == before || m[1] == after) << "day first, then month: " << entries[i];
        EXPECT_EQ(m[2], expected[i]);
    }
}

TEST_F(ErrorLogTest, StopsAfterOneHundredEntriesPerRun) {
    std::filesystem::create_directories(m_tmp.file("data/Quillmark"));
    test::spit(m_log, "01/02/2003 04:05:06 - old, entry\n");
    for (int i = 1; i <= 103; ++i)
        LogError("subLoadFiles", "error " + std::to_string(i), i);
    resetErrorLogCount(); // the program starts again
    LogError("second run", "y");

    const auto entries = lines(slurp(m_log));
    ASSERT_EQ(entries.size(), 103u);
    EXPECT_EQ(entries[0], "01/02/2003 04:05:06 - old, entry");
    EXPECT_TRUE(entries[100].ends_with(" - subLoadFiles, error 100 line num: 100")) << entries[100];
    EXPECT_EQ(entries[101], kFinalLine) << "the 101st error itself is not written";
    EXPECT_TRUE(entries[102].ends_with(" - second run, y")) << entries[102];
}

TEST_F(ErrorLogTest, AnUnwritableLogIsIgnoredQuietly) {
    test::spit(m_tmp.file("blocker"), "a file where the folder belongs");
    setErrorLogPath(m_tmp.file("blocker/errorlog.dat"));
    LogError("subUpdateSig", "Disk full", 3);
    setErrorLogPath(m_tmp.path()); // a folder in the log's place
    LogError("subUpdateSig", "Disk full", 4);

    setErrorLogPath(m_log);
    LogError("subUpdateSig", "written", 5);
    EXPECT_EQ(slurp(m_tmp.file("blocker")), "a file where the folder belongs");
    EXPECT_EQ(lines(slurp(m_log)).size(), 1u);
}

} // namespace
} // namespace quillmark
