#include "platform/file_lock.h"

#include "platform/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace quillmark {

namespace {

Error lockError(const std::string& what, const std::string& path, int err) {
    return {err == EACCES || err == EPERM || err == EROFS ? ErrorCode::AccessDenied : ErrorCode::Other,
            what + " " + path + ": " + std::strerror(err)};
}

} // namespace

void FileLock::release() {
    if (m_fd >= 0) {
        // Closing the descriptor ends the lock.
        ::close(m_fd);
        m_fd = -1;
    }
}

Result<FileLock> FileLock::open(const std::string& lockPath) {
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0 && errno == ENOENT) {
        if (Status made = makeFoldersFor(lockPath); !made)
            return made.error();
        fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    }
    // A lock file that only the owner of the settings can write is still lockable for
    // reading by the same user on a read-only mount.
    if (fd < 0 && (errno == EROFS || errno == EACCES)) {
        const int refused = errno;
        fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
        // No lock file to fall back on: it was the folder that refused to take one.
        if (fd < 0 && errno == ENOENT) {
            const std::string folder = std::filesystem::path(lockPath).parent_path().string();
            return lockError("cannot create the lock file", lockPath + " in the read-only folder " + folder,
                             refused);
        }
    }
    if (fd < 0)
        return lockError("cannot open the lock file", lockPath, errno);
    return FileLock(fd);
}

// flock, not fcntl: fcntl locks belong to the process and vanish when any descriptor of
// the file is closed, and two settings objects of one process would not exclude each other.
Result<bool> FileLock::tryLock(const std::string& lockPath) {
    while (::flock(static_cast<int>(m_fd), LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EWOULDBLOCK)
            return false;
        if (err != EINTR)
            return lockError("cannot lock", lockPath, err);
    }
    return true;
}

} // namespace quillmark
