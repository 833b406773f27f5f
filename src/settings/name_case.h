#pragma once
// Letter case of names: profile, section and key names are found "converted to capitals". A name
// is UTF-8 when its bytes are valid UTF-8, else Windows-1252 as the Windows program stored it.

#include <string>
#include <string_view>

namespace quillmark {

// The name in capitals, in its own encoding: UTF-8 by the system's one-to-one case mapping;
// Windows-1252 for a-z, à-þ (except ÷), š, œ, ž and ÿ, other bytes as they are.
std::string toUpperName(std::string_view name);

// Whether the two names are the same in capitals. Each is read in its own encoding, so a
// Windows-1252 "caf\xE9" equals the UTF-8 "CAFÉ".
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace quillmark
