#include "signature/entry_index.h"

#include "support/scripted_random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <tuple>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using test::slurp;
using test::spit;

class EntryIndexTest : public ::testing::Test {
protected:
    // Every entry of the file, drawn through the index and by the full parse with the
    // same number, must be the same entry with the same count.
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
    std::string indexOf(const std::string& path) { return entryIndexPath(m_cache, path); }

    test::TempFolder m_tmp;
    std::string m_cache = m_tmp.file("cache/quillmark");
};

TEST_F(EntryIndexTest, RandomFilesGiveTheEntriesOfTheFullParse) {
    std::mt19937 engine(20261206);
    const std::string alphabet = "ab%%#\r\n\n ";
    const std::string_view separators[] = {"%", "", "%%", "ab", "\n"};
    const std::string path = m_tmp.file("quotes.txt");
    for (int round = 0; round < 300; ++round) {
        // Some files long enough for the index to sample where their entries begin.
        std::string bytes(engine() % (round % 30 == 0 ? 12'000 : 120), ' ');
        for (char& c : bytes)
            c = alphabet[engine() % alphabet.size()];
        spit(path, bytes);
        // Cold (the index is built), then warm (the index is read).
        for (const char* what : {"cold", "warm"})
            expectSameAsFullParse(path, separators[round % std::size(separators)],
                                  what + std::to_string(round));
        fs::remove(path);
    }
}

// Rewritten in place (same inode, size and time, as "touch -d" puts it back), a damaged or
// foreign index, or a link planted where the index goes: never another entry, never a
// write through the link.
TEST_F(EntryIndexTest, AnyChangeOfTheFileOrADamagedIndexNeverGivesAnotherEntry) {
    const std::string path = m_tmp.file("quotes.txt");
    const std::pair<const char*, const char*> rewrites[] = {
        {"one\n%\ntwo\n%\nthree\n", "ONE\n%\nTWO\nX\n%\nT\n"}, {"a\n%\nbbbbb\n", "a\n%\nb\n%\nc\n"}};
    for (const auto& [before, after] : rewrites) {
        SCOPED_TRACE(after);
        spit(path, before);
        expectSameAsFullParse(path, "%", "before");
        const auto stamp = fs::last_write_time(path);
        spit(path, after);
        fs::last_write_time(path, stamp);
        expectSameAsFullParse(path, "%", "same size and time");
    }
    const std::string index = indexOf(path), other = m_tmp.file("other.txt");
    spit(other, "a\n%\nb\n%\nc\n%\nd\n");
    expectSameAsFullParse(other, "%", "other");
    const std::string good = slurp(index);
    std::string otherVersion = good, badByte = good;
    otherVersion[8] = 9;
    badByte[badByte.size() - 8] = 3;
    const std::pair<const char*, std::string> damages[] = {{"truncated", good.substr(0, good.size() - 3)},
                                                           {"empty", ""},
                                                           {"another version", otherVersion},
                                                           {"a byte changed", badByte},
                                                           {"another file's index", slurp(indexOf(other))}};
    for (const auto& [what, bytes] : damages) {
        spit(index, bytes);
        expectSameAsFullParse(path, "%", what);
    }
    const std::string victim = m_tmp.file("victim.txt");
    spit(victim, "keep me");
    fs::remove(index);
    fs::create_symlink(victim, index);
    expectSameAsFullParse(path, "%", "planted link");
    EXPECT_EQ(slurp(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(index));
}

// Without a writable cache (its folder's place taken by a file) the full parse answers;
// a missing source draws from the fallback list, as the full parse does.
TEST_F(EntryIndexTest, WithoutAWritableCacheTheFullParseStillAnswers) {
    const std::string path = m_tmp.file("quotes.txt");
    spit(path, "one\n%\ntwo\n");
    spit(m_tmp.file("cache"), "not a folder");
    expectSameAsFullParse(path, "%", "no cache");
    expectSameAsFullParse(m_tmp.file("missing.txt"), "%", "no source");
}

// Each save of an editor replaces the file: still one index for its path. Indexes of
// files gone or unused for a month go, as do what killed writes left a day ago and an
// older format's indexes; other files and a write under way stay. At most once a day.
TEST_F(EntryIndexTest, TheCacheKeepsOneIndexPerSourceAndDropsWhatIsNotUsed) {
    const std::string path = m_tmp.file("quotes.txt"), unused = m_tmp.file("unused.txt");
    for (int save = 0; save < 3; ++save) {
        spit(m_tmp.file("saving.txt"), "v" + std::to_string(save) + "\n%\nx\n");
        fs::rename(m_tmp.file("saving.txt"), path);
        expectSameAsFullParse(path, "%", "save " + std::to_string(save));
    }
    for (const std::string& source : {m_tmp.file("gone.txt"), unused}) {
        spit(source, "a\n%\nb\n");
        expectSameAsFullParse(source, "%", source);
    }
    fs::remove(m_tmp.file("gone.txt"));
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(25);
    fs::last_write_time(indexOf(unused), dayAgo - std::chrono::hours(24 * 30));
    const std::string leftover = m_cache + "/0123456789abcdef.idx.Ab12Cd";
    for (const char* name : {"0123456789abcdef.idx.Ab12Cd", "0123456789abcdef.idx.1234567.tmp",
                             "803-1a2b-cbf2.idx", ".0123456789abcdef.idx.Zz99Yy", "x"})
        spit(m_cache + "/" + name, "x");
    fs::last_write_time(m_cache + "/0123456789abcdef.idx.1234567.tmp", dayAgo);
    std::set<std::string> expected{fs::path(indexOf(path)).filename().string(),
                                   ".0123456789abcdef.idx.Zz99Yy", "x", "tidied"};
    for (int run = 0; run < 2; ++run) {
        fs::last_write_time(leftover, dayAgo);
        tidyEntryIndexFolder(m_cache);
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_cache))
            names.insert(entry.path().filename().string());
        EXPECT_EQ(names, expected);
        spit(leftover, "x"); // the second run, within the day, leaves it
        expected.insert(fs::path(leftover).filename().string());
    }
}

} // namespace
} // namespace quillmark
