#include "platform/random_access_file.h"

#include "platform/windows/win_text.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace quillmark {

namespace {

HANDLE handleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::int64_t nanoseconds(const LARGE_INTEGER& ticks) {
    // Windows counts in 100 ns steps.
    return static_cast<std::int64_t>(ticks.QuadPart) * 100;
}

// Volume and file number stand for device and inode; the change time moves with every
// write, as on Linux.
Result<FileStamp> stampOf(HANDLE handle, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        !::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return win::fromWinError(::GetLastError(), "cannot examine", path);
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.modifiedNs = nanoseconds(times.LastWriteTime);
    stamp.changedNs = nanoseconds(times.ChangeTime);
    return stamp;
}

// Others may rewrite, replace or delete the file while it is open: it is only read.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Result<std::intptr_t> openForReading(const std::string& path, DWORD flags) {
    const std::wstring wide = win::widePath(path);
    const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        return reinterpret_cast<std::intptr_t>(handle);
    const DWORD err = ::GetLastError();
    // A folder cannot be opened without backup semantics: say what it is, not "access denied".
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (err == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Error{ErrorCode::SpecialFile, path + " is not a regular file"};
    return win::fromWinError(err, "cannot open", path);
}

} // namespace

RandomAccessFile::~RandomAccessFile() {
    if (m_fd >= 0)
        ::CloseHandle(handleOf(m_fd));
}

RandomAccessFile::RandomAccessFile(RandomAccessFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)), m_stamp(other.m_stamp) {}

RandomAccessFile& RandomAccessFile::operator=(RandomAccessFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::CloseHandle(handleOf(m_fd));
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_stamp = other.m_stamp;
    }
    return *this;
}

Result<RandomAccessFile> RandomAccessFile::open(const std::string& path) {
    Result<std::intptr_t> handle = openForReading(path, 0);
    if (!handle)
        return handle.error();
    RandomAccessFile file;
    file.m_fd = *handle;
    file.m_path = path;
    if (::GetFileType(handleOf(file.m_fd)) != FILE_TYPE_DISK)
        return Error{ErrorCode::SpecialFile, path + " is not a regular file"};
    Result<FileStamp> stamp = stampOf(handleOf(file.m_fd), path);
    if (!stamp)
        return stamp.error();
    file.m_stamp = *stamp;
    return file;
}

Result<RandomAccessFile> RandomAccessFile::openCache(const std::string& path) {
    // The link itself is opened, never what it points to, and then refused.
    Result<std::intptr_t> handle = openForReading(path, FILE_FLAG_OPEN_REPARSE_POINT);
    if (!handle)
        return handle.error();
    RandomAccessFile file;
    file.m_fd = *handle;
    file.m_path = path;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(file.m_fd), &info))
        return win::fromWinError(::GetLastError(), "cannot examine", path);
    if (::GetFileType(handleOf(file.m_fd)) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return Error{ErrorCode::InvalidInput, path + " is not a cache file of this user"};
    Result<FileStamp> stamp = stampOf(handleOf(file.m_fd), path);
    if (!stamp)
        return stamp.error();
    file.m_stamp = *stamp;
    return file;
}

Result<FileStamp> RandomAccessFile::stampNow() const {
    return stampOf(handleOf(m_fd), m_path);
}

Status RandomAccessFile::readAt(std::uint64_t offset, char* data, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handleOf(m_fd), data + done, want, &got, &where)) {
            const DWORD err = ::GetLastError();
            if (err != ERROR_HANDLE_EOF)
                return win::fromWinError(err, "cannot read", m_path);
            got = 0;
        }
        if (got == 0)
            return Error{ErrorCode::TooLarge, m_path + " ends before the part asked for"};
        done += got;
    }
    return {};
}

} // namespace quillmark
