#pragma once
// The editor's file format: the file's lines, whatever their line ends, become the text
// with "\n" between them; saving writes every line with the platform's line end, so the
// file ends in exactly one line end.

#include "base/result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

// Largest file the editor opens; the signature engine itself takes larger ones.
inline constexpr std::uintmax_t kMaxEditorBytes = 16 * 1024 * 1024;

// CR LF, CR and LF each end a line; one line end at the very end is dropped.
std::string editorTextFromFile(std::string_view bytes);

// Every line end of `text` becomes `lineEnd`, and one `lineEnd` follows the last line.
std::string fileFromEditorText(std::string_view text, std::string_view lineEnd);

// The file's bytes for editing. NotFound or PathNotFound when nothing is there (the editor
// starts a new file at that path); IsDirectory, TooLarge, InvalidInput (binary data with
// NUL bytes) or the read error otherwise, each with a message naming the file.
Result<std::string> readFileForEditor(const std::string& path);

} // namespace quillmark
