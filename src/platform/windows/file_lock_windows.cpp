#include "platform/file_lock.h"

#include "platform/file_io.h"
#include "platform/windows/win_text.h"

#include <windows.h>

#include <algorithm>
#include <thread>

namespace quillmark {

namespace {

HANDLE handleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

// Every program may open the lock file at once; only the byte lock excludes.
HANDLE openLockFile(const std::wstring& path, DWORD access) {
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, access & GENERIC_WRITE ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

std::string waitText(std::chrono::milliseconds timeout) {
    if (timeout.count() % 1000 == 0)
        return std::to_string(timeout.count() / 1000) + " s";
    return std::to_string(timeout.count()) + " ms";
}

} // namespace

void FileLock::release() {
    if (m_fd >= 0) {
        // Closing the handle ends the lock, as the system does for a process that dies.
        ::CloseHandle(handleOf(m_fd));
        m_fd = -1;
    }
}

Result<FileLock> FileLock::acquire(const std::string& lockPath, std::chrono::milliseconds timeout) {
    const std::wstring wide = win::widePath(lockPath);
    HANDLE handle = openLockFile(wide, GENERIC_READ | GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_PATH_NOT_FOUND) {
        if (Status made = makeFoldersFor(lockPath); !made)
            return made.error();
        handle = openLockFile(wide, GENERIC_READ | GENERIC_WRITE);
    }
    // A lock file this user may not write (a read-only folder or file) is still lockable
    // through a handle for reading.
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        handle = openLockFile(wide, GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE)
        return win::fromWinError(::GetLastError(), "cannot open the lock file", lockPath);
    FileLock lock(reinterpret_cast<std::intptr_t>(handle));

    // The lock belongs to this handle: a second handle, in this process or another, waits.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::microseconds(200);
    while (true) {
        OVERLAPPED at{};
        if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return lock;
        const DWORD err = ::GetLastError();
        if (err != ERROR_LOCK_VIOLATION && err != ERROR_IO_PENDING)
            return win::fromWinError(err, "cannot lock", lockPath);
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
