#include "platform/platform.h"
#include "signature/compose.h"
#include "signature/update_policy.h"
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
        {"H1\n%\n   \n%\nH3", "2 of 3", ""},
        {"\t\t", "1 of 1", "\t\t" + LE},
        {"\t\n\n", "1 of 1", "\t" + LE + LE}};
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

// A source (by link or hard link), a gone folder or a folder: reported with the path.
TEST(UpdateSignature, NeverWritesOverItsOwnSourceFiles) {
    test::TempFolder tmp;
    fs::create_directory(tmp.file("a"));
    const std::string header = tmp.file("a/h.txt"), footer = tmp.file("f.txt");
    test::spit(header, "Jane\n%\nJohn\n");
    test::spit(footer, "F1\n%\nF2\n");
    fs::create_symlink(footer, tmp.file("link.txt"));
    fs::create_hard_link(header, tmp.file("hard.txt"));
    const std::ptrdiff_t files = std::distance(fs::directory_iterator(tmp.path()), {});
    const std::tuple<std::string, ErrorCode, const char*> cases[] = {
        {tmp.file("hard.txt"), ErrorCode::SameFile, "header"},
        {tmp.file("link.txt"), ErrorCode::SameFile, "footer"},
        {tmp.file("gone/sig.txt"), ErrorCode::PathNotFound, ""},
        {tmp.file("a"), ErrorCode::IsDirectory, ""}};
    for (const auto& [output, error, role] : cases) {
        SCOPED_TRACE(output);
        SignatureState state{header, footer, output};
        ScriptedRandom random{0.0f, 0.0f};
        const SignatureUpdate u = updateSignatureFromFiles(state, random);
        EXPECT_TRUE(u.composed); // the preview still shows what was meant to be written
        EXPECT_EQ(u.write.code(), error);
        EXPECT_NE(u.write.message().find(output), std::string::npos);
        EXPECT_TRUE(!*role || u.write.message() == "the output file " + output + " is the profile's " + role +
                                                       " file; choose another output file");
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

TEST(IntervalValue, LeadingNumberOfTheText) {
    const std::pair<const char*, double> cases[] = {{"12abc", 12}, {"abc", 0},   {"-4", -4}, {".5", 0.5},
                                                    {"1e", 1},     {"3E-1", .3}, {"1,5", 1}, {"1e-999", 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(intervalValue(text), expected) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(intervalValue("1e999")));
}

// At least 100 ms; from 50 s a 30 s poll that writes when due or after a 5 min clock jump.
TEST(DecideTick, WhenTheTimerWritesAndHowOftenItTicks) {
    const std::int64_t now = 100000;
    struct Row {
        double interval;
        int sinceUpdate, sinceTick; // -1: no tick yet
        int periodMs;               // -1: kept
        bool write;
    };
    const Row rows[] = {
        {0.25, 10, 10, 250, true},     {1e-300, -1, 0, 100, true},
        {0.1004, -1, 0, 100, true},    {0.1006, -1, 0, 101, true},
        {49.9996, -1, 0, 50000, true}, {50, -1, 0, 30000, true},
        {120, 90, 30, 30000, false},   {120, 121, 30, 30000, true},
        {1e9, 400, 360, 30000, true},  {1e9, 400, -360, 30000, true},
        {1e9, 400, 359, 30000, false}, {0, 400, 30, -1, false},
        {-5, 400, 30, -1, false},      {std::numeric_limits<double>::quiet_NaN(), 400, 30, -1, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.interval << " since update " << row.sinceUpdate);
        const TimerStamps stamps =
            row.sinceUpdate < 0 ? TimerStamps{} : TimerStamps{now - row.sinceUpdate, now - row.sinceTick};
        const TickDecision d = decideTick(row.interval, stamps, now);
        EXPECT_EQ(d.periodMs.value_or(-1), row.periodMs);
        EXPECT_EQ(d.writeNow, row.write);
        EXPECT_EQ(d.refreshTitle, row.write);
        const bool polls = row.interval >= kLongIntervalSeconds;
        EXPECT_EQ(d.stamps, (polls ? TimerStamps{row.write ? now : stamps.lastUpdate, now} : stamps));
    }
}

} // namespace
} // namespace quillmark
