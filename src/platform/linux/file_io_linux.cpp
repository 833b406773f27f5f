#include "platform/file_io.h"

#include "platform/linux/errno_error.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillmark {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary files are named "." + the target's name + "." + six letters or digits, in
// the target's folder so that the final rename never crosses a file system.
constexpr size_t kSuffixLength = 6;
constexpr std::string_view kSuffixCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string tempName(const std::string& folder, const std::string& name) {
    // Uniqueness only: a taken name is detected on creation and another one drawn.
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x =
        (static_cast<std::uint64_t>(::getpid()) << 32) ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    std::string suffix;
    for (size_t i = 0; i < kSuffixLength; ++i) {
        suffix += kSuffixCharacters[x % kSuffixCharacters.size()];
        x /= kSuffixCharacters.size();
    }
    return folder + "/." + name + "." + suffix;
}

bool isTempNameFor(std::string_view entry, const std::string& name) {
    if (entry.size() != name.size() + 2 + kSuffixLength || !entry.starts_with('.') ||
        entry.substr(1, name.size()) != name || entry[name.size() + 1] != '.')
        return false;
    return entry.substr(name.size() + 2).find_first_not_of(kSuffixCharacters) == std::string_view::npos;
}

// Errors of the unnamed temporary file that mean only "this file system cannot do it"
// (EOPNOTSUPP, EISDIR on kernels before 3.11, EINVAL and the like), not a real failure.
bool fallsBackToNamed(int err) {
    return err != ENOENT && err != ENOTDIR && err != EACCES && err != EPERM && err != EROFS &&
           err != ENOSPC && err != EDQUOT;
}

// A temporary file beside the target, locked while open so no clean-up takes it for a leftover;
// removed unless it replaced the target.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() {
        if (!m_name.empty())
            ::unlink(m_name.c_str());
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TempFile(TempFile&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)), m_name(std::move(other.m_name)) {
        other.m_name.clear();
    }
    TempFile& operator=(TempFile&&) = delete;
    TempFile(const TempFile&) = delete;

    static TempFile createUnnamed(const std::string& folder) {
        TempFile temp;
        temp.m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        if (temp.m_fd >= 0)
            temp.lock();
        return temp;
    }

    // errno tells why when fd() is -1.
    static TempFile createNamed(const std::string& folder, const std::string& name) {
        TempFile temp;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = tempName(folder, name);
            int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return temp;
            }
            temp.m_fd = fd;
            temp.lock();
            // Another writer's clean-up may have taken the file for a leftover between its
            // creation and the lock; then the name is gone or someone else's, so draw anew.
            struct stat mine {};
            struct stat there {};
            if (::fstat(fd, &mine) == 0 && ::lstat(candidate.c_str(), &there) == 0 &&
                mine.st_ino == there.st_ino && mine.st_dev == there.st_dev) {
                temp.m_name = std::move(candidate);
                return temp;
            }
            ::close(fd);
            temp.m_fd = -1;
        }
        errno = EEXIST;
        return temp;
    }

    // Gives the unnamed file a unique temporary name; false when the system cannot.
    bool link(const std::string& folder, const std::string& name) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = tempName(folder, name);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_name = std::move(candidate);
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    int fd() const { return m_fd; }
    const std::string& name() const { return m_name; }
    void renamed() { m_name.clear(); }
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    // Where locks are not supported the clean-up cannot take one either, and so leaves
    // every temporary file alone: nothing is lost by going on without.
    void lock() const { (void)::flock(m_fd, LOCK_EX); }

    int m_fd = -1;
    std::string m_name;
};

// Removes the temporary files that killed writes of this target left: regular files of the
// target's own name pattern that nobody holds locked, so a live writer keeps its file. Age is
// no test: a copy killed a moment ago leaves a file as young as a live writer's.
void removeLeftovers(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTempNameFor(entry->d_name, name))
            continue;
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        int fd = ::openat(dirFd, entry->d_name, O_RDONLY | flags);
        if (fd < 0 && errno == EACCES)
            fd = ::openat(dirFd, entry->d_name, O_WRONLY | flags);
        if (fd < 0)
            continue;
        struct stat st {};
        struct stat there {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &there, AT_SYMLINK_NOFOLLOW) == 0 && there.st_ino == st.st_ino &&
            there.st_dev == st.st_dev)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file in a missing folder is reported as PathNotFound, as Windows does.
