#pragma once
// Opening a document with the program the desktop associates with it.

#include <string_view>

namespace quillmark {

// Text of the "open a document" failure codes (2 "File not found" ... 32 "DLL not found").
std::string_view shellErrorText(int code);

} // namespace quillmark
