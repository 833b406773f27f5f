#include "settings/name_case.h"

#include "profiles/profile_store.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

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
}

TEST(NameCaseTest, ProfilesAndKeysAreFoundInAnyLetterCase) {
    test::TempFolder tmp;
    const std::string ini = tmp.file("Quillmark.INI");
    test::spit(ini, "[Profiles]\nPROFILE 1=Café\nPROFILE 2=caf\xE9 noir\n[Réglages]\nCLÉ=1\n");
    Settings settings(ini);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "CAF\xC9 NOIR", ScanRead::Plain), 2);
    settings.writeIni("réglages", "clé", "2");
    EXPECT_EQ(test::slurp(ini), "[Profiles]\nPROFILE 1=Café\nPROFILE 2=caf\xE9 noir\n[Réglages]\nCLÉ=2\n");
}

} // namespace
} // namespace quillmark
