#include "settings/settings.h"

#include "platform/error_handler.h"
#include "platform/file_lock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

using test::slurp;
using test::spit;
using namespace std::string_literals;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setErrorLogPath(m_tmp.file("errorlog.dat"));
        resetErrorLogCount();
    }

    test::TempFolder m_tmp;
    std::string m_ini = m_tmp.file("Quillmark.INI");
};

TEST_F(SettingsTest, FirstRunWritesEachDefaultInCapitalsOnceTheOutermostBatchEnds) {
    const std::string path = m_tmp.file("config/Quillmark/Quillmark.INI");
    Settings settings(path);
    {
        Settings::Batch outer(settings);
        {
            Settings::Batch inner(settings);
            EXPECT_EQ(settings.readIni("SETTINGS", "INTERVAL_1", 60), "60");
            EXPECT_EQ(settings.readIni("SETTINGS", "Run At Bootup", true), "-1");
        }
        EXPECT_FALSE(std::filesystem::exists(path)) << "written before the outer batch ended";
        EXPECT_EQ(settings.readIni("Wallpaper", "Shrink to fit", false), "0");
    }
    const std::string expected =
        "[SETTINGS]\nINTERVAL_1=60\nRUN AT BOOTUP=True\n[Wallpaper]\nSHRINK TO FIT=False\n";
    EXPECT_EQ(slurp(path), expected);

    // A second start finds every value in any letter case and writes nothing.
    Settings again(path);
    EXPECT_EQ(again.readIni("settings", "run at bootup", false), "-1");
    EXPECT_EQ(slurp(path), expected);
    again.writeIni("settings", "Run At Bootup", false);
    again.writeIni("Wallpaper", "Big", -1234567890123LL);
    EXPECT_EQ(slurp(path), "[SETTINGS]\nINTERVAL_1=60\nRUN AT BOOTUP=False\n[Wallpaper]\nSHRINK TO "
                           "FIT=False\nBIG=-1234567890123\n");
}

TEST_F(SettingsTest, ReadConvertsTrueFalseCutsLongValuesAndFillsEmptyOnes) {
    const std::string cut(253, 'v');
    const std::string head =
        "[S]\nT=True\nF=False\nUPPER=TRUE\nQUOTED=\"False\"\nLONG=" + cut + "vvv\nNUL=a\0b\n"s;
    const std::string tail = "EMPTY=\nEMPTYQUOTES=''\n; kept\n";
    spit(m_ini, head + tail);
    const std::pair<const char*, std::string> cases[] = {
        {"t", "-1"},  {"F", "0"},    {"Upper", "TRUE"},   {"Quoted", "0"}, {"Long", cut},
        {"Nul", "a"}, {"Empty", ""}, {"EmptyQuotes", ""}, {"Missing", ""}};
    Settings settings(m_ini);
    for (const auto& [key, plain] : cases)
        EXPECT_EQ(settings.readIniPlain("s", key), plain) << key;
    EXPECT_EQ(slurp(m_ini), head + tail) << "the plain read must not write";
    for (const auto& [key, plain] : cases)
        EXPECT_EQ(settings.readIni("s", key, "D"), plain.empty() ? "D" : plain) << key;
    EXPECT_EQ(slurp(m_ini), head + "EMPTY=D\nEMPTYQUOTES=D\n; kept\nMISSING=D\n");
}

TEST_F(SettingsTest, FailedWriteKeepsTheOldFileAndReadsGiveDefaults) {
    spit(m_tmp.file("blocker"), "not a folder"); // the settings folder's parent is a file
    Settings blocked(m_tmp.file("blocker/Quillmark.INI"));
    EXPECT_TRUE(blocked.readable().ok()) << "a settings file that is not there yet is readable";
    EXPECT_EQ(blocked.readIni("SETTINGS", "Run At Bootup", true), "-1");
    EXPECT_EQ(blocked.readIniPlain("SETTINGS", "Run At Bootup"), "") << "nothing was stored";
    EXPECT_EQ(slurp(m_tmp.file("blocker")), "not a folder");
    EXPECT_NE(slurp(m_tmp.file("errorlog.dat")).find("WriteINI"), std::string::npos);

    { // a batch's single write fails too, and the lost values are not served
        Settings::Batch batch(blocked);
        blocked.writeIni("User", "Last Profile", "Work");
        EXPECT_EQ(blocked.readIniPlain("User", "Last Profile"), "Work");
    }
    EXPECT_EQ(blocked.readIniPlain("User", "Last Profile"), "");

    // A UTF-16 file is read but never written, and the refusal names it.
    const std::string unicode = m_tmp.file("unicode.INI");
    const std::string wide = "\xFF\xFE[\0S\0]\0\n\0A\0=\0"
                             "1\0\n\0"s;
    spit(unicode, wide);
    Settings utf16(unicode);
    EXPECT_EQ(utf16.readIni("S", "B", "9"), "9");
    Settings::Transaction refused(utf16);
    EXPECT_NE(refused.status().message().find(unicode + " is saved as UTF-16"), std::string::npos);
    EXPECT_EQ(slurp(unicode), wide);
    EXPECT_NE(slurp(m_tmp.file("errorlog.dat")).find(unicode + " is saved as UTF-16"), std::string::npos);

    std::filesystem::create_directory(m_ini);
    Settings folder(m_ini);
    EXPECT_EQ(folder.readIni("SETTINGS", "INTERVAL_1", 60), "60");
    const Status status = folder.readable();
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.code(), ErrorCode::IsDirectory);
    EXPECT_TRUE(std::filesystem::is_directory(m_ini));
}

