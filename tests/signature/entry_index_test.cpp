#include "signature/entry_index.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using test::slurp;
using test::spit;

class FixedRandom final : public RandomSource {
public:
    explicit FixedRandom(float r) : m_r(r) {}
    float next() override {
        ++draws;
        return m_r;
    }
    int draws = 0;

private:
    float m_r;
};

class EntryIndexTest : public ::testing::Test {
protected:
    // Every entry of the file, drawn through the index and by the full parse with the
    // same number, must be the same entry with the same count.
    void expectSameAsFullParse(const std::string& path, std::string_view separator, const std::string& what) {
        std::vector<std::string> entries = splitEntries(slurp(path), separator);
        const std::size_t n = entries.size();
        for (std::size_t i = 0; i <= n; ++i) {
            const float r = i == n ? 0.99999994f : (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
            FixedRandom a(r);
            FixedRandom b(r);
            EntryPick indexed;
            EntryPick full;
            EXPECT_TRUE(pickEntryIndexed(path, separator, {"fallback"}, a, indexed, m_cache).ok());
            EXPECT_TRUE(pickEntryFromFile(path, separator, {"fallback"}, b, full).ok());
            EXPECT_EQ(a.draws, 1);
            ASSERT_EQ(indexed.count, full.count) << what;
            ASSERT_EQ(indexed.index, full.index) << what;
            ASSERT_EQ(indexed.text, full.text) << what << " entry " << full.index;
        }
    }
    std::string indexOf(const std::string& path, std::string_view separator) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return entryIndexPath(m_cache, st.st_dev, st.st_ino, separator);
    }

    test::TempFolder m_tmp;
    std::string m_cache = m_tmp.file("cache/quillmark");
};

TEST_F(EntryIndexTest, RandomFilesGiveTheEntriesOfTheFullParse) {
    std::mt19937 engine(20261206);
    const std::string alphabet = "ab%%#\r\n\n ";
    const std::string_view separators[] = {"%", "", "%%", "ab", "\n"};
    const std::string path = m_tmp.file("quotes.txt");
    for (int round = 0; round < 300; ++round) {
        std::string bytes(engine() % 120, ' ');
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
    spit(path, "one\n%\ntwo\n%\nthree\n");
    expectSameAsFullParse(path, "%", "first");
    const std::string index = indexOf(path, "%");
    ASSERT_TRUE(fs::exists(index));

    // Same size, and the modification time put back as "touch -d" would: the change time
    // still tells the versions apart.
    const auto stamp = fs::last_write_time(path);
    spit(path, "ONE\n%\nTWO\nX\n%\nT\n");
    fs::last_write_time(path, stamp);
    expectSameAsFullParse(path, "%", "same size and time");

    const std::string good = slurp(index);
    struct Damage {
        const char* what;
        std::string bytes;
    };
    std::string otherVersion = good;
    otherVersion[8] = 9;
    std::string badOffset = good;
    badOffset[badOffset.size() - 8] = 3;
    const Damage damages[] = {{"truncated", good.substr(0, good.size() - 3)},
                              {"empty", ""},
                              {"another version", otherVersion},
                              {"an offset off its line", badOffset}};
    for (const Damage& d : damages) {
        spit(index, d.bytes);
        expectSameAsFullParse(path, "%", d.what);
    }

    // Another file's index under this name.
    const std::string other = m_tmp.file("other.txt");
    spit(other, "a\n%\nb\n%\nc\n%\nd\n");
    expectSameAsFullParse(other, "%", "other");
    fs::copy_file(indexOf(other, "%"), index, fs::copy_options::overwrite_existing);
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
    FixedRandom r(0.5f);
    EntryPick pick;
    EXPECT_TRUE(pickEntryIndexed(m_tmp.file("missing.txt"), "%", {"a", "b"}, r, pick, m_cache).ok());
    EXPECT_EQ(pick.text, "b");
    EXPECT_EQ(r.draws, 1);
}

} // namespace
} // namespace quillmark
