#include "platform/random_access_file.h"

#include "platform/file_io.h"
#include "platform/windows/win_text.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
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

std::string folderOf(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    return sep == std::string::npos ? std::string(".") : path.substr(0, sep);
}

std::wstring tempPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    LARGE_INTEGER ticks{};
    ::QueryPerformanceCounter(&ticks);
    const unsigned long long x = (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                                 static_cast<unsigned long long>(ticks.QuadPart) ^
                                 (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    return win::widePath(path + "." + std::to_string(x % 1000000007ull) + ".tmp");
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

Status replaceCacheFile(const std::string& path, std::string_view bytes) {
    // The cache lives in this user's local application data, which only this user may read.
    if (Status made = makeFoldersFor(path); !made)
        return made;
    std::wstring temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 8 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temp = tempPathFor(path);
        handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE)
        return win::fromWinError(::GetLastError(), "cannot create a file in", folderOf(path));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD wrote = 0;
        const BOOL written = ::WriteFile(handle, bytes.data() + done, want, &wrote, nullptr);
        if (!written || wrote == 0) {
            const DWORD err = written ? ERROR_DISK_FULL : ::GetLastError();
            ::CloseHandle(handle);
            ::DeleteFileW(temp.c_str());
            return win::fromWinError(err, "cannot write", win::toUtf8(temp));
        }
        done += wrote;
    }
    // MoveFileEx replaces a link at the path itself, never the file it points to.
    if (!::CloseHandle(handle) || !::MoveFileExW(temp.c_str(), win::widePath(path).c_str(),
                                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        return win::fromWinError(err, "cannot replace", path);
    }
    return {};
}

} // namespace quillmark
