#include "signature/entry_index.h"

#include "support/scripted_random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

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
        std::vector<std::string> entries = splitEntries(slurp(path), separator);
        const std::size_t n = entries.size();
        for (std::size_t i = 0; i <= n; ++i) {
            const float r = i == n ? 0.99999994f : (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
            test::ScriptedRandom a{r}, b{r};
            a.repeat = b.repeat = true;
            const FilePick indexed = pickEntryIndexed(path, separator, {"fallback"}, a, m_cache);
            const FilePick full = pickEntryFromFile(path, separator, {"fallback"}, b);
            EXPECT_TRUE(indexed.read.ok() && full.read.ok());
            EXPECT_EQ(a.draws, 1);
            ASSERT_EQ(indexed.entry.count, full.entry.count) << what;
            ASSERT_EQ(indexed.entry.index, full.entry.index) << what;
            ASSERT_EQ(indexed.entry.text, full.entry.text) << what << " entry " << full.entry.index;
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
        const std::string_view separator = separators[round % std::size(separators)];
        // Cold (the index is built), then warm (the index is read).
        expectSameAsFullParse(path, separator, "round " + std::to_string(round));
        expectSameAsFullParse(path, separator, "warm round " + std::to_string(round));
        fs::remove(path);
    }
}

TEST_F(EntryIndexTest, AnyChangeOfTheFileOrADamagedIndexNeverGivesAnotherEntry) {
    const std::string path = m_tmp.file("quotes.txt");
    // Rewritten in place (same inode) to the same size, and the modification time put
    // back as "touch -d" would.
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
    const std::string index = indexOf(path);
    ASSERT_TRUE(fs::exists(index));

    const std::string good = slurp(index);
    std::string otherVersion = good, badByte = good;
    otherVersion[8] = 9;
    badByte[badByte.size() - 8] = 3;
    const std::pair<const char*, std::string> damages[] = {{"truncated", good.substr(0, good.size() - 3)},
                                                           {"empty", ""},
                                                           {"another version", otherVersion},
                                                           {"a byte changed", badByte}};
    for (const auto& [what, bytes] : damages) {
        spit(index, bytes);
        expectSameAsFullParse(path, "%", what);
    }

    // Another file's index under this name.
    const std::string other = m_tmp.file("other.txt");
    spit(other, "a\n%\nb\n%\nc\n%\nd\n");
    expectSameAsFullParse(other, "%", "other");
    fs::copy_file(indexOf(other), index, fs::copy_options::overwrite_existing);
    expectSameAsFullParse(path, "%", "another file's index");

    // A link planted where the index goes is replaced, never written through.
    const std::string victim = m_tmp.file("victim.txt");
    spit(victim, "keep me");
    fs::remove(index);
    fs::create_symlink(victim, index);
    expectSameAsFullParse(path, "%", "planted link");
    EXPECT_EQ(slurp(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(index));
}

TEST_F(EntryIndexTest, WithoutAWritableCacheTheFullParseStillAnswers) {
    const std::string path = m_tmp.file("quotes.txt");
    spit(path, "one\n%\ntwo\n");
    // The cache folder's place is taken by a file: nothing can be written there.
    spit(m_tmp.file("cache"), "not a folder");
    expectSameAsFullParse(path, "%", "no cache");
    // A missing source file draws from the fallback list, as the full parse does.
    test::ScriptedRandom r{0.5f};
    const FilePick pick = pickEntryIndexed(m_tmp.file("missing.txt"), "%", {"a", "b"}, r, m_cache);
    EXPECT_TRUE(pick.read.ok());
    EXPECT_EQ(pick.entry.text, "b");
    EXPECT_EQ(r.draws, 1);
}

// Each save of an editor replaces the file: still one index for its path. Indexes of
// files gone or unused for a month go, as do what killed writes left a day ago and an
// older format's indexes; other files and a write under way stay. At most once a day.
TEST_F(EntryIndexTest, TheCacheKeepsOneIndexPerSourceAndDropsWhatIsNotUsed) {
    const std::string path = m_tmp.file("quotes.txt"), gone = m_tmp.file("gone.txt");
    for (int save = 0; save < 5; ++save) {
        spit(m_tmp.file("saving.txt"), "v" + std::to_string(save) + "\n%\nx\n");
        fs::rename(m_tmp.file("saving.txt"), path);
        expectSameAsFullParse(path, "%", "save " + std::to_string(save));
    }
    for (const std::string& source : {gone, m_tmp.file("unused.txt")}) {
        spit(source, "a\n%\nb\n");
        expectSameAsFullParse(source, "%", source);
    }
    fs::remove(gone);
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(25);
    fs::last_write_time(indexOf(m_tmp.file("unused.txt")), dayAgo - std::chrono::hours(24 * 30));
    const std::string leftover = m_cache + "/0123456789abcdef.idx.Ab12Cd";
    for (const char* name : {"0123456789abcdef.idx.Ab12Cd", "0123456789abcdef.idx.1234567.tmp",
                             "803-1a2b-cbf2.idx", ".0123456789abcdef.idx.Zz99Yy", "x"})
        spit(m_cache + "/" + name, "x");
    fs::last_write_time(m_cache + "/0123456789abcdef.idx.1234567.tmp", dayAgo);
    for (int run = 0; run < 2; ++run) {
        fs::last_write_time(leftover, dayAgo);
        tidyEntryIndexFolder(m_cache);
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_cache))
            names.insert(entry.path().filename().string());
        std::set<std::string> expected{fs::path(indexOf(path)).filename().string(),
                                       ".0123456789abcdef.idx.Zz99Yy", "x", "tidied"};
        if (run == 1)
            expected.insert(fs::path(leftover).filename().string());
        EXPECT_EQ(names, expected);
        spit(leftover, "x");
    }
}

} // namespace
} // namespace quillmark
