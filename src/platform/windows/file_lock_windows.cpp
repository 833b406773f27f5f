#include "platform/file_lock.h"

#include "platform/file_io.h"
#include "platform/windows/win_text.h"

#include <windows.h>

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

} // namespace

void FileLock::release() {
    if (m_fd >= 0) {
        // Closing the handle ends the lock, as the system does for a process that dies.
        ::CloseHandle(handleOf(m_fd));
        m_fd = -1;
    }
}

Result<FileLock> FileLock::open(const std::string& lockPath) {
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
    return FileLock(reinterpret_cast<std::intptr_t>(handle));
}

// The lock belongs to this handle: a second handle, in this process or another, waits.
Result<bool> FileLock::tryLock(const std::string& lockPath) {
    OVERLAPPED at{};
    if (::LockFileEx(handleOf(m_fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return true;
    const DWORD err = ::GetLastError();
    if (err != ERROR_LOCK_VIOLATION && err != ERROR_IO_PENDING)
        return win::fromWinError(err, "cannot lock", lockPath);
    return false;
}

} // namespace quillmark
