// The file functions against the system's own file system; Linux's special files and links at the end.
#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/paths.h"
#include "platform/random_access_file.h"
#include "support/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <thread>
#ifdef _WIN32
#include "platform/windows/win_text.h"
#include <windows.h>
#else
#include <algorithm>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals;
using Names = std::set<std::string>;

Names namesIn(const std::string& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(toFsPath(folder)))
        names.insert(toUtf8Path(entry.path().filename()));
    return names;
}

#ifdef _WIN32
// Holds the file open as a writer at work or a mail program reading does: no one else may delete it.
std::shared_ptr<void> holdOpen(const std::string& path) {
    return {::CreateFileW(win::widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
            ::CloseHandle};
}

bool makeReadOnly(const std::string& path) {
    return ::SetFileAttributesW(win::widePath(path).c_str(), FILE_ATTRIBUTE_READONLY);
}
#else
// A writer at work (or a reader) holds the lock on its file.
std::shared_ptr<void> holdOpen(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT, 0600);
    ::flock(fd, LOCK_EX);
    return std::shared_ptr<void>(nullptr, [fd](void*) { ::close(fd); });
}

// False for the superuser, whom no permission bits stop (the tests run once more as another user).
bool makeReadOnly(const std::string& path) {
    return ::chmod(path.c_str(), 0444) == 0 && ::geteuid() != 0;
}
#endif

