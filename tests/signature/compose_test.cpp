#include "platform/platform.h"
#include "signature/compose.h"
#include "signature/scripted_random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

namespace quillmark {
namespace {

using test::ScriptedRandom;
const std::string LE(kLineEnd);

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PickIndex, CoversOneToNAndNeverLeavesIt) {
    const float below1 = std::nextafter(1.0f, 0.0f);
    // In single precision below1 * 1 + 1 rounds to 2. A faulty source (1, negative, NaN)
    // must still give an index in the list.
    const std::tuple<float, std::size_t, std::size_t> cases[] = {
        {0.0f, 1, 1}, {below1, 1, 1}, {below1, 60000, 60000}, {0.0f, 60000, 1},
        {0.5f, 3, 2}, {1.0f, 5, 5},   {-0.25f, 5, 1},         {std::numeric_limits<float>::quiet_NaN(), 5, 1},
    };
    for (const auto& [r, n, expected] : cases)
        EXPECT_EQ(pickIndex(r, n), expected) << r << " " << n;

    ClockSeededRandom random(42);
    for (int i = 0; i < 100000; ++i) {
        const float r = random.next();
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
    }
}

TEST(UpdateSignature, PicksHeaderThenFooterAndWritesTheExactBytes) {
    test::TempFolder tmp;
    SignatureState state;
    state.astrHeaders = {"H1", "   ", "H3"};
    state.astrFooters.assign(120, "F");
    state.astrFooters[16] = "B" + LE + "C";
    ScriptedRandom random{0.4f, 0.14f, 0.4f, 0.14f, 0.0f, 0.0f};

    // No output file: only the label changes.
    SignatureUpdate u = updateSignature(state, random);
    EXPECT_EQ(u.label, "Current Signature: Header 2 of 3, Footer 17 of 120");
    EXPECT_FALSE(u.composed);
    EXPECT_TRUE(filesIn(tmp.path()).empty());

    state.strSigFile = tmp.file("sig.txt");
    test::spit(state.strSigFile, "a much longer old signature that must not survive in part");
    u = updateSignature(state, random);
    EXPECT_TRUE(u.write.ok()) << u.write.message;
    EXPECT_EQ(u.signature, "-- " + LE + "B" + LE + "C");
    EXPECT_EQ(test::slurp(state.strSigFile), "-- " + LE + "B" + LE + "C" + LE);

    state.blnAddDashes = false;
    u = updateSignature(state, random);
    EXPECT_EQ(u.label, "Current Signature: Header 1 of 3, Footer 1 of 120");
    EXPECT_EQ(test::slurp(state.strSigFile), "H1" + LE + "F" + LE);
    EXPECT_EQ(filesIn(tmp.path()), std::vector<std::string>{"sig.txt"});
}

TEST(UpdateSignature, FailedWriteIsReportedAndLeavesNoTemporaryFile) {
    test::TempFolder tmp;
    std::filesystem::create_directory(tmp.file("folder"));
    test::spit(tmp.file("folder/inside.txt"), "x");
    const std::pair<std::string, IoError> cases[] = {
        {tmp.file("gone/sig.txt"), IoError::PathNotFound},
        {tmp.file("folder"), IoError::IsDirectory},
    };
    for (const auto& [path, error] : cases) {
        SignatureState state;
        state.strSigFile = path;
        ScriptedRandom random{0.0f, 0.0f};
        const SignatureUpdate u = updateSignature(state, random);
        EXPECT_TRUE(u.composed); // the preview still shows what was meant to be written
        EXPECT_EQ(u.write.error, error);
        EXPECT_NE(u.write.message.find(path), std::string::npos);
        EXPECT_EQ(filesIn(tmp.path()), std::vector<std::string>{"folder"});
        EXPECT_EQ(filesIn(tmp.file("folder")), std::vector<std::string>{"inside.txt"});
    }
}

TEST(UpdateSignatureFromFiles, GivesWhatLoadingTheListsGives) {
    test::TempFolder tmp;
    test::spit(tmp.file("header.txt"), "Jane\r\n%\r\nJohn\r\nDoe\r\n");
    test::spit(tmp.file("footer.txt"), "#c\nF1\n%\n\nF2\n\n%\nF3");
    std::filesystem::create_directory(tmp.file("folder"));
    const std::tuple<std::string, std::string, std::size_t> cases[] = {
        {tmp.file("header.txt"), tmp.file("footer.txt"), 0},
        {tmp.file("missing.txt"), tmp.file("footer.txt"), 0}, // the old header list serves
        {tmp.file("header.txt"), tmp.file("folder"), 1},
        {"", "", 0},
    };
    for (const auto& [header, footer, failureCount] : cases) {
        for (float r : {0.0f, 0.5f, 0.9f}) {
            SignatureState state;
            state.strHeaderFile = header;
            state.strFooterFile = footer;
            state.astrHeaders = {"old header 1", "old header 2"};
            state.strSigFile = tmp.file("lists.txt");
            ScriptedRandom a{r, 1.0f - r};
            EXPECT_EQ(loadSignatureFiles(state).size(), failureCount);
            const SignatureUpdate expected = updateSignature(state, a);

            state.astrHeaders = {"old header 1", "old header 2"};
            state.astrFooters = {""};
            state.strSigFile = tmp.file("files.txt");
            ScriptedRandom b{r, 1.0f - r};
            std::vector<IoStatus> failures;
            const SignatureUpdate u = updateSignatureFromFiles(state, b, failures);
            EXPECT_EQ(failures.size(), failureCount);
            EXPECT_EQ(u.label, expected.label) << header << " " << r;
            EXPECT_EQ(test::slurp(tmp.file("files.txt")), test::slurp(tmp.file("lists.txt")));
        }
    }
}

} // namespace
} // namespace quillmark
