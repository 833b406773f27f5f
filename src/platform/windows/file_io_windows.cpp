#include "platform/file_io.h"

#include "platform/windows/win_text.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <utility>

namespace quillmark {

namespace {

using win::fromWinError;
using win::widePath;

std::string folderOf(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos)
        return ".";
    // "C:\x" lives in "C:\", not in the drive's current folder "C:".
    if (sep == 0 || (sep == 2 && path[1] == ':'))
        return path.substr(0, sep + 1);
    return path.substr(0, sep);
}

std::string fileNameOf(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string joined(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

// Temporary files are named "." + the target's name + "." + six letters or digits, in
// the target's folder so that the final move never crosses a volume.
constexpr size_t kSuffixLength = 6;
constexpr std::string_view kSuffixCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string tempName(const std::string& folder, const std::string& name) {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x = (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32) ^
                      static_cast<std::uint64_t>(::GetTickCount64()) ^
                      (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    LARGE_INTEGER ticks{};
    ::QueryPerformanceCounter(&ticks);
    x ^= static_cast<std::uint64_t>(ticks.QuadPart);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    std::string suffix;
    for (size_t i = 0; i < kSuffixLength; ++i) {
        suffix += kSuffixCharacters[x % kSuffixCharacters.size()];
        x /= kSuffixCharacters.size();
    }
    return joined(folder, "." + name + "." + suffix);
}

// Names compare without case on Windows, as the file system does.
bool isTempNameFor(std::string_view entry, const std::string& name) {
    if (entry.size() != name.size() + 2 + kSuffixLength || !entry.starts_with('.') ||
        entry[name.size() + 1] != '.')
        return false;
    const std::wstring a = win::toWide(entry.substr(1, name.size()));
    const std::wstring b = win::toWide(name);
    if (::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                               TRUE) != CSTR_EQUAL)
        return false;
    for (char c : entry.substr(name.size() + 2))
        if (kSuffixCharacters.find(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c)) ==
            std::string_view::npos)
            return false;
    return true;
}

// Removes what writes of this target left behind when the program was killed half-way.
// A writer at work holds its temporary file open without delete sharing, so deleting it
// fails and only true leftovers go.
void removeLeftovers(const std::string& folder, const std::string& name) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(widePath(joined(folder, "." + name + ".*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string entry = win::toUtf8(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isTempNameFor(entry, name))
            ::DeleteFileW(widePath(joined(folder, entry)).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Another program (a mail program reading the signature, a virus scanner looking at the
// new file) may hold the target open for a moment; these errors are worth waiting out.
bool isBusy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
           error == ERROR_USER_MAPPED_FILE;
}

// Waits between tries at replacing a busy file: a little under a second and a half in all.
constexpr DWORD kRetryWaitsMs[] = {20, 50, 100, 200, 400, 600};

bool writeAll(HANDLE file, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file, p, chunk, &written, nullptr))
            return false;
        p += written;
        left -= written;
    }
    return true;
}

Error notFoundOrPath(DWORD error, std::string_view what, const std::string& path) {
    Error e = fromWinError(error, what, path);
    if (e.code == ErrorCode::NotFound) {
        const DWORD attributes = ::GetFileAttributesW(widePath(folderOf(path)).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            e.code = ErrorCode::PathNotFound;
    }
    return e;
}

// Puts the whole temporary file in place of the target, waiting a little while another
// program holds the target open. (ReplaceFileW would keep the old file's security too, but
// leaves stray backup files when it fails; a file made in the same folder inherits the
// folder's permissions, which is what a user's own files have.)
DWORD replaceTarget(const std::wstring& temp, const std::wstring& target) {
    for (size_t attempt = 0;; ++attempt) {
        if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        const DWORD error = ::GetLastError();
        if (!isBusy(error) || attempt == std::size(kRetryWaitsMs))
            return error;
        ::Sleep(kRetryWaitsMs[attempt]);
    }
}

// A pipe or a device (a console, a serial port) may never answer a read: only a file on a
// disk is read from.
Status checkRegular(HANDLE file, const std::string& path) {
    if (::GetFileType(file) != FILE_TYPE_DISK)
        return Error{ErrorCode::SpecialFile,
                     "cannot read " + path + ": it is a named pipe or device, not a regular file"};
    return {};
}

} // namespace

Result<std::string> readFile(const std::string& path) {
    const std::wstring wide = widePath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Error{ErrorCode::IsDirectory, "cannot read " + path + ": it is a folder"};
    HANDLE file =
        ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return notFoundOrPath(::GetLastError(), "cannot open", path);
    if (Status regular = checkRegular(file, path); !regular) {
        ::CloseHandle(file);
        return regular.error();
    }
    LARGE_INTEGER size{};
    std::string bytes(
        ::GetFileSizeEx(file, &size) && size.QuadPart > 0 ? static_cast<size_t>(size.QuadPart) + 1 : 4096,
        '\0');
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const size_t room = bytes.size() - used;
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + used,
                        room > 0x40000000u ? 0x40000000u : static_cast<DWORD>(room), &got, nullptr)) {
            const DWORD error = ::GetLastError();
            ::CloseHandle(file);
            return fromWinError(error, "cannot read", path);
        }
        if (got == 0)
            break;
        used += got;
    }
    ::CloseHandle(file);
    bytes.resize(used);
    return bytes;
}

