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

std::ptrdiff_t filesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

TEST(PickIndex, CoversOneToNAndNeverLeavesIt) {
    // In single precision below1 * 1 + 1 rounds to 2; a faulty source must still give an index in range.
    const float below1 = std::nextafter(1.0f, 0.0f), nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<float, std::size_t, std::size_t> cases[] = {
        {0.0f, 1, 1},   {below1, 1, 1}, {below1, 60000, 60000}, {0.5f, 3, 2}, {1.0f, 5, 5},
        {-0.25f, 5, 1}, {nan, 5, 1}};
    for (const auto& [r, n, expected] : cases)
        EXPECT_EQ(pickIndex(r, n), expected) << r << " " << n;

    ClockSeededRandom random(42);
    for (int i = 0; i < 10000; ++i) {
        const float r = random.next();
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
    }
}

TEST(UpdateSignature, PicksHeaderThenFooterAndReplacesTheWholeFile) {
    test::TempFolder tmp;
    SignatureState state{
        "", "", tmp.file("sig.txt"), {"H1", "   ", "H3"}, std::vector<std::string>(120, "F")};
    state.astrFooters[16] = "B" + LE + "C";
    ScriptedRandom random{0.4f, 0.14f};
    test::spit(state.strSigFile, "a much longer old signature that must not survive in part");
    const SignatureUpdate u = updateSignature(state, random);
    EXPECT_EQ(u.label, "Current Signature: Header 2 of 3, Footer 17 of 120");
    EXPECT_TRUE(u.write.ok()) << u.write.message();
    EXPECT_EQ(test::slurp(state.strSigFile), "-- " + LE + "B" + LE + "C" + LE); // a blank header is left out
    EXPECT_EQ(filesIn(tmp.path()), 1) << "no temporary file is left behind";
}

TEST(UpdateSignature, FailedWriteIsReportedAndLeavesNoTemporaryFile) {
    test::TempFolder tmp;
    std::filesystem::create_directory(tmp.file("folder"));
    test::spit(tmp.file("folder/inside.txt"), "x");
    const std::pair<std::string, ErrorCode> cases[] = {{tmp.file("gone/sig.txt"), ErrorCode::PathNotFound},
                                                       {tmp.file("folder"), ErrorCode::IsDirectory}};
    for (const auto& [path, error] : cases) {
        SignatureState state{"", "", path};
        ScriptedRandom random{0.0f, 0.0f};
        const SignatureUpdate u = updateSignature(state, random);
        EXPECT_TRUE(u.composed); // the preview still shows what was meant to be written
        ASSERT_FALSE(u.write.ok());
        EXPECT_EQ(u.write.code(), error);
        EXPECT_NE(u.write.message().find(path), std::string::npos);
        EXPECT_EQ(filesIn(tmp.path()), 1);
        EXPECT_EQ(filesIn(tmp.file("folder")), 1);
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
        {"", "", 0}};
    for (const auto& [header, footer, failureCount] : cases) {
        SignatureState state{header, footer, tmp.file("lists.txt"), {"old header 1", "old header 2"}};
        SignatureState fromFiles = state;
        fromFiles.strSigFile = tmp.file("files.txt");
        ScriptedRandom a{0.9f, 0.1f}, b{0.9f, 0.1f};
        EXPECT_EQ(loadSignatureFiles(state).size(), failureCount);
        const SignatureUpdate expected = updateSignature(state, a);
        std::vector<Error> failures;
        const SignatureUpdate u = updateSignatureFromFiles(fromFiles, b, failures);
        EXPECT_EQ(failures.size(), failureCount);
        EXPECT_EQ(u.label, expected.label) << header;
        EXPECT_EQ(test::slurp(tmp.file("files.txt")), test::slurp(tmp.file("lists.txt")));
    }
}

} // namespace
} // namespace quillmark
