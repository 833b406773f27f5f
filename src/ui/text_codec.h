#pragma once
// Files are bytes; widgets show text. Bytes that are valid UTF-8 are shown as such,
// anything else as Windows-1252, and a box filled from bytes gives the same bytes back.

#include <QString>
#include <string>
#include <string_view>

class QLineEdit;

namespace quillmark {

QString textFromBytes(std::string_view bytes, bool* legacy = nullptr);
std::string bytesFromText(const QString& text, bool legacy = false);

// A line edit that remembers how its bytes were decoded.
void setBytes(QLineEdit* box, std::string_view bytes);
std::string bytesOf(const QLineEdit* box);

// The numeric test of the program's number boxes: the whole text, blanks around it
// allowed, is a decimal number (with optional sign, fraction and exponent).
bool isNumericText(const QString& text, double* value = nullptr);

} // namespace quillmark
