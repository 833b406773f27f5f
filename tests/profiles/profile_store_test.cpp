#include "profiles/profile_store.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
    test::TempFolder dir;
    std::string ini = dir.file("Quillmark.INI");

    void store(int slot, const std::string& name) {
        Settings settings(ini);
        writeProfileSlot(
            settings, slot,
            {name, "/h" + std::to_string(slot), "/f" + std::to_string(slot), "/s" + std::to_string(slot)});
    }
};

TEST_F(ProfileStoreTest, RemovedSlotIsReusedAndListingKeepsSlotOrder) {
    store(1, "Friends");
    store(2, "Work");
    store(3, "Family");
    Settings settings(ini);
    writeProfileSlot(settings, 2, {}); // removing writes empty values, the lines stay
    EXPECT_NE(test::slurp(ini).find("PROFILE 2=\n"), std::string::npos);
    EXPECT_EQ(listProfileNames(settings), (std::vector<std::string>{"Friends", "Family"}));

    EXPECT_EQ(findSlotForSave(settings, "Club"), 2);
    writeProfileSlot(settings, 2, {"Club", "a", "b", "c"});
    EXPECT_EQ(listProfileNames(settings), (std::vector<std::string>{"Friends", "Club", "Family"}));
    // Saving a profile again writes its own slot even while a lower one is free.
    writeProfileSlot(settings, 1, {});
    EXPECT_EQ(findSlotForSave(settings, "Family"), 3);
}

TEST_F(ProfileStoreTest, NameMatchingRules) {
    store(1, "Friends");
    Settings settings(ini);
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "friends"), 1);
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", "friends"), 0);
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", "Friends"), 1);
    // The empty name finds the lowest free slot, whose paths are empty.
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", ""), 2);
    EXPECT_EQ(readProfileSlot(settings, "PROFILES", 2).sigFile, "");
}

TEST_F(ProfileStoreTest, ScansLeaveEmptyNameLinesButPlainReadsWriteNothing) {
    test::spit(ini, "[SETTINGS]\nINTERVAL_1=60\n");
    Settings settings(ini);
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
    {
        Settings settings(ini);
        writeProfileSlot(settings, 1, {}); // a removed profile leaves four empty lines
    }
    test::spit(ini, test::slurp(ini) + "PROFILE 2=Work\nHEADER FILE 2=/h\n");
    const std::string before = test::slurp(ini);
    Settings settings(ini);
    for (const int slot : {1, 3}) {
        const ProfileRecord record = readProfileSlot(settings, "PROFILES", slot);
        EXPECT_EQ(record.name, "");
        EXPECT_EQ(record.headerFile, "");
        EXPECT_EQ(record.sigFile, "");
    }
    EXPECT_EQ(test::slurp(ini), before + "PROFILE 3=\n");

    // A named slot still gets its missing path lines, as the select always wrote them.
    EXPECT_EQ(readProfileSlot(settings, "PROFILES", 2).headerFile, "/h");
    const std::string after = test::slurp(ini);
    EXPECT_NE(after.find("FOOTER FILE 2=\nSIG FILE 2=\n"), std::string::npos) << after;
    EXPECT_EQ(after.find(" FILE 3"), std::string::npos) << after;
}

TEST_F(ProfileStoreTest, NoFreeSlotWhenAllHoldOtherProfiles) {
    {
        Settings settings(ini);
        Settings::Batch batch(settings);
        for (int n = 1; n <= kMaxProfiles; ++n)
            writeProfileSlot(settings, n, {"P" + std::to_string(n), "h", "f", "s"});
    }
    Settings settings(ini);
    EXPECT_EQ(findSlotForSave(settings, "One more"), 0);
    EXPECT_EQ(findSlotForSave(settings, "P64"), 64);
}

TEST_F(ProfileStoreTest, TheLastSlotIsListedFoundAndUsedAtStartUp) {
    store(64, "Sixty-four");
    Settings settings(ini);
    EXPECT_EQ(listProfileNames(settings), std::vector<std::string>{"Sixty-four"});
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "SIXTY-FOUR", ScanRead::Plain), 64);
    EXPECT_EQ(findProfileSlotExact(settings, "Profiles", "Sixty-four", ScanRead::Plain), 64);
    EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), "Sixty-four");
    EXPECT_EQ(readProfileSlot(settings, "Profiles", 64, ScanRead::Plain).sigFile, "/s64");
}

TEST_F(ProfileStoreTest, StartupProfileResolution) {
    store(2, "Work");
    store(3, "Home");
    Settings settings(ini);
    // No "Last Profile" and slot 1 free: the first listed profile.
    EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), "Work");
    settings.writeIni("User", "Last Profile", "home");
    EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), "Home");
    settings.writeIni("User", "Last Profile", "Gone");
    EXPECT_EQ(resolveStartupProfile(settings, ScanRead::Plain), "Work");
}

TEST_F(ProfileStoreTest, SignatureStateTakesThePathsAndTheSettingsWithoutWriting) {
    const std::string bytes = "[SETTINGS]\nSIG SEPARATOR CHARACTER=#x\nADD DASHES TO SIG HEADER=False\n";
    test::spit(ini, bytes);
    Settings settings(ini);
    const SignatureState state = signatureStateFor(settings, {"Work", "/h", "/f", "/s"});
    EXPECT_EQ(state.headerFile, "/h");
    EXPECT_EQ(state.footerFile, "/f");
    EXPECT_EQ(state.sigFile, "/s");
    EXPECT_EQ(state.separator, "#");
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
