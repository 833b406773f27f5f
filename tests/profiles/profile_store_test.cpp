#include "profiles/profile_files.h"
#include "profiles/profile_store.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
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
    writeProfileSlot(settings, 2, {}); // removed
    EXPECT_EQ(listProfileNames(settings), (Names{"Friends", "Family"}));
    EXPECT_EQ(findSlotForSave(settings, "Club"), 2);
    store(2, "Club");
    EXPECT_EQ(listProfileNames(settings), (Names{"Friends", "Club", "Family"}));
    // Saving a profile again writes its own slot even while a lower one is free.
    writeProfileSlot(settings, 1, {});
    EXPECT_EQ(findSlotForSave(settings, "Family"), 3);
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", "family"), 0);
    EXPECT_EQ(findProfileSlotExact(settings, "PROFILES", ""), 1); // the lowest free slot
}

// The 64th slot is the last one used; a 65th profile is refused with nothing written.
TEST_F(ProfileStoreTest, SixtyFourSlotsAndNoMore) {
    store(64, "Sixty-four");
    EXPECT_EQ(listProfileNames(settings), Names{"Sixty-four"});
    EXPECT_EQ(findProfileSlotIgnoringCase(settings, "SIXTY-FOUR", ScanRead::Plain), 64);
    {
        Settings::Batch batch(settings);
        for (int n = 1; n <= kMaxProfiles; ++n)
            store(n, "P" + std::to_string(n));
    }
    EXPECT_EQ(findSlotForSave(settings, "P64"), 64);
    EXPECT_EQ(findSlotForSave(settings, "One more"), 0);
    const std::string before = test::slurp(ini);
    EXPECT_FALSE(saveProfileSettings(settings, {"One more", "h", "f", "s"}).ok());
    EXPECT_FALSE(addProfile(settings, {"One more", "h", "f", "s"}).ok());
    EXPECT_EQ(test::slurp(ini), before);
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

// A name must be more than blanks and come back from the settings file exactly as typed.
TEST(ProfileNameTest, RefusesNamesTheSettingsFileWouldNotGiveBack) {
    for (const std::string name : {"", "   ", "\t", "two\nlines", " padded", "\"quoted\""})
        EXPECT_FALSE(checkProfileName(name).message().empty()) << name;
    for (const std::string name : {"a=b", "Caf\xC3\xA9 \xE2\x82\xAC"})
        EXPECT_TRUE(checkProfileName(name).ok()) << name;
}

TEST(ProfileFilesTest, CreateFileIfMissingNeverTouchesAnExistingFile) {
    test::TempFolder dir;
    test::spit(dir.file("blank.txt"), "keep me\n");
    ASSERT_TRUE(createFileIfMissing(dir.file("blank.txt")).ok());
    EXPECT_EQ(test::slurp(dir.file("blank.txt")), "keep me\n");
    // A deleted signature folder comes back, with the file.
    ASSERT_TRUE(createFileIfMissing(dir.file("Sigs/blank.txt")).ok());
    EXPECT_EQ(fs::file_size(dir.file("Sigs/blank.txt")), 0u);
}

TEST(ProfileFilesTest, ChecksWhatAChosenFileCanServeAs) {
    test::TempFolder dir;
    test::spit(dir.file("header.txt"), "Hello\n%\nWorld\n");
    test::spit(dir.file("binary.txt"), std::string("GIF89a\0\0\x01", 9));
    fs::create_directory(dir.file("folder.txt"));
    const auto S = ProfileFileRole::Source, O = ProfileFileRole::Output;
    const std::optional<ErrorCode> usable;
    const std::tuple<std::string, ProfileFileRole, std::optional<ErrorCode>> cases[] = {
        {"header.txt", S, usable},
        {"new.txt", O, usable},
        {"new.txt", S, ErrorCode::NotFound},
        {"folder.txt", S, ErrorCode::IsDirectory},
        {"binary.txt", S, ErrorCode::InvalidInput},
        {"binary.txt", O, ErrorCode::InvalidInput},
        {"missing/sig.txt", O, ErrorCode::PathNotFound}};
    for (const auto& [name, role, code] : cases) {
        SCOPED_TRACE(name + (role == S ? " as source" : " as output"));
        const Status status = checkProfileFile(dir.file(name), role);
        EXPECT_EQ(status.ok() ? usable : std::optional(status.code()), code);
        EXPECT_TRUE(status.ok() || status.message().find(dir.path()) != std::string::npos)
            << status.message();
    }
}

} // namespace
} // namespace quillmark
