#pragma once
// An advisory lock on a lock file, shared by every program that changes the same file. It belongs
// to the open file, so a lock file left behind by a killed program never blocks anyone.

#include "base/result.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace quillmark {

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the exclusive lock on `lockPath` (created, with its folders, when missing), waiting up to
    // `timeout` for another holder; an error says so when it is still held then.
    static Result<FileLock> acquire(const std::string& lockPath, std::chrono::milliseconds timeout);

    bool held() const { return m_fd >= 0; }
    void release();

private:
    explicit FileLock(std::intptr_t fd) : m_fd(fd) {}
    // Each system's own part: opens (creating when missing) the lock file, and tries the
    // lock once without waiting: true when taken, false while another holder has it.
    static Result<FileLock> open(const std::string& lockPath);
    Result<bool> tryLock(const std::string& lockPath);

    // The open lock file: a descriptor on Linux, a HANDLE on Windows; -1 when none.
    std::intptr_t m_fd = -1;
};

} // namespace quillmark
