// The Linux file functions: named pipes, devices, sockets, links and permission bits.
#include "platform/file_io.h"
#include "platform/random_access_file.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <set>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace quillmark {
namespace {

namespace fs = std::filesystem;

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// A mail program waiting on a named pipe: open before the write, it takes up to `limit` bytes.
std::thread readPipe(const std::string& path, size_t limit, std::string& received) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    return std::thread([fd, limit, &received] {
        char buf[8192];
        for (int idle = 0; received.size() < limit && idle < 200;) { // 20 s idle: give up
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 100);
            const ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - received.size()));
            if (n > 0)
                received.append(buf, static_cast<size_t>(n)), idle = 0;
            else if (n == 0 && !received.empty())
                break; // the writer closed its end
            else
                ++idle;
        }
        ::close(fd);
    });
}

TEST(WriteFileAtomic, NamedPipeIsWrittenIntoOnlyWhileSomeoneReads) {
    test::TempFolder tmp;
    const std::string pipe = tmp.file("sig.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const Status noReader = writeFileAtomic(pipe, "Regards\n");
    EXPECT_EQ(noReader.code(), ErrorCode::NoReader);
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
    EXPECT_TRUE(S_ISFIFO(modeOf(pipe))) << "the pipe must not become a regular file";
    EXPECT_EQ(namesIn(tmp.path()), std::set<std::string>{"sig.txt"});
}

// A pipe, socket or device would keep a reader waiting or never end, and replacing one would break it.
TEST(WriteFileAtomic, SpecialFilesAreNeitherReadNorReplaced) {
    test::TempFolder tmp;
    const std::string pipe = tmp.file("pipe"), socketPath = tmp.file("sock");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_symlink("pipe", tmp.file("link"));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::vector<std::string> special = {tmp.file("link"), pipe, socketPath};
    // A device node of the test's own needs root.
    if (::mknod(tmp.file("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        special.push_back(tmp.file("null"));
    for (const std::string& path : special) {
        SCOPED_TRACE(path);
        const mode_t mode = modeOf(path);
        EXPECT_EQ(readFile(path).code(), ErrorCode::SpecialFile);
        EXPECT_EQ(FileReader().open(path).code(), ErrorCode::SpecialFile);
        EXPECT_EQ(RandomAccessFile::open(path).code(), ErrorCode::SpecialFile);
        EXPECT_EQ(writeFileAtomic(path, "x").code(), S_ISFIFO(modeOf(fs::canonical(path).string()))
                                                         ? ErrorCode::NoReader
                                                         : ErrorCode::SpecialFile);
        EXPECT_EQ(modeOf(path), mode);
    }
    ::close(s);
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
        EXPECT_TRUE(S_ISLNK(modeOf(link)));
    }
}

TEST(WriteFileAtomic, ReplacingKeepsPermissionsAndRemovesOnlyItsOwnLeftovers) {
    test::TempFolder tmp;
    const std::string target = tmp.file("sig.txt"), busy = tmp.file(".sig.txt.Busy42");
    test::spit(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    // A killed write's file (the target's pattern) goes; look-alikes and a live (locked) writer's stay.
    for (const char* name : {".sig.txt.Ab3xYz", ".sig.txt.Ab3xY", ".other.txt.Ab3xYz", "sig.txt.Ab3xYz"})
        test::spit(tmp.file(name), "a killed write's or a user's file");
    fs::create_directory(tmp.file(".sig.txt.Folder"));
    test::spit(busy, "being written");
    const int busyFd = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busyFd, LOCK_EX), 0);
    ASSERT_TRUE(writeFileAtomic(target, "new").ok());
    EXPECT_EQ(namesIn(tmp.path()),
              (std::set<std::string>{".other.txt.Ab3xYz", ".sig.txt.Ab3xY", ".sig.txt.Busy42",
                                     ".sig.txt.Folder", "sig.txt", "sig.txt.Ab3xYz"}));
    ::close(busyFd);
    ASSERT_TRUE(writeFileAtomic(target, "newer").ok());
    EXPECT_FALSE(fs::exists(busy)) << "once its writer is gone, the file is a leftover";
    EXPECT_EQ(modeOf(target) & 07777, 0600u) << "a replaced file keeps its permissions";
}

} // namespace
} // namespace quillmark
