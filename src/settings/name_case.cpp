#include "settings/name_case.h"

#include "platform/text_case.h"
#include "settings/utf8.h"

#include <optional>

namespace quillmark {

namespace {

// The code points of valid UTF-8, or nothing.
std::optional<std::u32string> decodeUtf8(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = utf8SequenceLength(s, i);
        if (length == 0)
            return std::nullopt;
        const auto lead = static_cast<unsigned char>(s[i]);
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += length;
    }
    return out;
}

std::u32string decodeWindows1252(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (const char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(b >= 0x80 && b <= 0x9F ? char32_t{kWindows1252High[b - 0x80]} : char32_t{b});
    }
    return out;
}

std::u32string upperCodePoints(std::string_view name) {
    std::optional<std::u32string> utf8 = decodeUtf8(name);
    std::u32string points = utf8 ? std::move(*utf8) : decodeWindows1252(name);
    toUpperCase(points);
    return points;
}

char windows1252Upper(char ch) {
    const auto b = static_cast<unsigned char>(ch);
    unsigned char up = b;
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
        up = b - 0x20;
    else if (b == 0x9A || b == 0x9C || b == 0x9E) // š œ ž
        up = b - 0x10;
    else if (b == 0xFF) // ÿ
        up = 0x9F;
    return static_cast<char>(up);
}

} // namespace

std::string toUpperName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    if (std::optional<std::u32string> points = decodeUtf8(name)) {
        toUpperCase(*points);
        for (const char32_t c : *points)
            appendUtf8(out, c);
    } else {
        for (const char c : name)
            out.push_back(windows1252Upper(c));
    }
    return out;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    // Settings lookups compare every key of a section: plain ASCII names skip the decoding.
    const auto ascii = [](std::string_view s) {
        for (const char c : s)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        return true;
    };
    if (ascii(a) && ascii(b)) {
        if (a.size() != b.size())
            return false;
        const auto upper = [](char c) {
            return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
        };
        for (std::size_t i = 0; i < a.size(); ++i)
            if (upper(a[i]) != upper(b[i]))
                return false;
        return true;
    }
    return upperCodePoints(a) == upperCodePoints(b);
}

} // namespace quillmark
