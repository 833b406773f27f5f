#pragma once
// Opening a document with the program the desktop associates with it.

#include "base/result.h"

#include <string_view>

namespace quillmark {

// Text of the "open a document" failure codes (2 "File not found" ... 32 "DLL not found").
std::string_view shellErrorText(int code);

// The failed open of one of those codes: its text as the message, and the nearest ErrorCode
// (NotFound for 2, PathNotFound for 3, AccessDenied for 5, Other for the rest).
Error shellError(int code);

} // namespace quillmark
