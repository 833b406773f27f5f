#include "platform/file_lock.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace quillmark {

namespace {

std::string waitText(std::chrono::milliseconds timeout) {
    if (timeout.count() % 1000 == 0)
        return std::to_string(timeout.count() / 1000) + " s";
    return std::to_string(timeout.count()) + " ms";
}

} // namespace

// Owning and waiting are the same on every system; open(), tryLock() and release() differ.
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

Result<FileLock> FileLock::acquire(const std::string& lockPath, std::chrono::milliseconds timeout) {
    Result<FileLock> lock = open(lockPath);
    if (!lock)
        return lock;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::microseconds(200);
    while (true) {
        Result<bool> taken = lock->tryLock(lockPath);
        if (!taken)
            return taken.error();
        if (*taken)
            return lock;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return Error{ErrorCode::Other, lockPath +
                                               " is held by another program that did not let go within " +
                                               waitText(timeout)};
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
}

} // namespace quillmark
