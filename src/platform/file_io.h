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

// Replaces the file with `bytes` atomically: a temporary file in the same folder is
// written whole, then renamed over the target, so a reader sees either the old or the
// new content, never a part. On failure the old file is untouched and no temporary
// file is left. Where the file system allows it the new content is written to an
// unnamed file, so that even a killed program leaves nothing behind; elsewhere the next
// write of the same file removes what a killed one left. A symbolic link is followed and its target replaced,
// but not one of another user in a shared sticky folder such as /tmp (AccessDenied), as the kernel would not;
// the old file's permission bits are kept. A read-only file is refused, as an in-place write would be. Only a
// regular file is replaced: a named pipe with a reader waiting is written into (NoReader when nobody reads
// it), and a device or socket is refused with SpecialFile.
Status writeFileAtomic(const std::string& path, std::string_view bytes,
                       Durability durability = Durability::Flush);

// Appends bytes, creating the file when missing. A named pipe that nobody reads is an
// error, not a wait.
Status appendToFile(const std::string& path, std::string_view bytes);

// Reads a file from the start in pieces, for files too large to want in memory whole.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // NotFound or PathNotFound when nothing is at the path; SpecialFile for a named pipe,
    // device or socket.
    Status open(const std::string& path);
    // Fills `data` with up to `size` bytes and gives how many; fewer only at the end of
    // the file. A folder opens but fails here with IsDirectory.
    Result<std::size_t> read(char* data, std::size_t size);
    Status rewind();

private:
    int m_fd = -1;
    std::string m_path;
};

// Creates the folder and its missing parents.
Status makeFolders(const std::string& path);
// Creates the folder that is to hold `filePath`, and its missing parents.
Status makeFoldersFor(const std::string& filePath);

} // namespace quillmark
