#include "platform/sample_files.h"
#include "support/temp_folder.h"
#include "wizard/first_profile.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(FirstProfileTest, HeaderHoldsEachFilledDetailOnItsOwnLineAsTyped) {
    const struct {
        std::string name, email, url, expected;
    } cases[] = {
        {"", "", "", ""},
        {"  Ann Example ", "ann@example.org", "https://example.org",
         "  Ann Example \nann@example.org\nhttps://example.org\n"},
        {"Ann", "", "https://example.org", "Ann\nhttps://example.org\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstHeaderText(c.name, c.email, c.url), test::withLineEnds(c.expected))
            << c.name << "|" << c.email << "|" << c.url;
}

TEST(SampleFilesTest, MissingSamplesAreCopiedAndTheUsersOwnFilesKept) {
    const std::string samples = QUILLMARK_SAMPLES_DIR;
    test::TempFolder dir;
    const std::string sigs = dir.file("new/Sigs");
    copyMissingFiles(samples, sigs);
    for (const char* name : {"header.txt", "footer.txt", "blank.txt", "words.txt", "humour.txt"})
        EXPECT_EQ(test::slurp(sigs + "/" + name), test::slurp(samples + "/" + name)) << name;
    test::spit(sigs + "/words.txt", "my own words\n");
    std::filesystem::remove(sigs + "/humour.txt");
    copyMissingFiles(samples, sigs);
    EXPECT_EQ(test::slurp(sigs + "/words.txt"), "my own words\n");
    EXPECT_EQ(test::slurp(sigs + "/humour.txt"), test::slurp(samples + "/humour.txt"));
}

} // namespace
} // namespace quillmark
