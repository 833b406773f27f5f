#include "platform/platform.h"
#include "signature/compose.h"
#include "support/scripted_random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using test::ScriptedRandom;
const std::string LE(kLineEnd);

TEST(PickIndex, CoversOneToNAndNeverLeavesIt) {
    // In single precision below1 * 1 + 1 rounds to 2.
    const float below1 = std::nextafter(1.0f, 0.0f), nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<float, std::size_t, std::size_t> cases[] = {
        {0.0f, 1, 1},   {below1, 1, 1}, {below1, 60000, 60000}, {0.5f, 3, 2}, {1.0f, 5, 5},
        {-0.25f, 5, 1}, {nan, 5, 1}};
    for (const auto& [r, n, expected] : cases)
        EXPECT_EQ(pickIndex(r, n), expected) << r << " " << n;
}

// Only spaces make a header blank; tabs or line breaks keep it. The old file is replaced whole.
TEST(UpdateSignature, PicksHeaderThenFooterAndReplacesTheWholeFile) {
    test::TempFolder tmp;
    std::string footers = "F";
    for (int i = 2; i <= 120; ++i)
        footers += i == 17 ? "\n%\nB\nC" : "\n%\nF";
    SignatureState state{"", "", tmp.file("sig.txt"), {}, EntryList(footers, "%")};
    test::spit(state.sigFile, "a much longer old signature that must not survive in part");
    const std::tuple<std::string, std::string, std::string> headers[] = {
        {"H1\n%\n   \n%\nH3", "2 of 3", ""}, {"\t\n\n", "1 of 1", "\t" + LE + LE}};
    for (const auto& [file, header, composed] : headers) {
        SCOPED_TRACE(file);
        state.headers = EntryList(file, "%");
        ScriptedRandom random{0.4f, 0.14f};
        const SignatureUpdate u = updateSignature(state, random);
        EXPECT_EQ(u.label, "Current Signature: Header " + header + ", Footer 17 of 120");
        EXPECT_TRUE(u.write.ok()) << u.write.message();
        EXPECT_EQ(test::slurp(state.sigFile), "-- " + LE + composed + "B" + LE + "C" + LE);
    }
}

// A source (by a hard link), a gone folder or a folder: reported with the path.
TEST(UpdateSignature, NeverWritesOverItsOwnSourceFiles) {
    if (test::kOnWindows)
        GTEST_SKIP() << "no symbolic links to make without privileges";
    test::TempFolder tmp;
    fs::create_directory(tmp.file("a"));
    const std::string header = tmp.file("a/h.txt"), footer = tmp.file("f.txt");
    test::spit(header, "Jane\n%\nJohn\n");
    test::spit(footer, "F1\n%\nF2\n");
    fs::create_hard_link(header, tmp.file("hard.txt"));
    const std::ptrdiff_t files = std::distance(fs::directory_iterator(tmp.path()), {});
    const std::pair<std::string, ErrorCode> cases[] = {{tmp.file("hard.txt"), ErrorCode::SameFile},
                                                       {tmp.file("gone/sig.txt"), ErrorCode::PathNotFound},
                                                       {tmp.file("a"), ErrorCode::IsDirectory}};
    for (const auto& [output, error] : cases) {
        SCOPED_TRACE(output);
        SignatureState state{header, footer, output};
        ScriptedRandom random{0.0f, 0.0f};
        const SignatureUpdate u = updateSignatureFromFiles(state, random);
        EXPECT_TRUE(u.composed); // the preview still shows what was meant to be written
        EXPECT_EQ(u.write.code(), error);
        EXPECT_NE(u.write.message().find(output), std::string::npos);
        EXPECT_EQ(test::slurp(header) + test::slurp(footer), "Jane\n%\nJohn\nF1\n%\nF2\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), {}), files);
        EXPECT_EQ(std::distance(fs::directory_iterator(tmp.file("a")), {}), 1);
    }
}

TEST(UpdateSignatureFromFiles, GivesWhatLoadingTheListsGives) {
    test::TempFolder tmp;
    test::spit(tmp.file("header.txt"), "Jane\r\n%\r\nJohn\r\nDoe\r\n");
    test::spit(tmp.file("footer.txt"), "#c\nF1\n%\n\nF2\n\n%\nF3");
    const std::tuple<std::string, std::string, std::size_t> cases[] = {
        {tmp.file("header.txt"), tmp.file("footer.txt"), 0},
        {tmp.file("missing.txt"), tmp.file("footer.txt"), 0}, // the old header list serves
        {tmp.file("header.txt"), tmp.path(), 1}};
    for (const auto& [header, footer, failureCount] : cases) {
        SCOPED_TRACE(header + " " + footer);
        SignatureState state{header, footer, tmp.file("lists.txt"), {"old header 1", "old header 2"}};
        SignatureState fromFiles = state;
        fromFiles.sigFile = tmp.file("files.txt");
        ScriptedRandom a{0.9f, 0.1f}, b{0.9f, 0.1f};
        EXPECT_EQ(loadSignatureFiles(state).size(), failureCount);
        const SignatureUpdate u = updateSignatureFromFiles(fromFiles, b);
        EXPECT_TRUE(u.write.ok()) << u.write.message(); // new, then existing outputs
        EXPECT_EQ(u.readFailures.size(), failureCount);
        EXPECT_EQ(u.label, updateSignature(state, a).label);
        EXPECT_EQ(test::slurp(tmp.file("files.txt")), test::slurp(tmp.file("lists.txt")));
    }
}

} // namespace
} // namespace quillmark