Error notFoundOrPath(int err, std::string_view what, const std::string& path) {
    Error e = errnoError(err, what, path);
    if (e.code == ErrorCode::NotFound && !folderExists(path))
        e.code = ErrorCode::PathNotFound;
    return e;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// In a sticky world-writable folder (/tmp) a link planted by another user must not choose
// which file of ours gets replaced: as the kernel does, follow only the user's own links or
// the folder owner's.
bool mayFollow(const std::string& link, const struct stat& linkStat) {
    struct stat folder {};
    if (::stat(folderOf(link).c_str(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || linkStat.st_uid == ::geteuid() || linkStat.st_uid == folder.st_uid;
}

// Follows symbolic links so that replacing the file keeps the user's link in place.
Result<std::string> resolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 16; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        if (!mayFollow(current, st))
            return Error{ErrorCode::UntrustedLink,
                         "cannot write " + path + ": the symbolic link " + current +
                             " in a shared folder belongs to another user and is not followed"};
        char buf[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (n <= 0)
            return current;
        std::string target(buf, static_cast<size_t>(n));
        current = target.starts_with('/') ? target : folderOf(current) + "/" + target;
    }
    return current;
}

// How long a named pipe's reader may leave a write waiting: a stuck reader must not freeze us.
constexpr int kPipeTimeoutMs = 5000;

// A reader that goes away mid-write raises SIGPIPE, which would end the program. It is
// held back on this thread for the write and, if raised, taken off the pending set.
class PipeSignalGuard {
public:
    PipeSignalGuard() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        // One already pending from elsewhere must not be swallowed by this write.
        m_wasPending = pipePending();
        m_active = ::pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old) == 0;
    }
    ~PipeSignalGuard() {
        if (!m_active)
            return;
        if (!m_wasPending && pipePending()) {
            const timespec noWait{};
            while (::sigtimedwait(&m_pipe, nullptr, &noWait) < 0 && errno == EINTR) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    PipeSignalGuard(const PipeSignalGuard&) = delete;
    PipeSignalGuard& operator=(const PipeSignalGuard&) = delete;

private:
    static bool pipePending() {
        sigset_t pending;
        sigemptyset(&pending);
        return ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
    }

    sigset_t m_pipe{};
    sigset_t m_old{};
    bool m_active = false;
    bool m_wasPending = false;
};

// A named pipe as output: someone (a mail program, a script) reads the signature from
// it. The program writes only while a reader waits; without one the update is skipped.
Status writeToPipe(const std::string& pipePath, std::string_view bytes, const std::string& path) {
    int fd = ::open(pipePath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO)
            return Error{ErrorCode::NoReader, "cannot write " + path + ": nobody is reading the named pipe"};
        return errnoError(errno, "cannot write", path);
    }
    PipeSignalGuard guard;
    Status status;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n >= 0) {
            p += n;
            left -= static_cast<size_t>(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN) {
            status = errno == EPIPE
                         ? Error{ErrorCode::NoReader,
                                 "cannot write " + path + ": the reader of the named pipe went away"}
                         : errnoError(errno, "cannot write", path);
            break;
        }
        // The pipe is full: wait for the reader to take some of it.
        pollfd waiting{fd, POLLOUT, 0};
        int ready = ::poll(&waiting, 1, kPipeTimeoutMs);
        if (ready == 0) {
            status = Error{ErrorCode::Other,
                           "cannot write " + path + ": the reader of the named pipe stopped reading"};
            break;
        }
        if (ready < 0 && errno != EINTR) {
            status = errnoError(errno, "cannot write", path);
            break;
        }
    }
    ::close(fd);
    return status;
}

// Opening a named pipe to read waits for a writer, and reading a device may never end:
// the open does not wait, and checkRegular turns away anything but a regular file before
// a byte is read.
int openForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

Status checkRegular(int fd, const std::string& path, struct stat& st) {
    if (::fstat(fd, &st) != 0)
        return errnoError(errno, "cannot read", path);
    if (S_ISDIR(st.st_mode))
        return errnoError(EISDIR, "cannot read", path);
    if (!S_ISREG(st.st_mode))
        return Error{ErrorCode::SpecialFile,
                     "cannot read " + path + ": it is a named pipe, device or socket, not a regular file"};
    return {};
}

} // namespace

