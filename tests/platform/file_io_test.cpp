#include "platform/file_io.h"
#include "platform/random_access_file.h"

#include "support/temp_folder.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace quillmark {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t typeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Reads a named pipe the way a mail program waiting for its signature would: the read
// end is open before the program writes, and everything is taken until `limit` bytes
// have come or the writer is done.
class PipeReader {
public:
    PipeReader(const std::string& path, size_t limit) : m_limit(limit) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        m_thread = std::thread([this] { run(); });
    }
    ~PipeReader() { finish(); }
    const std::string& finish() {
        if (m_thread.joinable())
            m_thread.join();
        return m_received;
    }

private:
    void run() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        bool writerSeen = false;
        char buf[8192];
        while (m_received.size() < m_limit && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_fd, POLLIN, 0};
            ::poll(&p, 1, 100);
            ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                writerSeen = true;
                m_received.append(buf, static_cast<size_t>(n));
            } else if (n == 0 && writerSeen) {
                break; // the writer closed its end
            }
        }
        // Leaving closes the read end at once, as a reader that quits would.
        ::close(m_fd);
    }

    int m_fd = -1;
    size_t m_limit;
    std::string m_received;
    std::thread m_thread;
};

TEST(WriteFileAtomic, NamedPipeIsWrittenIntoOnlyWhileSomeoneReads) {
    TempFolder tmp;
    const std::string pipe = tmp.file("sig.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);

    Status noReader = writeFileAtomic(pipe, "Regards\n");
    EXPECT_EQ(noReader.code(), ErrorCode::NoReader);
    EXPECT_NE(noReader.message().find(pipe), std::string::npos);
    EXPECT_EQ(typeOf(pipe), S_IFIFO) << "the pipe must not become a regular file";
    EXPECT_EQ(namesIn(tmp.path()), std::vector<std::string>{"sig.txt"});

    // Far more than a pipe holds at once, so the write has to wait for the reader.
    std::string big;
    for (int i = 0; big.size() < 1'000'000; ++i)
        big += "line " + std::to_string(i) + " of the signature\n";
    {
        PipeReader reader(pipe, big.size());
        ASSERT_TRUE(writeFileAtomic(pipe, big, Durability::Replace).ok());
        EXPECT_EQ(reader.finish(), big);
    }
    EXPECT_EQ(typeOf(pipe), S_IFIFO);

    // Through a link, the pipe the link points to is written, and the link stays.
    const std::string link = tmp.file("link.txt");
    fs::create_symlink("sig.txt", link);
    {
        PipeReader reader(pipe, 5);
        ASSERT_TRUE(writeFileAtomic(link, "Hello").ok());
        EXPECT_EQ(reader.finish(), "Hello");
    }
    EXPECT_EQ(typeOf(link), S_IFLNK);
    EXPECT_EQ(typeOf(pipe), S_IFIFO);

    // A reader that leaves after the first bytes ends the write with an error, and the
    // program is still running to report it.
    {
        PipeReader reader(pipe, 1);
        Status gone = writeFileAtomic(pipe, big);
        EXPECT_FALSE(gone.ok());
        EXPECT_EQ(gone.code(), ErrorCode::NoReader) << gone.message();
    }
    EXPECT_EQ(namesIn(tmp.path()), (std::vector<std::string>{"link.txt", "sig.txt"}));
}

TEST(WriteFileAtomic, DevicesAndSocketsAreRefusedAndLeftAsTheyAre) {
    TempFolder tmp;
    const std::string socketPath = tmp.file("sock");
    int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(writeFileAtomic(socketPath, "x").code(), ErrorCode::SpecialFile);
    EXPECT_EQ(typeOf(socketPath), S_IFSOCK);
    ::close(s);

    const std::string link = tmp.file("to-sock");
    fs::create_symlink("sock", link);
    EXPECT_EQ(writeFileAtomic(link, "x").code(), ErrorCode::SpecialFile);
    EXPECT_EQ(typeOf(link), S_IFLNK);
    EXPECT_EQ(namesIn(tmp.path()), (std::vector<std::string>{"sock", "to-sock"}));

    // A null device, the device a user is most likely to point an output at; the test's
    // own, so that a fault replaces nothing of the system's.
    const std::string device = tmp.file("null");
    if (::geteuid() != 0 || ::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "the device case needs root, to make a device node of its own";
    Status refused = writeFileAtomic(device, "Regards\n");
    EXPECT_EQ(refused.code(), ErrorCode::SpecialFile);
    EXPECT_NE(refused.message().find(device), std::string::npos);
    EXPECT_EQ(typeOf(device), S_IFCHR);
    EXPECT_EQ(namesIn(tmp.path()), (std::vector<std::string>{"null", "sock", "to-sock"}));
}

// The rule the kernel keeps for links in /tmp and its like: in a folder that is sticky
// and writable by others, a link is followed only when it is the user's or the folder
// owner's. Otherwise another user could pick which of the user's files gets replaced.
TEST(WriteFileAtomic, AnotherUsersLinkInASharedStickyFolderIsNotFollowed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting a link of another user needs root";
    constexpr uid_t kOther = 65534;
    struct Case {
        const char* name;
        mode_t folderMode;
        uid_t folderOwner;
        uid_t linkOwner;
        bool followed;
    };
    const Case cases[] = {
        {"own link", 01777, 0, 0, true},
        {"planted link", 01777, 0, kOther, false},
        {"link of the folder's owner", 01777, kOther, kOther, true},
        {"folder others cannot write", 01775, 0, kOther, true},
        {"folder not sticky", 0777, 0, kOther, true},
    };
    TempFolder tmp;
    const std::string victim = tmp.file("important.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::spit(victim, "keep");
        const std::string folder = tmp.file(c.name);
        fs::create_directory(folder);
        ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, 0), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        const std::string link = folder + "/sig.txt";
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, 0), 0);

        Status written = writeFileAtomic(link, "Regards\n");
        EXPECT_EQ(written.ok(), c.followed);
        EXPECT_EQ(test::slurp(victim), c.followed ? "Regards\n" : "keep");
        EXPECT_EQ(typeOf(link), S_IFLNK);
        if (!written.ok()) {
            EXPECT_EQ(written.code(), ErrorCode::UntrustedLink);
            EXPECT_NE(written.message().find(link), std::string::npos) << written.message();
        }
    }
}

