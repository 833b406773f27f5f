#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
