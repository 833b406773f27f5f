#include "wizard/first_profile.h"

#include "platform/file_io.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

TEST(FirstProfileTest, HeaderHoldsEachFilledDetailOnItsOwnLineAsTyped) {
    struct Case {
        std::string name, email, url, expected;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"", "me@example.org", "", "me@example.org\n"},
        {"  Ann Example ", "ann@example.org", "https://example.org",
         "  Ann Example \nann@example.org\nhttps://example.org\n"},
        {"Ann", "", "https://example.org", "Ann\nhttps://example.org\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstHeaderText(c.name, c.email, c.url), c.expected)
            << c.name << "|" << c.email << "|" << c.url;
}

TEST(FirstProfileTest, ProfilePathsLieInTheSignatureFolderWithTheChosenSamples) {
    const ProfileRecord words = firstProfileRecord("/home/ann/Sigs", "Friends", "Creative Words");
    EXPECT_EQ(words.name, "Friends");
    EXPECT_EQ(words.headerFile, "/home/ann/Sigs/firstheader.txt");
    EXPECT_EQ(words.footerFile, "/home/ann/Sigs/words.txt");
    EXPECT_EQ(words.sigFile, "/home/ann/Sigs/sig.txt");
    EXPECT_EQ(firstProfileRecord("/s", "Work", "Humorous").footerFile, "/s/humour.txt");
    EXPECT_EQ(firstProfileRecord("/s", "Work", "Something else").footerFile, "/s/words.txt");
}

TEST(FirstProfileTest, HeaderWriteCreatesTheFolderAndReportsWhatCannotBeWritten) {
    test::TempFolder dir;
    const std::string header = dir.file("new/Sigs/firstheader.txt");
    ASSERT_TRUE(writeFirstHeader(header, "Ann\n"));
    EXPECT_EQ(test::slurp(header), "Ann\n");
    ASSERT_TRUE(writeFirstHeader(header, ""));
    EXPECT_EQ(test::slurp(header), "");

    test::spit(dir.file("blocked"), "a file where the folder should be");
    EXPECT_FALSE(writeFirstHeader(dir.file("blocked/firstheader.txt"), "Ann\n"));
    EXPECT_EQ(test::slurp(dir.file("blocked")), "a file where the folder should be");
}

} // namespace
} // namespace quillmark