Status writeFileAtomic(const std::string& path, std::string_view bytes, Durability durability) {
    const std::wstring target = widePath(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Error{ErrorCode::IsDirectory, "cannot write " + path + ": it is a folder"};
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return fromWinError(ERROR_ACCESS_DENIED, "cannot write", path);
    // Device paths ("\\.\COM1", "\\.\pipe\...") are no files to replace.
    if (path.starts_with("\\\\.\\") || path.starts_with("//./"))
        return Error{ErrorCode::SpecialFile, "cannot write " + path + ": it is a device, not a regular file"};

    const std::string folder = folderOf(path);
    const std::string name = fileNameOf(path);
    removeLeftovers(folder, name);

    std::wstring tempPath;
    HANDLE temp = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && temp == INVALID_HANDLE_VALUE; ++attempt) {
        tempPath = widePath(tempName(folder, name));
        // No delete sharing while it is written: a clean-up by another writer leaves it be.
        temp = ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (temp == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return notFoundOrPath(::GetLastError(), "cannot write", path);
    }
    if (temp == INVALID_HANDLE_VALUE)
        return fromWinError(ERROR_FILE_EXISTS, "cannot write", path);

    const bool filled =
        writeAll(temp, bytes) && (durability == Durability::Replace || ::FlushFileBuffers(temp));
    const DWORD fillError = filled ? ERROR_SUCCESS : ::GetLastError();
    ::CloseHandle(temp);
    if (!filled) {
        ::DeleteFileW(tempPath.c_str());
        return fromWinError(fillError, "cannot write", path);
    }
    // The old file's hidden, system and archive marks stay with the new one.
    if (exists)
        ::SetFileAttributesW(tempPath.c_str(),
                             attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                           FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    const DWORD error = replaceTarget(tempPath, target);
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(tempPath.c_str());
        return fromWinError(error, "cannot replace", path);
    }
    return {};
}

Status appendToFile(const std::string& path, std::string_view bytes) {
    HANDLE file = ::CreateFileW(widePath(path).c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return notFoundOrPath(::GetLastError(), "cannot open", path);
    Status status;
    if (!writeAll(file, bytes))
        status = fromWinError(::GetLastError(), "cannot append to", path);
    ::CloseHandle(file);
    return status;
}

// The reader keeps a C runtime descriptor over its Windows handle.
FileReader::~FileReader() {
    if (m_fd >= 0)
        ::_close(m_fd);
}

Status FileReader::open(const std::string& path) {
    if (m_fd >= 0)
        ::_close(std::exchange(m_fd, -1));
    m_path = path;
    // Backup semantics let a folder open too, as it does on Linux; reading it then fails.
    HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return notFoundOrPath(::GetLastError(), "cannot open", path);
    if (Status regular = checkRegular(file, path); !regular) {
        ::CloseHandle(file);
        return regular;
    }
    m_fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (m_fd < 0) {
        ::CloseHandle(file);
        return Error{ErrorCode::Other, "cannot open " + path + ": out of file descriptors"};
    }
    return {};
}

Result<std::size_t> FileReader::read(char* data, std::size_t size) {
    HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return Error{ErrorCode::IsDirectory, "cannot read " + m_path + ": it is a folder"};
    std::size_t count = 0;
    while (count < size) {
        const size_t room = size - count;
        DWORD got = 0;
        if (!::ReadFile(file, data + count, room > 0x40000000u ? 0x40000000u : static_cast<DWORD>(room), &got,
                        nullptr))
            return fromWinError(::GetLastError(), "cannot read", m_path);
        if (got == 0)
            break;
        count += got;
    }
    return count;
}

Status FileReader::rewind() {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd)), start, nullptr, FILE_BEGIN))
        return fromWinError(::GetLastError(), "cannot read", m_path);
    return {};
}

Status makeFolders(const std::string& path) {
    if (path.empty())
        return {};
    // The drive ("C:") or share ("\\server\share") at the start is never created.
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':')
        start = 2;
    else if (path.starts_with("\\\\") || path.starts_with("//")) {
        const size_t server = path.find_first_of("\\/", 2);
        start = server == std::string::npos ? path.size() : path.find_first_of("\\/", server + 1);
        if (start == std::string::npos)
            start = path.size();
    }
    size_t pos = start;
    while (pos != std::string::npos) {
        pos = path.find_first_of("\\/", pos + 1);
        const std::string partial = path.substr(0, pos);
        if (partial.size() <= start || partial.back() == '\\' || partial.back() == '/')
            continue;
        if (!::CreateDirectoryW(widePath(partial).c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            const DWORD attributes = ::GetFileAttributesW(widePath(partial).c_str());
            if (error != ERROR_ALREADY_EXISTS &&
                (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0))
                return fromWinError(error, "cannot create folder", partial);
        }
    }
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return Error{ErrorCode::PathNotFound, "cannot create folder " + path + ": a file is in the way"};
    return {};
}

Status makeFoldersFor(const std::string& filePath) {
    return makeFolders(folderOf(filePath));
}

} // namespace quillmark
