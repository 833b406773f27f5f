#include "platform/sample_files.h"
#include "signature/entries.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

const std::string kSamples = QUILLMARK_SAMPLES_DIR;
const char* const kSampleNames[] = {"header.txt", "footer.txt", "blank.txt", "words.txt", "humour.txt"};

// What a user sees at the bottom of a signature: a quotation with the name of who said it.
TEST(SampleFilesTest, QuotationFilesHoldAtLeastFortyAttributedEntries) {
    for (const char* name : {"words.txt", "humour.txt"}) {
        const std::string bytes = test::slurp(kSamples + "/" + name);
        const std::vector<std::string> entries = splitEntries(bytes, "%");
        EXPECT_GE(entries.size(), 40u) << name;
        for (const std::string& entry : entries) {
            const std::size_t lastLine = entry.rfind('\n');
            ASSERT_NE(lastLine, std::string::npos)
                << name << ": an entry without an attribution line: " << entry;
            EXPECT_EQ(entry.compare(lastLine + 1, 6, "    - "), 0) << name << ": " << entry;
            EXPECT_GT(lastLine, 0u) << name;
        }
    }
    EXPECT_TRUE(test::slurp(kSamples + "/blank.txt").empty());
}

TEST(SampleFilesTest, MissingSamplesAreCopiedAndTheUsersOwnFilesKept) {
    test::TempFolder dir;
    const std::string sigs = dir.file("new/Sigs");
    copyMissingFiles(kSamples, sigs);
    for (const char* name : kSampleNames) {
        EXPECT_TRUE(std::filesystem::is_regular_file(sigs + "/" + name)) << name;
        EXPECT_EQ(test::slurp(sigs + "/" + name), test::slurp(kSamples + "/" + name)) << name;
    }

    test::spit(sigs + "/words.txt", "my own words\n");
    std::filesystem::remove(sigs + "/humour.txt");
    copyMissingFiles(kSamples, sigs);
    EXPECT_EQ(test::slurp(sigs + "/words.txt"), "my own words\n");
    EXPECT_EQ(test::slurp(sigs + "/humour.txt"), test::slurp(kSamples + "/humour.txt"));
}

} // namespace
} // namespace quillmark
