#include "profiles/profile_files.h"

#include "platform/file_io.h"
#include "platform/paths.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace quillmark {

namespace {

namespace fs = std::filesystem;

// Enough of a file's start to tell text from binary data without reading a large file whole.
constexpr std::size_t kSniffBytes = 64 * 1024;

Status checkIsText(const std::string& path) {
    FileReader reader;
    if (Status opened = reader.open(path); !opened)
        return opened;
    std::array<char, kSniffBytes> buffer{};
    Result<std::size_t> count = reader.read(buffer.data(), buffer.size());
    if (!count)
        return count.error();
    if (std::string_view(buffer.data(), *count).find('\0') != std::string_view::npos)
        return Error{ErrorCode::InvalidInput, path + " holds binary data (NUL bytes), not text."};
    return {};
}

} // namespace

Status createFileIfMissing(const std::string& path) {
    if (fileExists(path))
        return {};
    if (Status folder = makeFoldersFor(path); !folder)
        return folder;
    return appendToFile(path, {});
}

Status checkProfileFile(const std::string& path, ProfileFileRole role) {
    std::error_code ec;
    const fs::file_status status = fs::status(toFsPath(path), ec);
    if (fs::is_directory(status))
        return Error{ErrorCode::IsDirectory, path + " is a folder, not a file."};
    if (!fs::exists(status)) {
        const fs::path folder = toFsPath(path).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec))
            return Error{ErrorCode::PathNotFound, "The folder " + toUtf8Path(folder) + " does not exist."};
        if (role == ProfileFileRole::Source)
            return Error{ErrorCode::NotFound, path + " does not exist."};
        return {};
    }
    if (!fs::is_regular_file(status))
        return {}; // pipes and devices are the signature engine's to handle
    Status text = checkIsText(path);
    if (role == ProfileFileRole::Output && text.ok())
        return {};
    if (role == ProfileFileRole::Output && text.code() == ErrorCode::InvalidInput)
        return Error{ErrorCode::InvalidInput, text.message() + " Every new signature would overwrite it."};
    if (role == ProfileFileRole::Output)
        return {}; // an output file needs to be writable, not readable
    return text;
}

} // namespace quillmark
