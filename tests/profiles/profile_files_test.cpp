#include "profiles/profile_files.h"
#include "profiles/profile_store.h"

#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace quillmark {
namespace {

namespace fs = std::filesystem;

// A name is refused unless the settings file gives it back exactly as typed; what is
// accepted comes back unchanged through the real settings file.
TEST(ProfileNameTest, RefusesNamesTheSettingsFileWouldNotGiveBack) {
    const std::string accepted[] = {
        "Friends", "a=b", "[Work]", ";not a comment", "Caf\xC3\xA9 \xE2\x82\xAC", std::string(253, 'x')};
    const std::string refused[] = {"",
                                   "   ",
                                   "\t",
                                   std::string(254, 'x'),
                                   "two\nlines",
                                   "two\r\nlines",
                                   std::string("nul\0byte", 8),
                                   " padded",
                                   "padded ",
                                   "\"quoted\"",
                                   "'quoted'"};
    for (const std::string& name : refused) {
        const Status status = checkProfileName(name);
        EXPECT_FALSE(status.ok()) << name;
        EXPECT_FALSE(status.message().empty());
    }
    test::TempFolder dir;
    for (const std::string& name : accepted) {
        EXPECT_TRUE(checkProfileName(name).ok()) << name;
        {
            Settings settings(dir.file("Quillmark.INI"));
            writeProfileSlot(settings, 2, {name, "/h", "/f", "/s"});
        }
        Settings reread(dir.file("Quillmark.INI"));
        EXPECT_EQ(listProfileNames(reread), std::vector<std::string>{name});
    }
}

TEST(ProfileFilesTest, CreateFileIfMissingNeverTouchesAnExistingFile) {
    test::TempFolder dir;
    test::spit(dir.file("blank.txt"), "keep me\n");
    test::spit(dir.file("plain"), "x");
    ASSERT_TRUE(createFileIfMissing(dir.file("blank.txt")).ok());
    EXPECT_EQ(test::slurp(dir.file("blank.txt")), "keep me\n");
    // The signature folder was deleted while the program ran: it comes back, with the file.
    ASSERT_TRUE(createFileIfMissing(dir.file("Sigs/blank.txt")).ok());
    EXPECT_EQ(fs::file_size(dir.file("Sigs/blank.txt")), 0u);
    // A file standing where the folder should be cannot be replaced by one.
    EXPECT_FALSE(createFileIfMissing(dir.file("plain/blank.txt")).ok());
    EXPECT_EQ(test::slurp(dir.file("plain")), "x");
}

TEST(ProfileFilesTest, ChecksWhatAChosenFileCanServeAs) {
    test::TempFolder dir;
    test::spit(dir.file("header.txt"), "Hello\n%\nWorld\n");
    test::spit(dir.file("binary.txt"), std::string("GIF89a\0\0\x01", 9));
    test::spit(dir.file("secret.txt"), "text");
    fs::create_directory(dir.file("folder.txt"));
    // 100 MB: only the start is looked at, so a large file is taken at once.
    test::spit(dir.file("big.txt"), std::string(64 * 1024, 'a'));
    fs::resize_file(dir.file("big.txt"), 100ull * 1024 * 1024);
    using Role = ProfileFileRole;
    struct Case {
        std::string path;
        Role role;
        std::optional<ErrorCode> code; // none when usable
    };
    std::vector<Case> cases = {{dir.file("header.txt"), Role::Source, {}},
                               {dir.file("header.txt"), Role::Output, {}},
                               {dir.file("big.txt"), Role::Source, {}},
                               {dir.file("new.txt"), Role::Output, {}},
                               {dir.file("new.txt"), Role::Source, ErrorCode::NotFound},
                               {dir.file("folder.txt"), Role::Source, ErrorCode::IsDirectory},
                               {dir.file("folder.txt"), Role::Output, ErrorCode::IsDirectory},
                               {dir.file("binary.txt"), Role::Source, ErrorCode::InvalidInput},
                               {dir.file("binary.txt"), Role::Output, ErrorCode::InvalidInput},
                               {dir.file("missing/sig.txt"), Role::Output, ErrorCode::PathNotFound},
                               {dir.file("missing/h.txt"), Role::Source, ErrorCode::PathNotFound}};
#ifndef _WIN32
    // The output file is only written, never read: a file nobody may read still serves.
    if (::geteuid() != 0) { // permissions do not stop root
        fs::permissions(dir.file("secret.txt"), fs::perms::none);
        cases.push_back({dir.file("secret.txt"), Role::Source, ErrorCode::AccessDenied});
        cases.push_back({dir.file("secret.txt"), Role::Output, {}});
    }
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + (c.role == Role::Source ? " as source" : " as output"));
        const Status status = checkProfileFile(c.path, c.role);
        EXPECT_EQ(status.ok() ? std::nullopt : std::optional(status.code()), c.code);
        EXPECT_TRUE(status.ok() || status.message().find(dir.path()) != std::string::npos)
            << status.message();
    }
}

} // namespace
} // namespace quillmark
