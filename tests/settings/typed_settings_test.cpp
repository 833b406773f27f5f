#include "settings/typed_settings.h"

#include "platform/error_handler.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::slurp;
using test::spit;

TEST(TypedSettingsTest, FlagsAreOffOnlyForZeroOrFalseAndMissingOnesGetTheTableDefault) {
    test::TempFolder tmp;
    setErrorLogPath(tmp.file("errorlog.dat"));
    const std::string ini = tmp.file("Quillmark.INI");
    spit(ini, "[SETTINGS]\nRUN AT BOOTUP=0\nSHOW SPLASH SCREEN=False\nBORING COLOUR SCHEME=-1\n"
              "DISPLAY PROPORTIONAL FONTS=yes\n");
    Settings settings(ini);
    EXPECT_FALSE(readFlag(settings, keys::kRunAtBootup));
    EXPECT_FALSE(readFlag(settings, keys::kShowSplashScreen));
    EXPECT_TRUE(readFlag(settings, keys::kBoringColourScheme));
    EXPECT_TRUE(readFlag(settings, keys::kProportionalFonts));
    // Missing: the table's default is the answer and is written back.
    EXPECT_TRUE(readFlag(settings, keys::kAddDashes));
    EXPECT_FALSE(readFlag(settings, keys::kWallpaperOnStartup));
    EXPECT_EQ(readText(settings, keys::kInterval1), "60");
    EXPECT_EQ(slurp(ini), "[SETTINGS]\nRUN AT BOOTUP=0\nSHOW SPLASH SCREEN=False\nBORING COLOUR SCHEME=-1\n"
                          "DISPLAY PROPORTIONAL FONTS=yes\nADD DASHES TO SIG HEADER=True\n"
                          "WALLPAPER CHANGE AT STARTUP=False\nINTERVAL_1=60\n");

    writeFlag(settings, keys::kRunAtBootup, true);
    writeFlag(settings, keys::kBoringColourScheme, false);
    writeText(settings, keys::kSeparator, "#");
    EXPECT_EQ(slurp(ini),
              "[SETTINGS]\nRUN AT BOOTUP=True\nSHOW SPLASH SCREEN=False\nBORING COLOUR SCHEME=False\n"
              "DISPLAY PROPORTIONAL FONTS=yes\nADD DASHES TO SIG HEADER=True\n"
              "WALLPAPER CHANGE AT STARTUP=False\nINTERVAL_1=60\nSIG SEPARATOR CHARACTER=#\n");
    EXPECT_TRUE(readFlag(settings, keys::kRunAtBootup));
    EXPECT_EQ(readText(settings, keys::kSeparator), "#");
}

TEST(TypedSettingsTest, PlainReadsGiveTheTableDefaultAndNeverWrite) {
    test::TempFolder tmp;
    setErrorLogPath(tmp.file("errorlog.dat"));
    const std::string ini = tmp.file("Quillmark.INI");
    const std::string bytes = "[SETTINGS]\nADD DASHES TO SIG HEADER=False\nSIG SEPARATOR CHARACTER=\n";
    spit(ini, bytes);
    Settings settings(ini);
    EXPECT_FALSE(readFlagPlain(settings, keys::kAddDashes));
    EXPECT_TRUE(readFlagPlain(settings, keys::kRunAtBootup));
    EXPECT_FALSE(readFlagPlain(settings, keys::kBoringColourScheme));
    EXPECT_EQ(readTextPlain(settings, keys::kSeparator), "%");
    EXPECT_EQ(readTextPlain(settings, keys::kInterval1), "60");
    EXPECT_EQ(slurp(ini), bytes);
}

} // namespace
} // namespace quillmark
