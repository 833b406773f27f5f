#include "settings/name_case.h"

#include "profiles/profile_store.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(NameCaseTest, CapitalsOfUtf8AndWindows1252Names) {
    // A sample of every script that has letter case.
    const std::tuple<const char*, std::string, std::string> scripts[] = {
        {"Latin", "școală trường hǎo ərəb zoë ÿ ǆ", "ȘCOALĂ TRƯỜNG HǍO ƏRƏB ZOË Ÿ Ǆ"},
        {"Greek", "αθήνα ἀ", "ΑΘΉΝΑ Ἀ"},
#ifndef _WIN32
        // Capitals of a second small form: the C library gives them, Windows keeps the letter.
        {"shared capitals", "ı µ ς", "I Μ Σ"},
#endif
        {"Coptic", "ⲁⲃⲅ", "ⲀⲂⲄ"},
        {"Cyrillic", "москва ђ ꙁ ӏ", "МОСКВА Ђ Ꙁ Ӏ"},
        {"Armenian", "հայ", "ՀԱՅ"},
        {"Georgian", "ⴀⴁ აბ", "ႠႡ ᲐᲑ"},
        {"Glagolitic", "ⰰⰱ", "ⰀⰁ"},
        {"Cherokee", "ꭰᏸ", "ᎠᏰ"},
        {"Deseret", "𐐨𐐩", "𐐀𐐁"},
        {"Osage", "𐓘𐓙", "𐒰𐒱"},
        {"Old Hungarian", "𐳀𐳁", "𐲀𐲁"},
        {"Warang Citi", "𑣀𑣁", "𑢠𑢡"},
        {"Medefaidrin", "𖹠𖹡", "𖹀𖹁"},
        {"Adlam", "𞤢𞤣", "𞤀𞤁"},
        {"Vithkuqi", "𐖗𐖘", "𐕰𐕱"},
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
        {"\x8Akoda", "ŠKODA", true}, {"Cafe", "Café", false},
        {"ΑΘΗΝΑ", "αθήνα", false},   {"Work", "work ", false},
    };
    for (const auto& [a, b, same] : pairs)
        EXPECT_EQ(sameNameIgnoringCase(a, b), same) << a << " / " << b;
}

TEST(NameCaseTest, ProfilesAndKeysAreFoundInAnyLetterCase) {
    test::TempFolder tmp;
    const std::string ini = tmp.file("Quillmark.INI");
    test::spit(ini, "[Profiles]\nPROFILE 1=Café\nPROFILE 2=caf\xE9 noir\nPROFILE 3=școală\n"
                    "[Réglages]\nCLÉ=1\n");
    Settings settings(ini);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "CAFÉ", ScanRead::Plain), 1);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "CAF\xC9 NOIR", ScanRead::Plain), 2);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "Școală", ScanRead::Plain), 3);
    EXPECT_EQ(settings.readIniPlain("RÉGLAGES", "clé"), "1");
    settings.writeIni("réglages", "clé", "2");
    EXPECT_EQ(test::slurp(ini), "[Profiles]\nPROFILE 1=Café\nPROFILE 2=caf\xE9 noir\nPROFILE 3=școală\n"
                                "[Réglages]\nCLÉ=2\n");
}

} // namespace
} // namespace quillmark