TEST(WriteFileAtomic, ReplacingKeepsPermissionsAndRemovesOnlyItsOwnLeftovers) {
    test::TempFolder tmp;
    const std::string target = tmp.file("sig.txt"), busy = tmp.file(".sig.txt.Busy42");
    test::spit(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const fs::perms permissions = fs::status(target).permissions();
    // A killed write's file (the target's pattern) goes; look-alikes and a live writer's stay.
    for (const char* name : {".sig.txt.Ab3xYz", ".sig.txt.Ab3xY", ".other.txt.Ab3xYz", "sig.txt.Ab3xYz"})
        test::spit(tmp.file(name), "a killed write's or a user's file");
    fs::create_directory(tmp.file(".sig.txt.Folder"));
    std::shared_ptr<void> writer = holdOpen(busy);
    ASSERT_TRUE(writeFileAtomic(target, "new").ok());
    writer.reset();
    EXPECT_EQ(namesIn(tmp.path()), (Names{".other.txt.Ab3xYz", ".sig.txt.Ab3xY", ".sig.txt.Busy42",
                                          ".sig.txt.Folder", "sig.txt", "sig.txt.Ab3xYz"}));
    ASSERT_TRUE(writeFileAtomic(target, "newer").ok());
    EXPECT_FALSE(fs::exists(busy)) << "once its writer is gone, the file is a leftover";
    EXPECT_EQ(fs::status(target).permissions(), permissions) << "a replaced file keeps its permissions";
}

// A mail program reading the signature holds it open for a moment: the file is replaced once it is
// let go. A read-only file or a missing folder fails with its code, and the old file stays.
TEST(WriteFileAtomic, FileHeldOpenIsReplacedOnceLetGoButAReadOnlyOneNever) {
    test::TempFolder tmp;
    const std::string sig = tmp.file("sig.txt");
    EXPECT_EQ(writeFileAtomic(tmp.file("no") + kPathSeparator + "sig.txt", "x").code(),
              ErrorCode::PathNotFound);
    test::spit(sig, "old");
    std::shared_ptr<void> held = holdOpen(sig);
    const Status failed = writeFileAtomic(sig, "new"); // Windows waits a short while, then gives up
    held.reset();
    EXPECT_TRUE(test::kOnWindows ? failed.code() == ErrorCode::AccessDenied : failed.ok());
    EXPECT_EQ(test::slurp(sig), test::kOnWindows ? "old" : "new");
    held = holdOpen(sig);
    std::thread release([&held] {
        std::this_thread::sleep_for(150ms);
        held.reset();
    });
    EXPECT_TRUE(writeFileAtomic(sig, "newer").ok());
    release.join();
    EXPECT_TRUE(!makeReadOnly(sig) || writeFileAtomic(sig, "newest").code() == ErrorCode::AccessDenied);
    EXPECT_EQ(test::slurp(sig), "newer");
    EXPECT_EQ(namesIn(tmp.path()), Names{"sig.txt"}) << "no temporary file is left";
}

TEST(WriteFileAtomic, NonAsciiNamesAndLongPathsAreWrittenReadAndFound) {
    test::TempFolder tmp;
    const std::string sep(1, kPathSeparator), top = tmp.file("J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC");
    const std::string deep = top + sep + std::string(120, 'a') + sep + std::string(120, 'b');
    ASSERT_TRUE(makeFolders(deep).ok());
    const std::string bytes = "Line one\r\nLine two\n\x00 end"s;
    for (const std::string& folder : {top, deep}) {
        const std::string file = folder + sep + "sig\xC3\xA9.txt";
        ASSERT_TRUE(writeFileAtomic(file, bytes).ok());
        ASSERT_TRUE(appendToFile(file, "more").ok());
        EXPECT_EQ(readFile(file).value(), bytes + "more") << "no line-end or code-page translation";
        EXPECT_TRUE(fileExists(folder + sep + "sig*.txt"));
    }
    EXPECT_EQ(namesIn(top), (Names{std::string(120, 'a'), "sig\xC3\xA9.txt"}));
}

TEST(FileLock, SecondHolderWaitsUntilTheFirstLetsGo) {
    test::TempFolder tmp;
    const std::string path = tmp.file("Sub Folder") + kPathSeparator + "Quillmark.INI.lock";
    Result<FileLock> first = FileLock::acquire(path, 0ms);
    ASSERT_TRUE(first.ok()) << first.error().message;
    EXPECT_FALSE(FileLock::acquire(path, 300ms).ok()) << "another handle, even in this process, waits";
    {
        FileLock moved = std::move(*first);
        EXPECT_FALSE(FileLock::acquire(path, 0ms).ok()) << "a moved lock is still held";
    }
    EXPECT_TRUE(FileLock::acquire(path, 0ms).ok()) << "a destroyed lock is let go";
}

#ifndef _WIN32
// A mail program waiting on a named pipe: open before the write, it takes up to `limit` bytes.
std::thread readPipe(const std::string& path, size_t limit, std::string& received) {
    const int fd = ::open(path.c_str(), O_RDWR); // never an end of file: `limit` ends the reading
    return std::thread([fd, limit, &received] {
        char buf[8192];
        pollfd p{fd, POLLIN, 0};
        while (received.size() < limit && ::poll(&p, 1, 20'000) == 1) // 20 s without data: give up
            received.append(
                buf, static_cast<size_t>(::read(fd, buf, std::min(sizeof buf, limit - received.size()))));
        ::close(fd);
    });
}

// A named pipe is written into only while someone reads it, as a mail program waiting on it does. A
// socket or device would never end and replacing one would break it: neither is read nor replaced.
TEST(WriteFileAtomic, SpecialFilesAreNeitherReadNorReplacedAndAPipeIsWrittenOnlyWhileRead) {
    test::TempFolder tmp;
    const std::string pipe = tmp.file("sig.txt"), socketPath = tmp.file("sock");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_symlink("sig.txt", tmp.file("link"));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const std::string& path : {tmp.file("link"), pipe, socketPath}) {
        SCOPED_TRACE(path);
        const fs::file_type type = fs::symlink_status(path).type();
        EXPECT_EQ(readFile(path).code(), ErrorCode::SpecialFile);
        EXPECT_EQ(FileReader().open(path).code(), ErrorCode::SpecialFile);
        EXPECT_EQ(RandomAccessFile::open(path).code(), ErrorCode::SpecialFile);
        EXPECT_EQ(writeFileAtomic(path, "Regards\n").code(),
                  path == socketPath ? ErrorCode::SpecialFile : ErrorCode::NoReader);
        EXPECT_EQ(fs::symlink_status(path).type(), type);
    }
    ::close(s);
    // More than a pipe holds, so the write waits for the reader; one that leaves early is no crash.
    std::string big, all, first;
    for (int i = 0; big.size() < 1'000'000; ++i)
        big += "line " + std::to_string(i) + " of the signature\n";
    std::thread reader = readPipe(pipe, big.size(), all);
    EXPECT_TRUE(writeFileAtomic(pipe, big, Durability::Replace).ok());
    reader.join();
    EXPECT_EQ(all, big);
    reader = readPipe(pipe, 1, first);
    EXPECT_EQ(writeFileAtomic(pipe, big).code(), ErrorCode::NoReader);
    reader.join();
    EXPECT_EQ(namesIn(tmp.path()), (Names{"link", "sig.txt", "sock"}));
}

// As the kernel does in /tmp: in a shared sticky folder, a link is followed only when it is the user's.
TEST(WriteFileAtomic, AnotherUsersLinkInASharedStickyFolderIsNotFollowed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting a link of another user needs root";
    const std::tuple<const char*, uid_t, bool> cases[] = {{"own link", 0, true},
                                                          {"planted link", 65534, false}};
    test::TempFolder tmp;
    const std::string victim = tmp.file("important.txt");
    for (const auto& [name, linkOwner, followed] : cases) {
        SCOPED_TRACE(name);
        test::spit(victim, "keep");
        const std::string folder = tmp.file(name), link = folder + "/sig.txt";
        fs::create_directory(folder);
        fs::create_symlink(victim, link);
        ASSERT_EQ(::chmod(folder.c_str(), 01777) | ::lchown(link.c_str(), linkOwner, 0), 0);
        const Status written = writeFileAtomic(link, "Regards\n");
        EXPECT_TRUE(followed ? written.ok() : written.code() == ErrorCode::UntrustedLink)
            << written.message();
        EXPECT_EQ(test::slurp(victim), followed ? "Regards\n" : "keep");
        EXPECT_TRUE(fs::is_symlink(link));
    }
}
#endif

} // namespace
} // namespace quillmark
