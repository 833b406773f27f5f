#include "settings/name_case.h"

#include "profiles/profile_store.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(NameCaseTest, CapitalsOfUtf8AndWindows1252Names) {
    const std::pair<std::string, std::string> cases[] = {
        {"Café", "CAFÉ"},
        {"straße ÷ ÿ µ", "STRAßE ÷ Ÿ Μ"},
        {"łódź ŝ ı ĸ", "ŁÓDŹ Ŝ I ĸ"},
        {"αβγ άέήίόύώ ς", "ΑΒΓ ΆΈΉΊΌΎΏ Σ"},
        {"москва ёж ђ", "МОСКВА ЁЖ Ђ"},
        {"Ελένη-Ирина-Zoë-Nguyễn", "ΕΛΈΝΗ-ИРИНА-ZOË-NGUYỄN"},
        // Not UTF-8: Windows-1252 bytes, each letter to its capital byte.
        {"caf\xE9", "CAF\xC9"},
        {"\x9A\x9C\x9E\xFF \xE0\xFE \xF7\xDF\xB5", "\x8A\x8C\x8E\x9F \xC0\xDE \xF7\xDF\xB5"},
        // A broken UTF-8 sequence makes the whole name Windows-1252.
        {"\xC3\xA9\xE3", "\xC3\xA9\xC3"},
    };
    for (const auto& [name, upper] : cases)
        EXPECT_EQ(toUpperName(name), upper) << name;

    const std::tuple<std::string, std::string, bool> pairs[] = {
        {"CAFÉ", "Café", true},      {"CAF\xC9", "caf\xE9", true},
        {"CAFÉ", "caf\xE9", true}, // a name typed in UTF-8 finds one stored by the Windows program
        {"\x8Akoda", "ŠKODA", true}, {"ΑΘΉΝΑ", "αθήνα", true},
        {"ОЛЬГА", "ольга", true},    {"Zoë и Ελένη", "ZOË И ΕΛΈΝΗ", true},
        {"Cafe", "Café", false},     {"ΑΘΗΝΑ", "αθήνα", false},
        {"Work", "work ", false},
    };
    for (const auto& [a, b, same] : pairs)
        EXPECT_EQ(sameNameIgnoringCase(a, b), same) << a << " / " << b;
}

TEST(NameCaseTest, ProfilesAndKeysAreFoundInAnyLetterCase) {
    test::TempFolder tmp;
    const std::string ini = tmp.file("Quillmark.INI");
    test::spit(ini, "[Profiles]\nPROFILE 1=Café\nPROFILE 2=caf\xE9 noir\nPROFILE 3=Ольга\n"
                    "[Réglages]\nCLÉ=1\n");
    Settings settings(ini);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "CAFÉ", ScanRead::Plain), 1);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "CAF\xC9 NOIR", ScanRead::Plain), 2);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "ОЛЬГА", ScanRead::Plain), 3);
    EXPECT_EQ(settings.ReadINIPlain("RÉGLAGES", "clé"), "1");
    settings.WriteINI("réglages", "clé", "2");
    EXPECT_EQ(test::slurp(ini), "[Profiles]\nPROFILE 1=Café\nPROFILE 2=caf\xE9 noir\nPROFILE 3=Ольга\n"
                                "[Réglages]\nCLÉ=2\n");
}

} // namespace
} // namespace quillmark