Result<std::string> readFile(const std::string& path) {
    int fd = openForReading(path);
    if (fd < 0)
        return notFoundOrPath(errno, "cannot open", path);
    struct stat st {};
    if (Status regular = checkRegular(fd, path, st); !regular) {
        ::close(fd);
        return regular.error();
    }
    // One byte more than the size, so the read that finds the end needs no second buffer.
    size_t capacity = st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096;
    std::string bytes(capacity, '\0');
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return errnoError(err, "cannot read", path);
        }
        if (n == 0)
            break;
        used += static_cast<size_t>(n);
    }
    bytes.resize(used);
    ::close(fd);
    return bytes;
}

Status writeFileAtomic(const std::string& path, std::string_view bytes, Durability durability) {
    const Result<std::string> resolved = resolveLinks(path);
    if (!resolved)
        return resolved.error();
    const std::string& target = *resolved;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return errnoError(EISDIR, "cannot write", path);
    // Only a regular file is ever replaced: a pipe is written into, and a device or a
    // socket that stood where the output goes must stay what it is.
    if (exists && S_ISFIFO(old.st_mode))
        return writeToPipe(target, bytes, path);
    if (exists && !S_ISREG(old.st_mode))
        return Error{ErrorCode::SpecialFile,
                     "cannot write " + path + ": it is a device or socket, not a regular file"};
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return errnoError(errno, "cannot write", path);

    const std::string folder = folderOf(target);
    const std::string name = fileNameOf(target);
    removeLeftovers(folder, name);

    // A new file gets the usual 0644 less the umask; a replaced one keeps its bits.
    const auto fill = [&](const TempFile& temp) {
        return (!exists || ::fchmod(temp.fd(), old.st_mode & 07777) == 0) && writeAll(temp.fd(), bytes) &&
               (durability == Durability::Flush ? ::fsync(temp.fd()) == 0 : true);
    };
    const auto replace = [&](TempFile& temp) -> Status {
        if (::rename(temp.name().c_str(), target.c_str()) != 0)
            return errnoError(errno, "cannot replace", path);
        temp.renamed();
        return temp.close() ? Status() : errnoError(errno, "cannot write", path);
    };

    // First an unnamed file, which a crash cannot leave behind: it gets a name only when it
    // is whole, just before it replaces the target.
    TempFile unnamed = TempFile::createUnnamed(folder);
    if (unnamed.fd() >= 0) {
        if (!fill(unnamed))
            return errnoError(errno, "cannot write", path);
        if (unnamed.link(folder, name))
            return replace(unnamed);
        // Without /proc the file cannot be named: write again the plain way.
    } else if (!fallsBackToNamed(errno)) {
        return notFoundOrPath(errno, "cannot write", path);
    }

    TempFile named = TempFile::createNamed(folder, name);
    if (named.fd() < 0)
        return notFoundOrPath(errno, "cannot write", path);
    if (!fill(named))
        return errnoError(errno, "cannot write", path);
    return replace(named);
}

Status appendToFile(const std::string& path, std::string_view bytes) {
    // Not waiting for a reader when a named pipe stands at the path.
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0)
        return notFoundOrPath(errno, "cannot open", path);
    Status status;
    if (!writeAll(fd, bytes))
        status = errnoError(errno, "cannot append to", path);
    ::close(fd);
    return status;
}

FileReader::~FileReader() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Status FileReader::open(const std::string& path) {
    if (m_fd >= 0)
        ::close(m_fd);
    m_path = path;
    m_fd = openForReading(path);
    if (m_fd < 0)
        return notFoundOrPath(errno, "cannot open", path);
    struct stat st {};
    Status regular = checkRegular(m_fd, path, st);
    if (!regular && regular.code() != ErrorCode::IsDirectory) {
        ::close(std::exchange(m_fd, -1));
        return regular;
    }
    return {};
}

Result<std::size_t> FileReader::read(char* data, std::size_t size) {
    std::size_t count = 0;
    while (count < size) {
        ssize_t n = ::read(m_fd, data + count, size - count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errnoError(errno, "cannot read", m_path);
        }
        if (n == 0)
            break;
        count += static_cast<size_t>(n);
    }
    return count;
}

Status FileReader::rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) != 0)
        return errnoError(errno, "cannot read", m_path);
    return {};
}

Status makeFolders(const std::string& path) {
    if (path.empty())
        return {};
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return errnoError(errno, "cannot create folder", partial);
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return errnoError(ENOTDIR, "cannot create folder", path);
    return {};
}

Status makeFoldersFor(const std::string& filePath) {
    return makeFolders(folderOf(filePath));
}

} // namespace quillmark
