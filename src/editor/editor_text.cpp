#include "editor/editor_text.h"

#include "platform/file_io.h"
#include "platform/paths.h"

#include <filesystem>
#include <system_error>

namespace quillmark {

namespace {

// Copies `text` with each CR LF, CR or LF replaced by `lineEnd`.
std::string withLineEnds(std::string_view text, std::string_view lineEnd) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + lineEnd.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            out.append(lineEnd);
        } else if (c == '\r') {
            out.append(lineEnd);
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::string editorTextFromFile(std::string_view bytes) {
    // Files written on Linux have no CR at all: one copy, no walk over the lines.
    std::string text =
        bytes.find('\r') == std::string_view::npos ? std::string(bytes) : withLineEnds(bytes, "\n");
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::string fileFromEditorText(std::string_view text, std::string_view lineEnd) {
    std::string bytes = withLineEnds(text, lineEnd);
    bytes.append(lineEnd);
    return bytes;
}

Result<std::string> readFileForEditor(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(toFsPath(path), ec);
    if (fs::is_directory(status))
        return Error{ErrorCode::IsDirectory, path + " is a folder, not a file."};
    if (fs::is_regular_file(status)) {
        const std::uintmax_t size = fs::file_size(toFsPath(path), ec);
        if (!ec && size > kMaxEditorBytes)
            return Error{ErrorCode::TooLarge, path + " is " + std::to_string(size / (1024 * 1024)) +
                                                  " MB large; the editor opens files of up to " +
                                                  std::to_string(kMaxEditorBytes / (1024 * 1024)) + " MB."};
    }
    Result<std::string> bytes = readFile(path);
    if (!bytes)
        return bytes;
    if (bytes->size() > kMaxEditorBytes) // a pipe or a file that grew meanwhile
        return Error{ErrorCode::TooLarge, path + " is too large for the editor."};
    if (bytes->find('\0') != std::string::npos)
        return Error{ErrorCode::InvalidInput,
                     path + " holds binary data (NUL bytes); the editor would damage it."};
    return bytes;
}

} // namespace quillmark
