#include "settings/name_case.h"

#include "settings/utf8.h"

#include <array>
#include <optional>

namespace quillmark {

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes stand for the C1 code of that value.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Capital of a letter whose small and capital forms alternate code by code.
char32_t pairedUpper(char32_t c, bool capitalIsEven) {
    const bool even = c % 2 == 0;
    return even == capitalIsEven ? c : c - 1;
}

char32_t simpleUpper(char32_t c) {
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c < 0xB5)
        return c;
    if (c == 0xB5) // micro sign
        return 0x039C;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0xFF)
        return 0x0178;
    // Latin Extended-A
    if (c == 0x0131) // dotless i
        return 'I';
    if (c == 0x017F) // long s
        return 'S';
    if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177))
        return pairedUpper(c, true);
    if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E))
        return pairedUpper(c, false);
    // Greek
    if (c == 0x03AC)
        return 0x0386;
    if (c >= 0x03AD && c <= 0x03AF)
        return c - 0x25;
    if (c == 0x03C2) // final sigma
        return 0x03A3;
    if (c >= 0x03B1 && c <= 0x03CB)
        return c - 0x20;
    if (c == 0x03CC)
        return 0x038C;
    if (c == 0x03CD || c == 0x03CE)
        return c - 0x3F;
    // Cyrillic
    if (c >= 0x0430 && c <= 0x044F)
        return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F)
        return c - 0x50;
    if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) || (c >= 0x04D0 && c <= 0x052F))
        return pairedUpper(c, true);
    if (c >= 0x04C1 && c <= 0x04CE)
        return pairedUpper(c, false);
    if (c == 0x04CF)
        return 0x04C0;
    // Latin Extended Additional (Vietnamese and others); 1E96..1E9F have no simple capital.
    if ((c >= 0x1E00 && c <= 0x1E95) || (c >= 0x1EA0 && c <= 0x1EFF))
        return pairedUpper(c, true);
    return c;
}

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
        out.push_back(b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

std::u32string upperCodePoints(std::string_view name) {
    std::optional<std::u32string> utf8 = decodeUtf8(name);
    std::u32string points = utf8 ? std::move(*utf8) : decodeWindows1252(name);
    for (char32_t& c : points)
        c = simpleUpper(c);
    return points;
}

void appendUtf8(std::string& out, char32_t c) {
    const auto byte = [&out](char32_t b) {
        out.push_back(static_cast<char>(b));
    };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
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
    if (const std::optional<std::u32string> points = decodeUtf8(name)) {
        for (const char32_t c : *points)
            appendUtf8(out, simpleUpper(c));
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
        for (std::size_t i = 0; i < a.size(); ++i)
            if (simpleUpper(static_cast<unsigned char>(a[i])) !=
                simpleUpper(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
    return upperCodePoints(a) == upperCodePoints(b);
}

} // namespace quillmark
