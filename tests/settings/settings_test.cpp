#include "settings/settings.h"

#include "platform/error_handler.h"
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
    std::string errorLog() const { return slurp(m_tmp.file("errorlog.dat")); }

    test::TempFolder m_tmp;
    std::string m_ini = m_tmp.file("Quillmark.INI");
};

TEST_F(SettingsTest, FirstRunWritesEachDefaultInCapitalsIntoANewFolder) {
    const std::string path = m_tmp.file("config/Quillmark/Quillmark.INI");
    Settings settings(path);
    EXPECT_EQ(settings.ReadINI("SETTINGS", "INTERVAL_1", 60), "60");
    EXPECT_EQ(settings.ReadINI("SETTINGS", "SIG SEPARATOR CHARACTER", "%"), "%");
    EXPECT_EQ(settings.ReadINI("SETTINGS", "Run At Bootup", true), "-1");
    EXPECT_EQ(settings.ReadINI("SETTINGS", "Boring Colour Scheme", false), "0");
    EXPECT_EQ(settings.ReadINI("Wallpaper", "Shrink to fit screen", true), "-1");
    EXPECT_TRUE(settings.lastStatus().ok()) << settings.lastStatus().message;
    const std::string expected = "[SETTINGS]\nINTERVAL_1=60\nSIG SEPARATOR CHARACTER=%\nRUN AT BOOTUP=True\n"
                                 "BORING COLOUR SCHEME=False\n[Wallpaper]\nSHRINK TO FIT SCREEN=True\n";
    EXPECT_EQ(slurp(path), expected);

    // A second start finds every value in any letter case and writes nothing.
    Settings again(path);
    EXPECT_EQ(again.ReadINI("settings", "run at bootup", false), "-1");
    EXPECT_EQ(again.ReadINI("Settings", "interval_1", 5), "60");
    EXPECT_EQ(slurp(path), expected);

    again.WriteINI("settings", "Run At Bootup", false);
    again.WriteINI("Wallpaper", "Big", -1234567890123LL);
    again.WriteINI("SETTINGS", "Interval_1", 90);
    EXPECT_EQ(slurp(path),
              "[SETTINGS]\nINTERVAL_1=90\nSIG SEPARATOR CHARACTER=%\nRUN AT BOOTUP=False\n"
              "BORING COLOUR SCHEME=False\n[Wallpaper]\nSHRINK TO FIT SCREEN=True\nBIG=-1234567890123\n");
}

TEST_F(SettingsTest, ReadConvertsTrueFalseCutsLongValuesAndFillsEmptyOnes) {
    const std::string cut(253, 'v');
    const std::string head =
        "[S]\nT=True\nF=False\nUPPER=TRUE\nLOWER=false\nSPACED =  True  \nQUOTED=\"False\"\n"
        "LONG=" +
        cut + "vvv\nNUL=abc\0def\n"s;
    spit(m_ini, head + "EMPTY=\nEMPTYQUOTES=''\n; kept\n");
    struct Case {
        const char* key;
        std::string plain;
        std::string withDefault;
    };
    const Case cases[] = {{"t", "-1", "-1"},           {"F", "0", "0"},        {"Upper", "TRUE", "TRUE"},
                          {"lower", "false", "false"}, {"Spaced", "-1", "-1"}, {"Quoted", "0", "0"},
                          {"Long", cut, cut},          {"Nul", "abc", "abc"},  {"Empty", "", "D"},
                          {"EmptyQuotes", "", "D"},    {"Missing", "", "D"}};
    Settings settings(m_ini);
    const std::string before = slurp(m_ini);
    for (const Case& c : cases)
        EXPECT_EQ(settings.ReadINIPlain("s", c.key), c.plain) << c.key;
    EXPECT_EQ(slurp(m_ini), before) << "the plain read must not write";

    for (const Case& c : cases)
        EXPECT_EQ(settings.ReadINI("s", c.key, "D"), c.withDefault) << c.key;
    EXPECT_EQ(slurp(m_ini), head + "EMPTY=D\nEMPTYQUOTES=D\n; kept\nMISSING=D\n");
}

