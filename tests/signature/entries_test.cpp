#include "platform/platform.h"
#include "signature/entries.h"
#include "signature/scripted_random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>

namespace quillmark {
namespace {

using Entries = std::vector<std::string>;

// The lines of one entry as the program joins them.
std::string joined(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (it != lines.begin())
            out += kLineEnd;
        out += *it;
    }
    return out;
}

// The rules read line by line, one character at a time, the plain way: the reference
// the fast splitter must agree with.
Entries referenceSplit(std::string_view bytes, std::string_view sep) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    Entries entries{""};
    for (const std::string& l : lines) {
        const bool isSeparator = sep.empty() ? l.empty() : l.starts_with(sep);
        if (isSeparator)
            entries.emplace_back();
        else if (l.starts_with('#'))
            continue;
        else if (entries.back().empty())
            entries.back() = l;
        else
            entries.back() += std::string(kLineEnd) + l;
    }
    return entries;
}

TEST(SplitEntries, FollowsTheLineAndEntryRules) {
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string bytes;
        std::string sep;
        Entries expected;
    };
    const std::string A = "A", B = "B", C = "C";
    const Case cases[] = {
        {"crlf", "A\r\n%\r\nB\r\nC\r\n", "%", {A, joined({B, C})}},
        {"lf only", "A\n%\nB\nC\n", "%", {A, joined({B, C})}},
        {"cr only", "A\r%\rB\rC\r", "%", {A, joined({B, C})}},
        {"mixed", "A\n%\rB\r\nC", "%", {A, joined({B, C})}},
        {"text after separator is dropped", "A\n% and the rest\nB", "%", {A, B}},
        {"comment then content", "#note\nX\n", "%", {"X"}},
        {"comment inside an entry", "A\n# note\nB", "%", {joined({A, B})}},
        {"only separators", "%\n%\n", "%", {"", "", ""}},
        {"trailing separator without line end", "A\n%", "%", {A, ""}},
        {"empty file", "", "%", {""}},
        {"no separator", "A\nB", "%", {joined({A, B})}},
        {"empty lines: leading vanish, inner and trailing stay",
         "\n\nA\n\nB\n\n\n%\n",
         "%",
         {joined({A, "", B, "", ""}), ""}},
        {"separator only at line start", "  %\nx%\n%", "%", {joined({"  %", "x%"}), ""}},
        {"case and code exact", "A\nP\n", "p", {joined({A, "P"})}},
        {"hash as separator wins over comment", "A\n#\nB", "#", {A, B}},
        {"multi-byte separator", "A\n\xC2\xA7 x\nB\n\xC2\xA9 c", "\xC2\xA7", {A, joined({B, "\xC2\xA9 c"})}},
        {"longer separator", "A\n%%\nB\n%x\nC", "%%", {A, joined({B, "%x", C})}},
        {"binary bytes kept", "A\0B\n%\n\xFF\xFE\x80"s, "%", {"A\0B"s, "\xFF\xFE\x80"}},
        {"empty separator: blank lines separate", "A\nB\n\nC\n", "", {joined({A, B}), C}},
        {"separator holding a line end matches nothing", "A\n%\nB", "%\n", {joined({A, "%", B})}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitEntries(c.bytes, c.sep), c.expected) << c.name;
        EXPECT_EQ(referenceSplit(c.bytes, c.sep), c.expected) << c.name << " (reference)";
    }
}

// Feeds the text in pieces of 1 to `maxPiece` bytes.
template <class Gen>
void feedInPieces(EntrySplitter& splitter, std::string_view bytes, Gen& gen, int maxPiece) {
    while (!bytes.empty()) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), 1 + gen() % maxPiece);
        splitter.feed(bytes.substr(0, n));
        bytes.remove_prefix(n);
    }
}

