// The settings lock and the cache files of the entry index against Windows' (here Wine's)
// file system: byte locks held by a handle, and replacement by a move.
#include "platform/app_folders.h"
#include "platform/file_lock.h"
#include "platform/random_access_file.h"
#include "platform/sample_files.h"

#include "support/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace quillmark {
namespace {

using test::TempFolder;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(FileLockWindows, SecondHolderWaitsUntilTheFirstLetsGo) {
    TempFolder tmp;
    const std::string path = tmp.file("Sub Folder\\Quillmark.INI.lock");
    Result<FileLock> first = FileLock::acquire(path, 0ms);
    ASSERT_TRUE(first.ok()) << first.error().message;
    EXPECT_TRUE(first->held());
    EXPECT_TRUE(fs::exists(path)) << "the lock file and its folder are made";

    // Another handle, even in the same process, waits out its time and is refused.
    const auto start = std::chrono::steady_clock::now();
    Result<FileLock> second = FileLock::acquire(path, 300ms);
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(second.ok());
    EXPECT_NE(second.error().message.find("did not let go within 300 ms"), std::string::npos)
        << second.error().message;
    EXPECT_GE(waited, 290ms) << "gave up before its time";

    // A closed handle frees the lock at once; the lock file left behind blocks nobody.
    first->release();
    EXPECT_FALSE(first->held());
    Result<FileLock> third = FileLock::acquire(path, 0ms);
    ASSERT_TRUE(third.ok()) << third.error().message;
    {
        FileLock moved = std::move(*third);
        EXPECT_TRUE(moved.held());
        EXPECT_FALSE(FileLock::acquire(path, 0ms).ok()) << "a moved lock is still held";
    }
    EXPECT_TRUE(FileLock::acquire(path, 0ms).ok()) << "a destroyed lock is let go";
}

TEST(RandomAccessFileWindows, ReadsAtOffsetsSeesRewritesAndReplacesCacheFiles) {
    TempFolder tmp;
    const std::string cache = tmp.file("Cache\\quotes.idx");
    ASSERT_TRUE(replaceCacheFile(cache, "0123456789").ok());
    ASSERT_TRUE(replaceCacheFile(cache, "abcdefghij").ok()) << "an existing cache file is replaced";
    EXPECT_EQ(test::slurp(cache), "abcdefghij");
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.file("Cache")), fs::directory_iterator()), 1)
        << "no temporary file is left behind";

    Result<RandomAccessFile> file = RandomAccessFile::openCache(cache);
    ASSERT_TRUE(file.ok()) << file.error().message;
    EXPECT_EQ(file->size(), 10u);
    char part[4] = {};
    ASSERT_TRUE(file->readAt(6, part, 4).ok());
    EXPECT_EQ(std::string(part, 4), "ghij");
    Status beyond = file->readAt(8, part, 4);
    ASSERT_FALSE(beyond.ok());
    EXPECT_EQ(beyond.error().code, ErrorCode::TooLarge);

    // Written over while open (the reader shares it): the stamp tells.
    const FileStamp before = file->stamp();
    test::spit(cache, "abcdefghijk");
    Result<FileStamp> after = file->stampNow();
    ASSERT_TRUE(after.ok());
    EXPECT_FALSE(*after == before);

    Result<RandomAccessFile> missing = RandomAccessFile::open(tmp.file("none.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::NotFound);
    Result<RandomAccessFile> folder = RandomAccessFile::open(tmp.file("Cache"));
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().code, ErrorCode::SpecialFile);
}

TEST(ExecutableFolderWindows, IsTheFolderOfThisTestProgram) {
    const std::string folder = executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::exists(fs::path(folder) / "core_tests.exe")) << folder;
}

// Without HOME (as on most Windows machines) the cache must not land in the drive's root.
TEST(CacheFolderWindows, LiesInTheUsersLocalApplicationData) {
    TempFolder tmp;
    const std::string oldLocal = environmentValue("LOCALAPPDATA");
    const std::string oldHome = environmentValue("HOME");
    setenv("LOCALAPPDATA", tmp.path().c_str(), 1);
    unsetenv("HOME");
    unsetenv("XDG_CACHE_HOME");
    const std::string folder = cacheFolder();
    setenv("LOCALAPPDATA", oldLocal.c_str(), 1);
    if (!oldHome.empty())
        setenv("HOME", oldHome.c_str(), 1);
    EXPECT_EQ(folder, tmp.path() + "\\Quillmark\\Cache");
}

} // namespace
} // namespace quillmark