// A named pipe with no writer would keep a reader waiting for ever, a device such as the
// zero device would never end: neither is read at all.
TEST(ReadFile, OnlyRegularFilesAreReadAndNothingElseWaitedFor) {
    TempFolder tmp;
    const std::string pipe = tmp.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_symlink("pipe", tmp.file("link"));
    std::vector<std::string> special = {pipe, tmp.file("link")};
    // A zero device needs root to make; without it the pipes stand for devices too.
    if (::geteuid() == 0 && ::mknod(tmp.file("zero").c_str(), S_IFCHR | 0644, ::makedev(1, 5)) == 0)
        special.push_back(tmp.file("zero"));
    for (const std::string& path : special) {
        SCOPED_TRACE(path);
        Result<std::string> whole = readFile(path);
        EXPECT_EQ(whole.code(), ErrorCode::SpecialFile);
        EXPECT_NE(whole.message().find(path), std::string::npos) << whole.message();
        Status opened = FileReader().open(path);
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.code(), ErrorCode::SpecialFile);
        EXPECT_EQ(RandomAccessFile::open(path).code(), ErrorCode::SpecialFile);
    }
    EXPECT_FALSE(appendToFile(pipe, "a log line\n").ok()) << "nobody reads the pipe";
    EXPECT_EQ(typeOf(pipe), S_IFIFO);
}

TEST(TempFolder, RemovingItChangesNothingOutsideThroughALink) {
    TempFolder outside;
    const std::string file = outside.file("system file");
    test::spit(file, "x");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    {
        TempFolder inside;
        fs::create_symlink(file, inside.file("link"));
    }
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST(WriteFileAtomic, ReplacedFileKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    TempFolder tmp;
    const std::string secret = tmp.file("Quillmark.INI");
    test::spit(secret, "old");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomic(secret, "new").ok());
    EXPECT_EQ(test::slurp(secret), "new");

    const mode_t mask = ::umask(027);
    const std::string fresh = tmp.file("sig.txt");
    Status created = writeFileAtomic(fresh, "Regards\n", Durability::Replace);
    ::umask(mask);
    ASSERT_TRUE(created.ok());

    struct stat st {};
    ASSERT_EQ(::stat(secret.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(namesIn(tmp.path()), (std::vector<std::string>{"Quillmark.INI", "sig.txt"}));
}

TEST(WriteFileAtomic, LeftoversOfAnInterruptedWriteGoButNothingElse) {
    TempFolder tmp;
    const std::string target = tmp.file("sig.txt");
    test::spit(target, "old");
    // What a write killed half-way leaves: the target's own pattern, a regular file.
    test::spit(tmp.file(".sig.txt.Ab3xYz"), "half a signa");
    test::spit(tmp.file(".sig.txt.000000"), "");
    // Look-alikes that are not ours, or not leftovers, stay.
    test::spit(tmp.file(".sig.txt.Ab3xY"), "a user's file");
    test::spit(tmp.file(".sig.txt.Ab3x-z"), "a user's file");
    test::spit(tmp.file(".other.txt.Ab3xYz"), "another target's");
    test::spit(tmp.file("sig.txt.Ab3xYz"), "a user's file");
    fs::create_directory(tmp.file(".sig.txt.Folder"));
    fs::create_symlink("sig.txt", tmp.file(".sig.txt.Linked"));
    // A writer still at work holds its temporary file locked.
    const std::string busy = tmp.file(".sig.txt.Busy42");
    test::spit(busy, "being written");
    int busyFd = ::open(busy.c_str(), O_RDONLY);
    ASSERT_GE(busyFd, 0);
    ASSERT_EQ(::flock(busyFd, LOCK_EX), 0);

    ASSERT_TRUE(writeFileAtomic(target, "new").ok());
    EXPECT_EQ(test::slurp(target), "new");
    EXPECT_EQ(
        namesIn(tmp.path()),
        (std::vector<std::string>{".other.txt.Ab3xYz", ".sig.txt.Ab3x-z", ".sig.txt.Ab3xY", ".sig.txt.Busy42",
                                  ".sig.txt.Folder", ".sig.txt.Linked", "sig.txt", "sig.txt.Ab3xYz"}));
    EXPECT_EQ(test::slurp(busy), "being written");

    ::close(busyFd);
    ASSERT_TRUE(writeFileAtomic(target, "newer").ok());
    EXPECT_FALSE(fs::exists(busy)) << "once its writer is gone, the file is a leftover";
    EXPECT_EQ(test::slurp(target), "newer");
}

} // namespace
} // namespace quillmark
