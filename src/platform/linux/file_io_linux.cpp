#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

Error fromErrno(int err, std::string_view what, const std::string& path) {
    ErrorCode code = ErrorCode::Other;
    switch (err) {
    case ENOENT:
        code = ErrorCode::NotFound;
        break;
    case ENOTDIR:
        code = ErrorCode::PathNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        code = ErrorCode::AccessDenied;
        break;
    case EISDIR:
        code = ErrorCode::IsDirectory;
        break;
    default:
        break;
    }
    return {code, std::string(what) + " " + path + ": " + std::strerror(err)};
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file in a missing folder is reported as PathNotFound, as Windows does.
Error notFoundOrPath(int err, std::string_view what, const std::string& path) {
    Error e = fromErrno(err, what, path);
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

// Follows symbolic links so that replacing the file keeps the user's link in place.
std::string resolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 16; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char buf[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (n <= 0)
            return current;
        std::string target(buf, static_cast<size_t>(n));
        current = target.starts_with('/') ? target : folderOf(current) + "/" + target;
    }
    return current;
}

// How long a reader of a named pipe may leave a write waiting before the program gives up
// on it, so that a stuck reader cannot freeze the program.
constexpr int kPipeTimeoutMs = 5000;

// A reader that goes away mid-write raises SIGPIPE, which would end the program. It is
// held back on this thread for the write and, if raised, taken off the pending set.
class PipeSignalGuard {
public:
    PipeSignalGuard() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        // One already pending from elsewhere must not be swallowed by this write.
        m_wasPending = ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
        m_active = ::pthread_sigmask(SIG_BLOCK, &pipe, &m_old) == 0;
    }
    ~PipeSignalGuard() {
        if (!m_active)
            return;
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        if (!m_wasPending && ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{};
            while (::sigtimedwait(&pipe, nullptr, &now) < 0 && errno == EINTR) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    PipeSignalGuard(const PipeSignalGuard&) = delete;
    PipeSignalGuard& operator=(const PipeSignalGuard&) = delete;

private:
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
        return fromErrno(errno, "cannot write", path);
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
                         : fromErrno(errno, "cannot write", path);
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
            status = fromErrno(errno, "cannot write", path);
            break;
        }
    }
    ::close(fd);
    return status;
}

} // namespace

Result<std::string> readFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return notFoundOrPath(errno, "cannot open", path);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fromErrno(EISDIR, "cannot read", path);
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
            return fromErrno(err, "cannot read", path);
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
    const std::string target = resolveLinks(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fromErrno(EISDIR, "cannot write", path);
    // Only a regular file is ever replaced: a pipe is written into, and a device or a
    // socket that stood where the output goes must stay what it is.
    if (exists && S_ISFIFO(old.st_mode))
        return writeToPipe(target, bytes, path);
    if (exists && !S_ISREG(old.st_mode))
        return Error{ErrorCode::SpecialFile,
                     "cannot write " + path + ": it is a device or socket, not a regular file"};
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return fromErrno(errno, "cannot write", path);

    std::string tmp = folderOf(target) + "/.";
    auto slash = target.find_last_of('/');
    tmp += (slash == std::string::npos ? target : target.substr(slash + 1)) + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return notFoundOrPath(errno, "cannot write", path);

    Status status;
    const mode_t mode = exists ? (old.st_mode & 07777) : 0644 & ~[] {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }();
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) ||
        (durability == Durability::Flush && ::fsync(fd) != 0))
        status = fromErrno(errno, "cannot write", path);
    if (::close(fd) != 0 && status.ok())
        status = fromErrno(errno, "cannot write", path);
    if (status.ok() && ::rename(tmp.c_str(), target.c_str()) != 0)
        status = fromErrno(errno, "cannot replace", path);
    if (!status.ok())
        ::unlink(tmp.c_str());
    return status;
}

Status appendToFile(const std::string& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return notFoundOrPath(errno, "cannot open", path);
    Status status;
    if (!writeAll(fd, bytes))
        status = fromErrno(errno, "cannot append to", path);
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
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return notFoundOrPath(errno, "cannot open", path);
    return {};
}

Result<std::size_t> FileReader::read(char* data, std::size_t size) {
    std::size_t count = 0;
    while (count < size) {
        ssize_t n = ::read(m_fd, data + count, size - count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fromErrno(errno, "cannot read", m_path);
        }
        if (n == 0)
            break;
        count += static_cast<size_t>(n);
    }
    return count;
}

Status FileReader::rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) != 0)
        return fromErrno(errno, "cannot read", m_path);
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
            return fromErrno(errno, "cannot create folder", partial);
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return fromErrno(ENOTDIR, "cannot create folder", path);
    return {};
}

Status makeFoldersFor(const std::string& filePath) {
    return makeFolders(folderOf(filePath));
}

} // namespace quillmark
