#include "platform/random_access_file.h"

#include "platform/linux/errno_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillmark {

namespace {

// A cache file is never reached through a link: one there is refused as bad input.
Error cacheFileError(const std::string& what, const std::string& path, int err) {
    Error e = errnoError(err, what, path);
    if (err == ELOOP)
        e.code = ErrorCode::InvalidInput;
    return e;
}

FileStamp stampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

} // namespace

RandomAccessFile::~RandomAccessFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

RandomAccessFile::RandomAccessFile(RandomAccessFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)), m_stamp(other.m_stamp) {}

RandomAccessFile& RandomAccessFile::operator=(RandomAccessFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_stamp = other.m_stamp;
    }
    return *this;
}

Result<RandomAccessFile> RandomAccessFile::open(const std::string& path) {
    RandomAccessFile file;
    file.m_path = path;
    file.m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (file.m_fd < 0)
        return cacheFileError("cannot open", path, errno);
    struct stat st {};
    if (::fstat(file.m_fd, &st) != 0)
        return cacheFileError("cannot examine", path, errno);
    if (!S_ISREG(st.st_mode))
        return Error{ErrorCode::SpecialFile, path + " is not a regular file"};
    file.m_stamp = stampOf(st);
    return file;
}

Result<RandomAccessFile> RandomAccessFile::openCache(const std::string& path) {
    RandomAccessFile file;
    file.m_path = path;
    file.m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (file.m_fd < 0)
        return cacheFileError("cannot open", path, errno);
    struct stat st {};
    if (::fstat(file.m_fd, &st) != 0)
        return cacheFileError("cannot examine", path, errno);
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return Error{ErrorCode::InvalidInput, path + " is not a cache file of this user"};
    file.m_stamp = stampOf(st);
    return file;
}

Result<FileStamp> RandomAccessFile::stampNow() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return cacheFileError("cannot examine", m_path, errno);
    return stampOf(st);
}

Status RandomAccessFile::readAt(std::uint64_t offset, char* data, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, data + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return cacheFileError("cannot read", m_path, errno);
        if (n == 0)
            return Error{ErrorCode::TooLarge, m_path + " ends before the part asked for"};
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace quillmark
