#include "platform/platform.h"
#include "signature/entries.h"
#include "signature/entry_index.h"
#include "signature/separator.h"
#include "support/scripted_random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::string>;
using test::slurp;
using test::spit;
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
        {"A\n%\rB\r\nC", "%", {"A", "B" + LE + "C"}},
        {"A\n% and the rest\nB\n# note\nC", "%", {"A", "B" + LE + "C"}},
        // Leading empty lines vanish, inner and trailing ones stay.
        {"\n\nA\n\nB\n\n\n%\n", "%", {"A" + LE + LE + "B" + LE + LE, ""}},
        {"A\0B\n%\n\xFF\xFE\x80"s, "%", {"A\0B"s, "\xFF\xFE\x80"}},
        {"A\nB\n\nC\n", "", {"A" + LE + "B", "C"}},
        {"A\n%\nB", "%\n", {"A" + LE + "%" + LE + "B"}}};
    for (const auto& [bytes, sep, expected] : cases) {
        EXPECT_EQ(splitEntries(bytes, sep), expected) << testing::PrintToString(bytes);
        EXPECT_EQ(referenceSplit(bytes, sep), expected) << testing::PrintToString(bytes);
    }
}

// A whole UTF-8 sequence, else one byte (cut short, overlong, a bad continuation).
TEST(SeparatorFromSetting, KeepsTheFirstCharacterByteForByte) {
    const std::pair<std::string, std::string> cases[] = {{"", "%"},
                                                         {"#x", "#"},
                                                         {"\xC2\xA7rest", "\xC2\xA7"},
                                                         {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80"},
                                                         {"\xC2", "\xC2"},
                                                         {"\xC0\xAF", "\xC0"},
                                                         {"\xE2\x28\xA1", "\xE2"}};
    for (const auto& [stored, expected] : cases)
        EXPECT_EQ(separatorFromSetting(stored), expected) << stored;
}

TEST(LoadEntryFile, ReplacesTheListOnlyAfterAWholeRead) {
    test::TempFolder tmp;
    fs::create_directory(tmp.file("folder"));
    spit(tmp.file("huge.txt"), ""); // sparse: nothing is written to disk
    fs::resize_file(tmp.file("huge.txt"), std::uintmax_t{300} << 20);
    const Entries before{"old 1", "old 2"};
    EntryList list{"old 1", "old 2"};
    // Nothing to load is no error; a folder is, and so is a file too large to hold.
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
    spit(tmp.file("empty.txt"), "");
    EXPECT_TRUE(loadEntryFile(tmp.file("empty.txt"), "%", list).ok());
    EXPECT_EQ(list.entries(), Entries{""});
    // Many read pieces long, with CR LF and a two-byte separator across the pieces' edges.
    std::string bytes;
    for (int i = 0; bytes.size() < 300'000; ++i)
        bytes += "# c\r\n\r\nline " + std::to_string(i) + "\r\n" + std::string(i % 97u, 'x') +
                 "\r\n\xC2\xA7 s\r\n";
    spit(tmp.file("big.txt"), bytes);
    ASSERT_TRUE(loadEntryFile(tmp.file("big.txt"), "\xC2\xA7", list).ok());
    EXPECT_TRUE(list.entries() == referenceSplit(bytes, "\xC2\xA7"));
}

class EntryIndexTest : public ::testing::Test {
protected:
    // Every entry, drawn through the index and by the full parse with the same number.
    void expectSameAsFullParse(const std::string& path, std::string_view separator, const std::string& what) {
        const std::size_t n = splitEntries(slurp(path), separator).size();
        for (std::size_t i = 0; i <= n; ++i) {
            const float r = i == n ? 0.99999994f : (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
            test::ScriptedRandom a{r}, b{r};
            a.repeat = b.repeat = true;
            const FilePick indexed = pickEntryIndexed(path, separator, {"fallback"}, a, m_cache);
            const FilePick full = pickEntryFromFile(path, separator, {"fallback"}, b);
            EXPECT_TRUE(indexed.read.ok() && full.read.ok());
            EXPECT_EQ(a.draws, 1);
            ASSERT_EQ(std::tie(indexed.entry.count, indexed.entry.index, indexed.entry.text),
                      std::tie(full.entry.count, full.entry.index, full.entry.text))
                << what;
        }
    }

    test::TempFolder m_tmp;
    std::string m_cache = m_tmp.file("cache/quillmark");
};

// However the pieces are cut, the starts sampled or the index used, the result is the plain reading's.
TEST_F(EntryIndexTest, PiecesAndIndexGiveTheEntriesOfThePlainReading) {
    const std::string alphabet = "Ab #%\r\n\n\n\xC2\xA7\0"s, path = m_tmp.file("quotes.txt");
    std::mt19937 gen(1234);
    const auto feedInPieces = [&gen](auto& reader, std::string_view bytes, int maxPiece) {
        for (std::size_t n; !bytes.empty(); bytes.remove_prefix(n)) {
            n = std::min<std::size_t>(bytes.size(), 1 + gen() % maxPiece);
            reader.feed(bytes.substr(0, n));
        }
    };
    for (int round = 0; round < 600; ++round) {
        // Some long enough for the index to sample where their entries begin.
        std::string bytes(gen() % (round % 60 == 0 ? 12'000 : 40), ' ');
        for (char& c : bytes)
            c = alphabet[gen() % alphabet.size()];
        spit(path, bytes);
        const int maxPiece = round % 2 ? 3 : 9;
        for (const std::string sep : {"%", "\xC2\xA7", "", "#", "%%"}) {
            const Entries expected = referenceSplit(bytes, sep);
            const std::string shown = testing::PrintToString(bytes) + " sep " + sep;
            EntryScanner scanner(sep, 1 + round % 8);
            feedInPieces(scanner, bytes, maxPiece);
            ASSERT_EQ(scanner.count(), expected.size()) << shown;
            const EntryList list(bytes, sep, {scanner.count(), scanner.takeSamples()});
            ASSERT_EQ(list.entries(), expected) << shown;
            if (round % 3 == 0)
                for (const char* what : {" cold", " warm"})
                    expectSameAsFullParse(path, sep, shown + what);
            for (std::size_t i = 0; bytes.size() < 100 && i <= expected.size(); ++i) {
                EntrySplitter one(sep, i);
                feedInPieces(one, bytes, maxPiece);
                ASSERT_EQ(one.takeEntry(), i < expected.size() ? expected[i] : "") << shown << " entry " << i;
            }
        }
        fs::remove(path);
    }
}

// Same size and time, a damaged or foreign index, a planted link: never another entry.
TEST_F(EntryIndexTest, AnyChangeOfTheFileOrADamagedIndexNeverGivesAnotherEntry) {
    if (test::kOnWindows)
        GTEST_SKIP() << "no symbolic links to make without privileges";
    const std::string path = m_tmp.file("quotes.txt");
    spit(path, "a\n%\nbbbbb\n");
    expectSameAsFullParse(path, "%", "before");
    const auto stamp = fs::last_write_time(path);
    spit(path, "a\n%\nb\n%\nc\n");
    fs::last_write_time(path, stamp);
    expectSameAsFullParse(path, "%", "same size and time");
    const std::string index = entryIndexPath(m_cache, path);
    const std::string good = slurp(index);
    std::string otherVersion = good, badByte = good;
    otherVersion[8] = 9;
    badByte[badByte.size() - 8] = 3;
    const std::pair<const char*, std::string> damages[] = {{"truncated", good.substr(0, good.size() - 3)},
                                                           {"another version", otherVersion},
                                                           {"a byte changed", badByte}};
    for (const auto& [what, bytes] : damages) {
        spit(index, bytes);
        expectSameAsFullParse(path, "%", what);
    }
    const std::string victim = m_tmp.file("victim.txt");
    spit(victim, "keep me");
    fs::remove(index);
    fs::create_symlink(victim, index);
    expectSameAsFullParse(path, "%", "planted link");
    expectSameAsFullParse(m_tmp.file("missing.txt"), "%", "no source: the fallback");
    EXPECT_EQ(slurp(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(index));
}

// Day-old leftovers and old formats go; the index in use, a write under way and other files stay.
TEST_F(EntryIndexTest, TheCacheDropsOnlyWhatIsNotUsed) {
    const std::string path = m_tmp.file("quotes.txt");
    spit(path, "a\n%\nb\n");
    expectSameAsFullParse(path, "%", path);
    const std::string leftover = m_cache + "/0123456789abcdef.idx.Ab12Cd";
    for (const char* name :
         {"0123456789abcdef.idx.Ab12Cd", "803-1a2b-cbf2.idx", ".0123456789abcdef.idx.Zz99Yy", "x"})
        spit(m_cache + "/" + name, "x");
    fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::hours(25));
    tidyEntryIndexFolder(m_cache);
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_cache))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{fs::path(entryIndexPath(m_cache, path)).filename().string(),
                                            ".0123456789abcdef.idx.Zz99Yy", "x", "tidied"}));
}

} // namespace
} // namespace quillmark