// Random files built from the characters the rules care about, fed whole and in random
// pieces: wherever a piece is cut (inside a CR LF, a separator, a line's first bytes),
// and whether all entries, one or none are kept, the result must be what the plain
// reading gives, byte for byte.
TEST(EntrySplitter, AgreesWithThePlainReadingWherePiecesAreCut) {
    const std::string alphabet = std::string("Ab #%\r\n\n\n\xC2\xA7") + '\0';
    const std::string separators[] = {"%", "\xC2\xA7", "", "#", "%%"};
    std::mt19937 gen(1234);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(gen() % 40, ' ');
        for (char& c : bytes)
            c = alphabet[gen() % alphabet.size()];
        const int maxPiece = round % 2 ? 3 : 9;
        for (const std::string& sep : separators) {
            const Entries expected = referenceSplit(bytes, sep);
            const std::string shown = testing::PrintToString(bytes) + " sep " + testing::PrintToString(sep);
            ASSERT_EQ(splitEntries(bytes, sep), expected) << shown;

            EntrySplitter all(sep);
            feedInPieces(all, bytes, gen, maxPiece);
            ASSERT_EQ(all.takeEntries(), expected) << shown;

            EntrySplitter counter(sep, EntrySplitter::Keep::None);
            feedInPieces(counter, bytes, gen, maxPiece);
            counter.finish();
            ASSERT_EQ(counter.count(), expected.size()) << shown;

            for (std::size_t i = 0; i <= expected.size(); ++i) {
                EntrySplitter one(sep, EntrySplitter::Keep::One, i);
                feedInPieces(one, bytes, gen, maxPiece);
                ASSERT_EQ(one.takeEntry(), i < expected.size() ? expected[i] : "") << shown << " entry " << i;
            }
        }
    }
}

TEST(SplitEntries, HugeAndDegenerateInputsFinish) {
    // One 20 MB line without a line end, then the worst case for the separator search:
    // a line made only of separator characters, and a million separator lines.
    const std::string oneLine(20u << 20, 'x');
    EXPECT_EQ(splitEntries(oneLine, "%"), Entries{oneLine});
    const std::string percents(20u << 20, '%');
    EXPECT_EQ(splitEntries(percents, "%").size(), 2u);
    std::string separators;
    for (int i = 0; i < 1'000'000; ++i)
        separators += "%\n";
    EXPECT_EQ(splitEntries(separators, "%").size(), 1'000'001u);
}

TEST(LoadEntryFile, ReplacesTheListOnlyAfterAWholeRead) {
    test::TempFolder tmp;
    std::filesystem::create_directory(tmp.file("folder"));
    const Entries before{"old 1", "old 2"};
    Entries list = before;
    // Nothing to load is not an error; a folder where the file should be is.
    const std::pair<std::string, IoError> cases[] = {
        {"", IoError::None},
        {tmp.file("missing.txt"), IoError::None},
        {tmp.file("no/such/folder/f.txt"), IoError::None},
        {tmp.file("folder"), IoError::IsDirectory},
    };
    for (const auto& [path, error] : cases) {
        EXPECT_EQ(loadEntryFile(path, "%", list).error, error) << path;
        EXPECT_EQ(list, before) << path;
    }
    test::spit(tmp.file("empty.txt"), "");
    EXPECT_TRUE(loadEntryFile(tmp.file("empty.txt"), "%", list).ok());
    EXPECT_EQ(list, Entries{""});
}

// A file many read pieces long, with CR LF line ends and a two-byte separator, so that
// line ends and separators fall across the pieces' edges. Loading it, and drawing from
// it the command-line tool's way, give what splitting it whole gives.
TEST(LoadEntryFile, LargeFilesReadInPiecesGiveTheSameEntries) {
    test::TempFolder tmp;
    std::string bytes;
    for (int i = 0; bytes.size() < 300'000; ++i)
        bytes += "# comment\r\n\r\nline " + std::to_string(i) + "\r\n" + std::string(i % 97u, 'x') +
                 "\r\n\xC2\xA7 sep\r\n";
    test::spit(tmp.file("big.txt"), bytes);
    const Entries expected = splitEntries(bytes, "\xC2\xA7");
    ASSERT_GT(expected.size(), 1000u);
    Entries list;
    ASSERT_TRUE(loadEntryFile(tmp.file("big.txt"), "\xC2\xA7", list).ok());
    EXPECT_EQ(list, expected);

    for (float r : {0.0f, 0.5f, 0.77f, std::nextafter(1.0f, 0.0f)}) {
        test::ScriptedRandom a{r}, b{r};
        const EntryPick fromList = pickEntry(list, a);
        EntryPick fromFile;
        ASSERT_TRUE(pickEntryFromFile(tmp.file("big.txt"), "\xC2\xA7", {}, b, fromFile).ok());
        EXPECT_EQ(fromFile.index, fromList.index) << r;
        EXPECT_EQ(fromFile.count, list.size()) << r;
        EXPECT_EQ(fromFile.text, fromList.text) << r;
    }
}

} // namespace
} // namespace quillmark
