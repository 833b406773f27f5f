#include "settings/settings.h"
#include "settings/typed_settings.h"

#include "platform/error_handler.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    std::string log() const { return slurp(m_tmp.file("errorlog.dat")); }

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
    const std::string expected = test::withLineEnds(
        "[SETTINGS]\nINTERVAL_1=60\nRUN AT BOOTUP=True\n[Wallpaper]\nSHRINK TO FIT=False\n");
    EXPECT_EQ(slurp(path), expected);
}

TEST_F(SettingsTest, ReadConvertsTrueFalseCutsLongValuesAndFillsEmptyOnes) {
    const std::string cut(253, 'v');
    const std::string head =
        test::withLineEnds("[S]\nT=True\nF=False\nQUOTED=\"False\"\nLONG=" + cut + "vvv\nNUL=a\0b\n"s);
    spit(m_ini, head + test::withLineEnds("EMPTY=\n; kept\n"));
    const std::pair<const char*, std::string> cases[] = {{"t", "-1"},    {"F", "0"},   {"Quoted", "0"},
                                                         {"Long", cut},  {"Nul", "a"}, {"Empty", ""},
                                                         {"Missing", ""}};
    Settings settings(m_ini);
    for (const auto& [key, plain] : cases)
        EXPECT_EQ(settings.readIniPlain("s", key), plain) << key;
    EXPECT_EQ(slurp(m_ini), head + test::withLineEnds("EMPTY=\n; kept\n")) << "the plain read must not write";
    for (const auto& [key, plain] : cases)
        EXPECT_EQ(settings.readIni("s", key, "D"), plain.empty() ? "D" : plain) << key;
    EXPECT_EQ(slurp(m_ini), head + test::withLineEnds("EMPTY=D\n; kept\nMISSING=D\n"));
}

TEST_F(SettingsTest, FailedWriteKeepsTheOldFileAndReadsGiveDefaults) {
    spit(m_tmp.file("blocker"), "not a folder"); // the settings folder's parent is a file
    Settings blocked(m_tmp.file("blocker/Quillmark.INI"));
    EXPECT_TRUE(blocked.readable().ok()) << "a settings file that is not there yet is readable";
    EXPECT_EQ(blocked.readIni("SETTINGS", "Run At Bootup", true), "-1");
    { // a batch's single write fails, and the lost values are not served afterwards
        Settings::Batch batch(blocked);
        blocked.writeIni("User", "Last Profile", "Work");
    }
    EXPECT_EQ(blocked.readIniPlain("User", "Last Profile"), "");
    EXPECT_EQ(slurp(m_tmp.file("blocker")), "not a folder");
    EXPECT_NE(log().find("WriteINI"), std::string::npos);
}

TEST_F(SettingsTest, ReadOnlyOrUnreadableFileIsNeverReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "no permission bits; the file functions' test sets the read-only attribute";
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
        ::chmod(m_ini.c_str(), 0644);
        EXPECT_EQ(slurp(m_ini), old);
    }
#endif
}

TEST_F(SettingsTest, ChangesOfOtherWritersAreSeenKeptAndCounted) {
    Settings settings(m_ini);
    const std::uint64_t start = settings.checkForOutsideChanges();
    settings.writeIni("S", "A", "1");
    EXPECT_EQ(settings.checkForOutsideChanges(), start) << "own writes do not count";
    // Same size and, as on a file system with coarse time stamps, the same time.
    const auto stamp = std::filesystem::last_write_time(m_ini);
    spit(m_ini, test::withLineEnds("[S]\nA=2\n"));
    std::filesystem::last_write_time(m_ini, stamp);
    EXPECT_EQ(settings.readIniPlain("S", "A"), "2");
    EXPECT_EQ(settings.checkForOutsideChanges(), start + 1);

    spit(m_ini, test::withLineEnds("[S]\nA=3\n; added by the user\n"));
    Settings other(m_ini);
    { // a scan writes back empty defaults; a key set by the other writer meanwhile wins
        Settings::Batch batch(settings);
        EXPECT_EQ(settings.readIni("S", "B", ""), "");
        settings.writeIni("S", "C", "mine");
        other.writeIni("S", "B", "theirs");
    }
    EXPECT_EQ(slurp(m_ini), test::withLineEnds("[S]\nA=3\n; added by the user\nB=theirs\nC=mine\n"));
}

TEST_F(SettingsTest, TransactionDecidesFromTheFileAsItIsUnderTheLock) {
    spit(m_ini, test::withLineEnds("[Profiles]\nPROFILE 1=Friends\n"));
    Settings program(m_ini), cli(m_ini);
    EXPECT_EQ(program.readIniPlain("Profiles", "Profile 2"), "");
    cli.writeIni("Profiles", "Profile 2", "Work");
    cli.setLockTimeout(std::chrono::milliseconds(50));
    {
        Settings::Transaction tx(program);
        ASSERT_TRUE(tx.status().ok());
        EXPECT_EQ(program.readIniPlain("Profiles", "Profile 2"), "Work") << "read from before the lock";
        cli.writeIni("Profiles", "Profile 3", "Late"); // must not land in the middle
        program.writeIni("Profiles", "Profile 3", "Mine");
        // While the program holds the lock, a transaction of the other writer changes nothing.
        Settings::Transaction refused(cli);
        EXPECT_FALSE(refused.status().ok());
        cli.writeIni("Profiles", "Profile 4", "Lost");
        EXPECT_EQ(cli.readIniPlain("Profiles", "Profile 4"), "");
        EXPECT_FALSE(refused.commit().ok());
        EXPECT_TRUE(tx.commit().ok());
    }
    EXPECT_EQ(slurp(m_ini),
              test::withLineEnds("[Profiles]\nPROFILE 1=Friends\nPROFILE 2=Work\nPROFILE 3=Mine\n"));
}

TEST_F(SettingsTest, FlagsAreOffOnlyForZeroOrFalseAndPlainReadsNeverWrite) {
    const std::string bytes =
        test::withLineEnds("[SETTINGS]\nRUN AT BOOTUP=0\nSHOW SPLASH SCREEN=False\nDISPLAY "
                           "PROPORTIONAL FONTS=yes\nSIG SEPARATOR CHARACTER=\n");
    spit(m_ini, bytes);
    Settings settings(m_ini);
    const std::pair<const keys::SettingKey*, bool> flags[] = {
        {&keys::kRunAtBootup, false}, {&keys::kShowSplashScreen, false}, {&keys::kProportionalFonts, true}};
    for (const auto& [key, on] : flags)
        EXPECT_EQ(readFlagPlain(settings, *key), on) << key->key;
    EXPECT_EQ(readTextPlain(settings, keys::kSeparator), "%");
    EXPECT_EQ(slurp(m_ini), bytes) << "the plain reads wrote";
}

TEST_F(SettingsTest, StorableValueIsExactlyWhatTheFileGivesBack) {
    Settings settings(m_ini);
    for (const std::string& value : {"Work = office [main]; ok"s, std::string(253, 'x'),
                                     std::string(254, 'x'), " Friends"s, "two\nlines"s, "\"quoted\""s}) {
        settings.writeIni("Profiles", "Profile 1", value);
        const bool comesBack = settings.readIniPlain("Profiles", "Profile 1") == value;
        EXPECT_EQ(checkStorableValue(value).ok(), comesBack) << value.substr(0, 20);
    }
}

} // namespace
} // namespace quillmark
