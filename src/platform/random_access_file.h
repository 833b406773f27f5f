#pragma once
// Random access to large files without reading them whole, and private cache files that
// a planted link can never redirect: what the entry index of the quote files needs.

#include "base/result.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillmark {

// What identifies one version of a file: a rewrite changes one of these, even one of the
// same size within the same second (the change time moves with every write).
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// A regular file read at any offset. Read with pread rather than mapped, so a file cut
// short by someone else while it is read gives an error, not a crash.
class RandomAccessFile {
public:
    RandomAccessFile() = default;
    ~RandomAccessFile();
    RandomAccessFile(RandomAccessFile&& other) noexcept;
    RandomAccessFile& operator=(RandomAccessFile&& other) noexcept;
    RandomAccessFile(const RandomAccessFile&) = delete;
    RandomAccessFile& operator=(const RandomAccessFile&) = delete;

    // NotFound or PathNotFound when nothing is there; SpecialFile for anything but a regular file.
    static Result<RandomAccessFile> open(const std::string& path);
    // A cache file of this user, opened without following a link: a link, a file of
    // another user or anything but a regular file is refused (InvalidInput).
    static Result<RandomAccessFile> openCache(const std::string& path);

    std::uint64_t size() const { return m_stamp.size; }
    const FileStamp& stamp() const { return m_stamp; }
    // The file's stamp now, to tell whether it changed while it was read.
    Result<FileStamp> stampNow() const;
    // Exactly `size` bytes at `offset`; TooLarge when the file ends before.
    Status readAt(std::uint64_t offset, char* data, std::size_t size) const;

private:
    // A descriptor on Linux, a HANDLE on Windows; -1 when none.
    std::intptr_t m_fd = -1;
    std::string m_path;
    FileStamp m_stamp;
};

} // namespace quillmark