TEST_F(SettingsTest, FailedWriteKeepsTheOldFileAndReadsGiveDefaults) {
    // A settings folder that cannot exist: its parent is a regular file.
    spit(m_tmp.file("blocker"), "not a folder");
    Settings blocked(m_tmp.file("blocker/Quillmark.INI"));
    EXPECT_EQ(blocked.ReadINI("SETTINGS", "Run At Bootup", true), "-1");
    EXPECT_FALSE(blocked.lastStatus().ok());
    EXPECT_EQ(blocked.ReadINIPlain("SETTINGS", "Run At Bootup"), "") << "nothing was stored";
    EXPECT_EQ(slurp(m_tmp.file("blocker")), "not a folder");
    EXPECT_NE(errorLog().find("WriteINI"), std::string::npos);

    Settings settings(m_ini);
    settings.WriteINI("SETTINGS", "", "x");
    EXPECT_FALSE(settings.lastStatus().ok());
    EXPECT_FALSE(std::filesystem::exists(m_ini));

    // A folder where the settings file should be.
    std::filesystem::create_directory(m_ini);
    Settings folder(m_ini);
    EXPECT_EQ(folder.ReadINI("SETTINGS", "INTERVAL_1", 60), "60");
    EXPECT_FALSE(folder.lastStatus().ok());
    EXPECT_TRUE(std::filesystem::is_directory(m_ini));
}

TEST_F(SettingsTest, ReadOnlyOrUnreadableFileIsNeverReplaced) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not stop the superuser";
    const std::string old = "[SETTINGS]\nINTERVAL_1=30\n";
    spit(m_ini, old);
    for (mode_t mode : {0444, 0200}) {
        ::chmod(m_ini.c_str(), mode);
        Settings settings(m_ini);
        EXPECT_EQ(settings.ReadINI("SETTINGS", "INTERVAL_1", 60), mode == 0444 ? "30" : "60");
        EXPECT_EQ(settings.ReadINI("SETTINGS", "Run At Bootup", true), "-1");
        EXPECT_FALSE(settings.lastStatus().ok());
        ::chmod(m_ini.c_str(), 0644);
        EXPECT_EQ(slurp(m_ini), old);
    }
}

TEST_F(SettingsTest, BatchWritesTheFileOnceWhenTheOutermostBatchEnds) {
    Settings settings(m_ini);
    {
        Settings::Batch outer(settings);
        {
            Settings::Batch inner(settings);
            for (int n = 1; n <= 64; ++n)
                EXPECT_EQ(settings.ReadINI("Profiles", "Profile " + std::to_string(n), ""), "");
        }
        EXPECT_FALSE(std::filesystem::exists(m_ini)) << "written before the outer batch ended";
        EXPECT_EQ(settings.ReadINI("PROFILES", "Profile 1", "ignored"), "ignored");
    }
    std::string expected = "[Profiles]\nPROFILE 1=ignored\n";
    for (int n = 2; n <= 64; ++n)
        expected += "PROFILE " + std::to_string(n) + "=\n";
    EXPECT_EQ(slurp(m_ini), expected);
    EXPECT_TRUE(settings.lastStatus().ok());

    // When the single write fails, the status says so and the lost values are not served.
    spit(m_tmp.file("blocker"), "");
    Settings blocked(m_tmp.file("blocker/Quillmark.INI"));
    {
        Settings::Batch batch(blocked);
        blocked.WriteINI("User", "Last Profile", "Work");
        EXPECT_TRUE(blocked.lastStatus().ok());
        EXPECT_EQ(blocked.ReadINIPlain("User", "Last Profile"), "Work");
    }
    EXPECT_FALSE(blocked.lastStatus().ok());
    EXPECT_EQ(blocked.ReadINIPlain("User", "Last Profile"), "");
}

TEST_F(SettingsTest, ChangesMadeByOthersAreSeenAndKept) {
    Settings settings(m_ini);
    settings.WriteINI("S", "A", "1");
    // Same size and, as on a file system with coarse time stamps, the same time.
    const auto stamp = std::filesystem::last_write_time(m_ini);
    spit(m_ini, "[S]\nA=2\n");
    std::filesystem::last_write_time(m_ini, stamp);
    EXPECT_EQ(settings.ReadINIPlain("S", "A"), "2");

    spit(m_ini, "[S]\nA=3\n; added by the user\n");
    settings.WriteINI("S", "B", "4");
    EXPECT_EQ(slurp(m_ini), "[S]\nA=3\n; added by the user\nB=4\n");

    std::filesystem::remove(m_ini);
    EXPECT_EQ(settings.ReadINI("S", "A", "fresh"), "fresh");
    EXPECT_EQ(slurp(m_ini), "[S]\nA=fresh\n");
}

} // namespace
} // namespace quillmark