TEST_F(SettingsTest, ReadOnlyOrUnreadableFileIsNeverReplaced) {
#ifdef _WIN32
    GTEST_SKIP()
        << "Windows has no permission bits; the read-only attribute is tested with its file functions";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not stop the superuser";
    const std::string old = "[SETTINGS]\nINTERVAL_1=30\n";
    spit(m_ini, old);
    for (mode_t mode : {0444, 0200}) {
        ::chmod(m_ini.c_str(), mode);
        Settings settings(m_ini);
        EXPECT_EQ(settings.readIni("SETTINGS", "INTERVAL_1", 60), mode == 0444 ? "30" : "60");
        EXPECT_EQ(settings.readable().ok(), mode == 0444);
        resetErrorLogCount();
        std::filesystem::remove(m_tmp.file("errorlog.dat"));
        EXPECT_EQ(settings.readIni("SETTINGS", "Run At Bootup", true), "-1");
        EXPECT_NE(slurp(m_tmp.file("errorlog.dat")).find("WriteINI"), std::string::npos)
            << "failure not logged";
        ::chmod(m_ini.c_str(), 0644);
        EXPECT_EQ(slurp(m_ini), old);
    }
    // No lock file can be made in a read-only folder: the message names the folder.
    const std::string folder = m_tmp.file("read-only");
    std::filesystem::create_directory(folder);
    spit(folder + "/Quillmark.INI", old);
    ::chmod(folder.c_str(), 0555);
    Settings settings(folder + "/Quillmark.INI");
    settings.writeIni("SETTINGS", "INTERVAL_1", 45);
    EXPECT_NE(slurp(m_tmp.file("errorlog.dat")).find("in the read-only folder " + folder + ": "),
              std::string::npos);
#endif
}

TEST_F(SettingsTest, ChangesMadeByOthersAreSeenAndKept) {
    Settings settings(m_ini);
    settings.writeIni("S", "A", "1");
    // Same size and, as on a file system with coarse time stamps, the same time.
    const auto stamp = std::filesystem::last_write_time(m_ini);
    spit(m_ini, "[S]\nA=2\n");
    std::filesystem::last_write_time(m_ini, stamp);
    EXPECT_EQ(settings.readIniPlain("S", "A"), "2");

    spit(m_ini, "[S]\nA=3\n; added by the user\n");
    settings.writeIni("S", "B", "4");
    EXPECT_EQ(slurp(m_ini), "[S]\nA=3\n; added by the user\nB=4\n");

    std::filesystem::remove(m_ini);
    EXPECT_EQ(settings.readIni("S", "A", "fresh"), "fresh");
    EXPECT_EQ(slurp(m_ini), "[S]\nA=fresh\n");
}

TEST_F(SettingsTest, TwoWritersOfOneFileLoseNoChangeOfEachOther) {
    spit(m_ini, "[Profiles]\nPROFILE 1=Friends\n");
    Settings program(m_ini);
    Settings cli(m_ini);
    {
        Settings::Batch batch(program);
        // A scan writes back empty defaults; a key set by the other writer meanwhile wins.
        EXPECT_EQ(program.readIni("Profiles", "Profile 2", ""), "");
        EXPECT_EQ(program.readIni("Profiles", "Profile 3", ""), "");
        program.writeIni("SETTINGS", "INTERVAL_1", 30);
        cli.writeIni("Profiles", "Profile 2", "Work");
        cli.writeIni("User", "Last Profile", "Work");
    }
    EXPECT_EQ(slurp(m_ini),
              "[Profiles]\nPROFILE 1=Friends\nPROFILE 2=Work\nPROFILE 3=\n[User]\nLAST PROFILE=Work\n"
              "[SETTINGS]\nINTERVAL_1=30\n");
    EXPECT_EQ(program.readIniPlain("Profiles", "Profile 2"), "Work");
}

