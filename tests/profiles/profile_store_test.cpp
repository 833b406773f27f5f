#include "profiles/profile_store.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using Names = std::vector<std::string>;

class ProfileStoreTest : public ::testing::Test {
protected:
    void store(int slot, const std::string& name) {
        const std::string n = std::to_string(slot);
        writeProfileSlot(settings, slot, {name, "/h" + n, "/f" + n, "/s" + n});
    }
    test::TempFolder dir;
    std::string ini = dir.file("Quillmark.INI");
    Settings settings{ini};
};

TEST_F(ProfileStoreTest, RemovedSlotIsReusedAndListingKeepsSlotOrder) {
    store(1, "Friends");
    store(2, "Work");
    store(3, "Family");
    writeProfileSlot(settings, 2, {}); // removing writes empty values, the lines stay
    EXPECT_NE(test::slurp(ini).find("PROFILE 2=\n"), std::string::npos);
    EXPECT_EQ(listProfileNames(settings), (Names{"Friends", "Family"}));
    EXPECT_EQ(findSlotForSave(settings, "Club"), 2);
    store(2, "Club");
    EXPECT_EQ(listProfileNames(settings), (Names{"Friends", "Club", "Family"}));
    // Saving a profile again writes its own slot even while a lower one is free.
    writeProfileSlot(settings, 1, {});
    EXPECT_EQ(findSlotForSave(settings, "Family"), 3);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "family"), 3);
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", "family"), 0);
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", ""), 1); // the lowest free slot
}

// The 64th slot is the last one used; a 65th profile is refused with nothing written.
TEST_F(ProfileStoreTest, SixtyFourSlotsAndNoMore) {
    store(64, "Sixty-four");
    EXPECT_EQ(listProfileNames(settings), Names{"Sixty-four"});
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "SIXTY-FOUR", ScanRead::Plain), 64);
    EXPECT_EQ(findProfileSlotExact(settings, "Profiles", "Sixty-four", ScanRead::Plain), 64);
    EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), "Sixty-four");
    EXPECT_EQ(readProfileSlot(settings, "Profiles", 64, ScanRead::Plain).sigFile, "/s64");
    {
        Settings::Batch batch(settings);
        for (int n = 1; n <= kMaxProfiles; ++n)
            store(n, "P" + std::to_string(n));
    }
    EXPECT_EQ(findSlotForSave(settings, "P64"), 64);
    EXPECT_EQ(findSlotForSave(settings, "One more"), 0);
    const std::string before = test::slurp(ini);
    const Status saved = saveProfileSettings(settings, {"One more", "h", "f", "s"});
    const Status added = addProfile(settings, {"One more", "h", "f", "s"});
    for (const Status& s : {saved, added})
        EXPECT_NE(s.message().find("all 64 profiles are in use"), std::string::npos) << s.message();
    EXPECT_EQ(test::slurp(ini), before);
}

TEST_F(ProfileStoreTest, ScansLeaveEmptyNameLinesButPlainReadsWriteNothing) {
    test::spit(ini, "[SETTINGS]\nINTERVAL_1=60\n");
    EXPECT_TRUE(listProfileNames(settings).empty());
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "x", ScanRead::Plain), 0);
    EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), "");
    EXPECT_EQ(test::slurp(ini), "[SETTINGS]\nINTERVAL_1=60\n");
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "x"), 0);
    const std::string after = test::slurp(ini);
    EXPECT_NE(after.find("[Profiles]"), std::string::npos);
    EXPECT_NE(after.find("PROFILE 1=\n"), std::string::npos);
    EXPECT_NE(after.find("PROFILE 64=\n"), std::string::npos);
}

TEST_F(ProfileStoreTest, ReadingAFreeSlotWritesOnlyItsNameLine) {
    writeProfileSlot(settings, 1, {}); // a removed profile leaves four empty lines
    test::spit(ini, test::slurp(ini) + "PROFILE 2=Work\nHEADER FILE 2=/h\n");
    const std::string before = test::slurp(ini);
    for (const int slot : {1, 3})
        EXPECT_EQ(readProfileSlot(settings, "PROFILES", slot).sigFile, "") << slot;
    EXPECT_EQ(test::slurp(ini), before + "PROFILE 3=\n");
    // A named slot still gets its missing path lines, as the select always wrote them.
    EXPECT_EQ(readProfileSlot(settings, "PROFILES", 2).headerFile, "/h");
    const std::string after = test::slurp(ini);
    EXPECT_NE(after.find("FOOTER FILE 2=\nSIG FILE 2=\n"), std::string::npos) << after;
    EXPECT_EQ(after.find(" FILE 3"), std::string::npos) << after;
}

TEST_F(ProfileStoreTest, StartupProfileIsTheLastOneInStoredCaseElseTheFirstListed) {
    store(2, "Work");
    store(3, "Home");
    const std::pair<const char*, const char*> cases[] = {{"", "Work"}, {"home", "Home"}, {"Gone", "Work"}};
    for (const auto& [last, expected] : cases) {
        settings.writeIni("User", "Last Profile", last);
        EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), expected) << last;
    }
}

TEST_F(ProfileStoreTest, SignatureStateTakesThePathsAndTheSettingsWithoutWriting) {
    test::spit(ini, "[SETTINGS]\nSIG SEPARATOR CHARACTER=#x\nADD DASHES TO SIG HEADER=False\n");
    const SignatureState state = signatureStateFor(settings, {"Work", "/h", "/f", "/s"});
    EXPECT_EQ(std::tie(state.headerFile, state.footerFile, state.sigFile, state.separator),
              std::make_tuple("/h", "/f", "/s", "#"));
    EXPECT_FALSE(state.addDashes);
    // Missing settings: "%" and dashes, and the file stays as it was.
    test::spit(ini, "[Profiles]\n");
    const SignatureState fresh = signatureStateFor(settings, {});
    EXPECT_EQ(fresh.separator, "%");
    EXPECT_TRUE(fresh.addDashes);
    EXPECT_EQ(test::slurp(ini), "[Profiles]\n");
}

} // namespace
} // namespace quillmark
