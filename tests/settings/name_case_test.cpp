#include "settings/name_case.h"

#include "settings/ini_file.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(NameCaseTest, CapitalsOfUtf8AndWindows1252Names) {
    const std::tuple<const char*, std::string, std::string> scripts[] = {
        {"Latin", "școală trường hǎo ərəb zoë ÿ ǆ", "ȘCOALĂ TRƯỜNG HǍO ƏRƏB ZOË Ÿ Ǆ"},
        {"Greek", "αθήνα ἀ", "ΑΘΉΝΑ Ἀ"},
        // Not UTF-8: Windows-1252 bytes, each letter to its capital byte.
        {"Windows-1252", "caf\xE9 \x9A\x9C\x9E\xFF \xE0\xFE \xF7\xDF\xB5",
         "CAF\xC9 \x8A\x8C\x8E\x9F \xC0\xDE \xF7\xDF\xB5"},
        // A broken UTF-8 sequence makes the whole name Windows-1252.
        {"broken UTF-8", "\xC3\xA9\xE3", "\xC3\xA9\xC3"},
        {"no capitals", "straße ĸ 中文 ١٢", "STRAßE ĸ 中文 ١٢"},
    };
    for (const auto& [script, small, capital] : scripts) {
        SCOPED_TRACE(script);
        EXPECT_EQ(toUpperName(small), capital);
        EXPECT_TRUE(sameNameIgnoringCase(small, capital));
    }
    const std::tuple<std::string, std::string, bool> pairs[] = {
        {"CAFÉ", "caf\xE9", true}, // a name typed in UTF-8 finds one stored by the Windows program
        {"Cafe", "Café", false},
        {"ΑΘΗΝΑ", "αθήνα", false},
        {"Work", "work ", false},
    };
    for (const auto& [a, b, same] : pairs)
        EXPECT_EQ(sameNameIgnoringCase(a, b), same) << a << " / " << b;
    // The settings file finds its sections and keys in any letter case.
    IniFile ini("[Réglages]\nCLÉ=1\n");
    EXPECT_EQ(ini.setValue("réglages", "clé", "2"), IniFile::SetResult::Changed);
    EXPECT_EQ(ini.bytes(), "[Réglages]\nclé=2\n");
}

} // namespace
} // namespace quillmark
