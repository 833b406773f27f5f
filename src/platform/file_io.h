#pragma once
// Whole-file reads and writes. Errors are values: every call says what failed so the
// caller can log it with its own context and carry on.

#include "base/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmark {

// Reads the whole file as bytes. A named pipe, device or socket is refused with
// SpecialFile before anything is read, so no reader can be kept waiting by one.
Result<std::string> readFile(const std::string& path);

enum class Durability {
    Flush,  // data reaches the disk before the old file is replaced (user settings)
    Replace // only the atomic replacement matters (files the program rewrites constantly)
};

// Replaces the file with `bytes` atomically: a temporary file in the same folder is written
// whole, then renamed over the target, so a reader sees the old or the new content. On
// failure the old file is untouched and no temporary file is left; what a killed program
// left is removed by the next write. A symbolic link is followed (not another user's in a
// shared sticky folder such as /tmp) and the permission bits are kept. A read-only file is
// refused. A named pipe with a reader waiting is written into (NoReader when nobody reads
// it); a device or socket is refused with SpecialFile.
Status writeFileAtomic(const std::string& path, std::string_view bytes,
                       Durability durability = Durability::Flush);

// Appends bytes, creating the file when missing; a named pipe nobody reads is an error, not a wait.
Status appendToFile(const std::string& path, std::string_view bytes);

// Reads a file from the start in pieces, for files too large to want in memory whole.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // NotFound or PathNotFound when nothing is there; SpecialFile for a pipe, device or socket.
    Status open(const std::string& path);
    // Fills `data` with up to `size` bytes and gives how many; fewer only at the end of
    // the file. A folder opens but fails here with IsDirectory.
    Result<std::size_t> read(char* data, std::size_t size);
    Status rewind();

private:
    int m_fd = -1;
    std::string m_path;
};

Status makeFolders(const std::string& path);
// Creates the folder that is to hold `filePath`, and its missing parents.
Status makeFoldersFor(const std::string& filePath);

} // namespace quillmark