TEST_F(SettingsTest, TransactionDecidesFromTheFileAsItIsUnderTheLock) {
    spit(m_ini, "[Profiles]\nPROFILE 1=Friends\n");
    Settings program(m_ini);
    EXPECT_EQ(program.readIniPlain("Profiles", "Profile 2"), "");
    Settings cli(m_ini);
    cli.writeIni("Profiles", "Profile 2", "Work");
    {
        Settings::Transaction tx(program);
        ASSERT_TRUE(tx.status().ok());
        EXPECT_EQ(program.readIniPlain("Profiles", "Profile 2"), "Work") << "read from before the lock";
        // The other writer now waits: its change must not land in the middle.
        cli.setLockTimeout(std::chrono::milliseconds(50));
        cli.writeIni("Profiles", "Profile 3", "Late");
        program.writeIni("Profiles", "Profile 3", "Mine");
        EXPECT_TRUE(tx.commit().ok());
    }
    EXPECT_EQ(slurp(m_ini), "[Profiles]\nPROFILE 1=Friends\nPROFILE 2=Work\nPROFILE 3=Mine\n");
    EXPECT_NE(slurp(m_tmp.file("errorlog.dat")).find("did not let go within 50 ms"), std::string::npos);
}

TEST_F(SettingsTest, LockHeldByAnotherProgramChangesNothingAndAKilledHoldersFileDoesNotBlock) {
    spit(m_ini, "[S]\nA=1\n");
    Settings settings(m_ini);
    settings.setLockTimeout(std::chrono::milliseconds(100));
    {
        Result<FileLock> other = FileLock::acquire(settings.lockPath(), std::chrono::milliseconds(0));
        ASSERT_TRUE(other.ok()) << other.message();
        settings.writeIni("S", "A", "2");
        EXPECT_EQ(slurp(m_ini), "[S]\nA=1\n");
        EXPECT_EQ(settings.readIniPlain("S", "A"), "1") << "a dropped write still shows";

        Settings::Transaction tx(settings);
        EXPECT_FALSE(tx.status().ok());
        settings.writeIni("S", "B", "3");
        EXPECT_EQ(settings.readIniPlain("S", "B"), "");
        EXPECT_FALSE(tx.commit().ok());
        EXPECT_EQ(slurp(m_ini), "[S]\nA=1\n");
    }
    // The lock file stays behind, as after a killed program; it blocks nobody.
    ASSERT_TRUE(std::filesystem::exists(settings.lockPath()));
    settings.writeIni("S", "A", "4");
    EXPECT_EQ(slurp(m_ini), "[S]\nA=4\n");
}

TEST_F(SettingsTest, OutsideChangesAreCountedButOwnWritesAreNot) {
    Settings settings(m_ini);
    const std::uint64_t start = settings.checkForOutsideChanges();
    settings.writeIni("S", "A", "1");
    EXPECT_EQ(settings.checkForOutsideChanges(), start);
    Settings other(m_ini);
    other.writeIni("S", "B", "2");
    EXPECT_EQ(settings.checkForOutsideChanges(), start + 1);
    EXPECT_EQ(settings.checkForOutsideChanges(), start + 1);
    settings.writeIni("S", "C", "3");
    EXPECT_EQ(settings.checkForOutsideChanges(), start + 1);
    EXPECT_EQ(slurp(m_ini), "[S]\nA=1\nB=2\nC=3\n");
}

} // namespace
// The rule must agree with the settings file itself: a value it accepts comes back the same.
TEST(StorableValue, IsExactlyWhatTheFileGivesBack) {
    test::TempFolder dir;
    Settings settings(dir.file("Quillmark.INI"));
    const std::string values[] = {"Friends",
                                  "Work = office [main]; ok",
                                  std::string(253, 'x'),
                                  std::string(254, 'x'),
                                  std::string(10000, 'n'),
                                  " Friends",
                                  "Friends\t",
                                  "two\nlines",
                                  "caf\xC3\xA9",
                                  "\"quoted\"",
                                  "\'single\'",
                                  "True",
                                  "False"};
    for (const std::string& value : values) {
        settings.writeIni("Profiles", "Profile 1", value);
        const bool comesBack = settings.readIniPlain("Profiles", "Profile 1") == value;
        EXPECT_EQ(checkStorableValue(value).ok(), comesBack) << value.substr(0, 20);
    }
}

} // namespace quillmark
