#include "platform/platform.h"
#include "signature/entries.h"
#include "signature/separator.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>

namespace quillmark {
namespace {

using Entries = std::vector<std::string>;
using namespace std::string_literals;
const std::string LE(kLineEnd);

// The rules read the plain way, line by line: the reference for the fast splitter.
Entries referenceSplit(std::string_view bytes, std::string_view sep) {
    std::string text(bytes);
    for (std::size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos;)
        text.erase(++p, 1);
    std::replace(text.begin(), text.end(), '\r', '\n');
    std::istringstream in(text);
    Entries entries{""};
    for (std::string l; std::getline(in, l);) {
        if (sep.empty() ? l.empty() : l.starts_with(sep))
            entries.emplace_back();
        else if (!l.starts_with('#'))
            entries.back() += (entries.back().empty() ? "" : LE) + l;
    }
    return entries;
}

TEST(SplitEntries, FollowsTheLineAndEntryRules) {
    const std::tuple<std::string, std::string, Entries> cases[] = {
        {"A\n%\nB\nC\n", "%", {"A", "B" + LE + "C"}},
        {"A\n%\rB\r\nC", "%", {"A", "B" + LE + "C"}},
        {"A\n% and the rest\nB\n# note\nC", "%", {"A", "B" + LE + "C"}},
        {"%\n%\n", "%", {"", "", ""}},
        {"", "%", {""}},
        // Leading empty lines vanish, inner and trailing ones stay.
        {"\n\nA\n\nB\n\n\n%\n", "%", {"A" + LE + LE + "B" + LE + LE, ""}},
        {"  %\nx%\n%", "%", {"  %" + LE + "x%", ""}},
        {"A\n#\nB", "#", {"A", "B"}},
        {"A\0B\n%\n\xFF\xFE\x80"s, "%", {"A\0B"s, "\xFF\xFE\x80"}},
        {"A\nB\n\nC\n", "", {"A" + LE + "B", "C"}},
        {"A\n%\nB", "%\n", {"A" + LE + "%" + LE + "B"}}};
    for (const auto& [bytes, sep, expected] : cases) {
        EXPECT_EQ(splitEntries(bytes, sep), expected) << testing::PrintToString(bytes);
        EXPECT_EQ(referenceSplit(bytes, sep), expected) << testing::PrintToString(bytes);
    }
}

// The separator of a stored setting: a whole UTF-8 sequence, else one byte (a Windows-1252
// section sign; a sequence cut short, overlong, a surrogate or with a bad continuation byte).
TEST(SeparatorFromSetting, KeepsTheFirstCharacterByteForByte) {
    const std::pair<std::string, std::string> cases[] = {{"", "%"},
                                                         {"%", "%"},
                                                         {"#x", "#"},
                                                         {"\xA7\xA7", "\xA7"},
                                                         {"\xC2\xA7rest", "\xC2\xA7"},
                                                         {"\xE2\x82\xAC", "\xE2\x82\xAC"},
                                                         {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80"},
                                                         {"\xC2", "\xC2"},
                                                         {"\xC0\xAF", "\xC0"},
                                                         {"\xED\xA0\x80", "\xED"},
                                                         {"\xE2\x28\xA1", "\xE2"}};
    for (const auto& [stored, expected] : cases)
        EXPECT_EQ(separatorFromSetting(stored), expected) << stored;
}

// Wherever a piece is cut (inside a CR LF, a separator, a line's first bytes), however
// densely the entries' starts are sampled, and whether an entry is read from the start or
// from a sample, the result must be the plain reading's.
TEST(EntryList, AgreesWithThePlainReadingWherePiecesAreCut) {
    const std::string alphabet = "Ab #%\r\n\n\n\xC2\xA7\0"s;
    std::mt19937 gen(1234);
    const auto feedInPieces = [&gen](auto& reader, std::string_view bytes, int maxPiece) {
        for (std::size_t n; !bytes.empty(); bytes.remove_prefix(n)) {
            n = std::min<std::size_t>(bytes.size(), 1 + gen() % maxPiece);
            reader.feed(bytes.substr(0, n));
        }
    };
    for (int round = 0; round < 600; ++round) {
        std::string bytes(gen() % 40, ' ');
        for (char& c : bytes)
            c = alphabet[gen() % alphabet.size()];
        const int maxPiece = round % 2 ? 3 : 9;
        for (const std::string sep : {"%", "\xC2\xA7", "", "#", "%%"}) {
            const Entries expected = referenceSplit(bytes, sep);
            const std::string shown = testing::PrintToString(bytes) + " sep " + sep;
            EntryScanner scanner(sep, 1 + round % 8);
            feedInPieces(scanner, bytes, maxPiece);
            ASSERT_EQ(scanner.count(), expected.size()) << shown;
            const EntryList list(bytes, sep, {scanner.count(), scanner.takeSamples()});
            ASSERT_EQ(list.entries(), expected) << shown;

            for (std::size_t i = 0; i <= expected.size(); ++i) {
                EntrySplitter one(sep, i);
                feedInPieces(one, bytes, maxPiece);
                ASSERT_EQ(one.takeEntry(), i < expected.size() ? expected[i] : "") << shown << " entry " << i;
                // Room taken for a signature before its entries are made.
                if (i < expected.size() && kLineEnd.size() == 1) {
                    ASSERT_GE(list.sourceBytes(i), expected[i].size()) << shown << " entry " << i;
                }
            }
        }
    }
}

TEST(LoadEntryFile, ReplacesTheListOnlyAfterAWholeRead) {
    test::TempFolder tmp;
    std::filesystem::create_directory(tmp.file("folder"));
    test::spit(tmp.file("huge.txt"), ""); // sparse: nothing is written to disk
    std::filesystem::resize_file(tmp.file("huge.txt"), std::uintmax_t{300} << 20);
    const Entries before{"old 1", "old 2"};
    EntryList list{"old 1", "old 2"};
    // Nothing to load is not an error; a folder where the file should be is, and so is a
    // file too large to hold, refused before a byte is read.
    const std::pair<std::string, std::optional<ErrorCode>> cases[] = {
        {"", std::nullopt},
        {tmp.file("no/such/f.txt"), std::nullopt},
        {tmp.file("folder"), ErrorCode::IsDirectory},
        {tmp.file("huge.txt"), ErrorCode::TooLarge}};
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path);
        const Status s = loadEntryFile(path, "%", list);
        EXPECT_EQ(s.ok() ? std::nullopt : std::optional(s.code()), error);
        EXPECT_EQ(list.entries(), before);
    }
    EXPECT_EQ(loadEntryFile(tmp.file("huge.txt"), "%", list).message(),
              tmp.file("huge.txt") + " is 300 MB; source files above 256 MB are not loaded");
    test::spit(tmp.file("empty.txt"), "");
    EXPECT_TRUE(loadEntryFile(tmp.file("empty.txt"), "%", list).ok());
    EXPECT_EQ(list.entries(), Entries{""});
}

// Many read pieces long, with CR LF and a two-byte separator across the pieces' edges; one
// entry of a single 3 MB line; 20 MB of separators (which must not take quadratic time).
TEST(LoadEntryFile, LargeFilesReadInPiecesGiveTheSameEntries) {
    test::TempFolder tmp;
    std::string bytes;
    for (int i = 0; bytes.size() < 300'000; ++i)
        bytes += "# c\r\n\r\nline " + std::to_string(i) + "\r\n" + std::string(i % 97u, 'x') +
                 "\r\n\xC2\xA7 s\r\n";
    const std::pair<std::string, std::string> files[] = {
        {bytes, "\xC2\xA7"},
        {std::string(3u << 20, 'h') + "\n%\nnext\n%\n" + std::string(200'000, 'f'), "%"},
        {std::string(20u << 20, '%'), "%"}};
    for (const auto& [file, separator] : files) {
        SCOPED_TRACE(file.substr(0, 20));
        test::spit(tmp.file("big.txt"), file);
        EntryList list;
        ASSERT_TRUE(loadEntryFile(tmp.file("big.txt"), separator, list).ok());
        EXPECT_TRUE(list.entries() == referenceSplit(file, separator));
    }
}

} // namespace
} // namespace quillmark
