#pragma once
// Letter case of names: profile names, section names and keys are found "converted to
// capitals", so "CAFÉ" finds "Café". A name is UTF-8 when its bytes are valid UTF-8 and
// otherwise Windows-1252 bytes, as a settings file from the Windows program holds them.

#include <string>
#include <string_view>

namespace quillmark {

// The name in capitals, in its own encoding. UTF-8: every letter takes its capital by the
// system's one-to-one case mapping (text_case.h). Windows-1252: a-z, à-þ (except ÷), š,
// œ, ž and ÿ take their capitals, the rest of the bytes stay as they are.
std::string toUpperName(std::string_view name);

// Whether the two names are the same in capitals. Each is read in its own encoding, so a
// Windows-1252 "caf\xE9" equals the UTF-8 "CAFÉ".
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace quillmark
