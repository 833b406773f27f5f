#include "platform/file_lock.h"

#include <utility>

namespace quillmark {

// Owning the lock is the same on every system; only release() differs.
FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

} // namespace quillmark
