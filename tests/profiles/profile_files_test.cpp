#include "profiles/profile_files.h"
#include "profiles/profile_store.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillmark {
namespace {

TEST(ProfileNameTest, RefusesNamesTheSettingsFileWouldNotGiveBack) {
    struct Case {
        std::string name;
        bool accepted;
    };
    const Case cases[] = {
        {"Friends", true},
        {"a=b", true}, // "key=a=b" reads back whole
        {"[Work]", true},
        {";not a comment", true},
        {"Caf\xC3\xA9 \xE2\x82\xAC", true},
        {std::string(253, 'x'), true},
        {"", false},
        {"   ", false},
        {"\t", false},
        {std::string(300, 'x'), false},
        {std::string(254, 'x'), false},
        {"two\nlines", false},
        {"two\r\nlines", false},
        {std::string("nul\0byte", 8), false},
        {" padded", false},
        {"padded ", false},
        {"\"quoted\"", false},
        {"'quoted'", false},
    };
    for (const Case& c : cases) {
        const Status status = checkProfileName(c.name);
        EXPECT_EQ(status.ok(), c.accepted) << c.name.substr(0, 20);
        if (!status.ok()) {
            EXPECT_FALSE(status.message().empty());
        }
    }
    // What is accepted comes back unchanged through the real settings file.
    test::TempFolder dir;
    for (const Case& c : cases) {
        if (!c.accepted)
            continue;
        {
            Settings settings(dir.file("Quillmark.INI"));
            writeProfileSlot(settings, 2, {c.name, "/h", "/f", "/s"});
        }
        Settings reread(dir.file("Quillmark.INI"));
        EXPECT_EQ(listProfileNames(reread), std::vector<std::string>{c.name});
    }
}

TEST(ProfileFilesTest, CreateFileIfMissingNeverTouchesAnExistingFile) {
    test::TempFolder dir;
    const std::string blank = dir.file("blank.txt");
    test::spit(blank, "keep me\n");
    ASSERT_TRUE(createFileIfMissing(blank).ok());
    EXPECT_EQ(test::slurp(blank), "keep me\n");

    // The signature folder was deleted while the program ran: it comes back, with the file.
    const std::string gone = dir.file("Sigs/blank.txt");
    ASSERT_TRUE(createFileIfMissing(gone).ok());
    EXPECT_TRUE(std::filesystem::is_regular_file(gone));
    EXPECT_EQ(std::filesystem::file_size(gone), 0u);

    // A file standing where the folder should be cannot be replaced by one.
    test::spit(dir.file("plain"), "x");
    EXPECT_FALSE(createFileIfMissing(dir.file("plain/blank.txt")).ok());
    EXPECT_EQ(test::slurp(dir.file("plain")), "x");
}

TEST(ProfileFilesTest, ChecksWhatAChosenFileCanServeAs) {
    test::TempFolder dir;
    test::spit(dir.file("header.txt"), "Hello\n%\nWorld\n");
    test::spit(dir.file("binary.txt"), std::string("GIF89a\0\0\x01", 9));
    std::filesystem::create_directory(dir.file("folder.txt"));
    // 100 MB: only the start is looked at, so a large file is taken at once.
    test::spit(dir.file("big.txt"), std::string(64 * 1024, 'a'));
    std::filesystem::resize_file(dir.file("big.txt"), 100ull * 1024 * 1024);
    struct Case {
        std::string path;
        ProfileFileRole role;
        bool usable;
        ErrorCode code;
    };
    const Case cases[] = {
        {dir.file("header.txt"), ProfileFileRole::Source, true, {}},
        {dir.file("header.txt"), ProfileFileRole::Output, true, {}},
        {dir.file("big.txt"), ProfileFileRole::Source, true, {}},
        {dir.file("new.txt"), ProfileFileRole::Output, true, {}},
        {dir.file("new.txt"), ProfileFileRole::Source, false, ErrorCode::NotFound},
        {dir.file("folder.txt"), ProfileFileRole::Source, false, ErrorCode::IsDirectory},
        {dir.file("folder.txt"), ProfileFileRole::Output, false, ErrorCode::IsDirectory},
        {dir.file("binary.txt"), ProfileFileRole::Source, false, ErrorCode::InvalidInput},
        {dir.file("binary.txt"), ProfileFileRole::Output, false, ErrorCode::InvalidInput},
        {dir.file("missing/sig.txt"), ProfileFileRole::Output, false, ErrorCode::PathNotFound},
        {dir.file("missing/h.txt"), ProfileFileRole::Source, false, ErrorCode::PathNotFound},
    };
    for (const Case& c : cases) {
        const Status status = checkProfileFile(c.path, c.role);
        EXPECT_EQ(status.ok(), c.usable) << c.path;
        if (!status.ok()) {
            EXPECT_EQ(status.code(), c.code) << c.path;
            EXPECT_NE(status.message().find(dir.path()), std::string::npos) << status.message();
        }
    }
}

TEST(ProfileFilesTest, UnreadableSourceIsRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no permission bits that make a file unreadable to its owner";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    test::TempFolder dir;
    const std::string secret = dir.file("secret.txt");
    test::spit(secret, "text");
    std::filesystem::permissions(secret, std::filesystem::perms::none);
    const Status status = checkProfileFile(secret, ProfileFileRole::Source);
    EXPECT_EQ(status.code(), ErrorCode::AccessDenied);
    // The output file is only written, never read: a file nobody may read still serves.
    EXPECT_TRUE(checkProfileFile(secret, ProfileFileRole::Output).ok());
#endif
}

} // namespace
} // namespace quillmark
