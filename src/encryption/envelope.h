#pragma once
// The begin and end lines around a password-method ciphertext, so that it can be
// recognised in a mail and recognised again when decoding.

#include <string>
#include <string_view>

namespace quillmark {

// The begin line, the product's address in it included, is part of the format: copies of
// the program that are to read each other's texts must agree on it.
inline constexpr std::string_view kBeginLine = "-- begin Quillmark encrypted text (www.quillmark.org/) :";
inline constexpr std::string_view kEndLine = "-- end Quillmark encrypted text --";

// Begin line, CR LF, text, CR LF, end line. Always CR LF: the text travels between
// machines. Nothing follows the end line.
std::string wrapEncrypted(std::string_view text);

// Removes the envelope. A text that does not start with the begin line is returned
// unchanged (and so is decrypted whole); text in front of the begin line is not searched.
std::string unwrapEncrypted(std::string_view text);

} // namespace quillmark
