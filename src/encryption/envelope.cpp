#include "encryption/envelope.h"

namespace quillmark {

namespace {

// Mail systems often turn CR LF into LF, so both are accepted as line ends.
bool cutLineEndAtStart(std::string_view& s) {
    const std::size_t n = s.starts_with("\r\n") ? 2 : s.starts_with('\n') ? 1 : 0;
    s.remove_prefix(n);
    return n > 0;
}

bool cutLineEndAtEnd(std::string_view& s) {
    const std::size_t n = s.ends_with("\r\n") ? 2 : s.ends_with('\n') ? 1 : 0;
    s.remove_suffix(n);
    return n > 0;
}

// Removes a line end followed by the end line from the end of `s`, if they are there.
bool cutEndLine(std::string_view& s) {
    if (!s.ends_with(kEndLine))
        return false;
    std::string_view body = s.substr(0, s.size() - kEndLine.size());
    if (!cutLineEndAtEnd(body))
        return false;
    s = body;
    return true;
}

} // namespace

std::string wrapEncrypted(std::string_view text) {
    std::string out;
    out.reserve(kBeginLine.size() + text.size() + kEndLine.size() + 4);
    out.append(kBeginLine).append("\r\n").append(text).append("\r\n").append(kEndLine);
    return out;
}

std::string unwrapEncrypted(std::string_view text) {
    if (!text.starts_with(kBeginLine))
        return std::string(text);
    std::string_view rest = text.substr(kBeginLine.size());
    if (!cutLineEndAtStart(rest)) {
        // Whatever stands there takes the place of the two-character line end we write.
        if (rest.size() < 2)
            return {};
        rest.remove_prefix(2);
    }

    if (cutEndLine(rest))
        return std::string(rest);
    // A passage copied out of a mail often carries the line end after the end line too.
    std::string_view trimmed = rest;
    if (cutLineEndAtEnd(trimmed) && cutEndLine(trimmed))
        return std::string(trimmed);
    return std::string(rest);
}

} // namespace quillmark
