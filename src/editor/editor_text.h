#pragma once
// The editor's file format: the lines, whatever their line ends, become text with "\n" between;
// saving ends every line with the platform's line end, so the file ends in exactly one.

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

// The file's bytes for editing. NotFound or PathNotFound when nothing is there (a new file);
// IsDirectory, TooLarge, InvalidInput (NUL bytes) or the read error otherwise, naming the file.
Result<std::string> readFileForEditor(const std::string& path);

} // namespace quillmark
