#include "settings/ini_file.h"

#include "platform/platform.h"
#include "settings/name_case.h"
#include "settings/utf8.h"

#include <algorithm>

namespace quillmark {

namespace {

constexpr std::size_t npos = std::string::npos;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != npos;
}

// A name the file could not give back as written is refused rather than written into a
// line that would read as something else (another section, a comment, a shorter key).
bool validSection(std::string_view name) {
    return !name.empty() && !hasLineBreakOrNul(name);
}

bool validKey(std::string_view key) {
    return !key.empty() && !hasLineBreakOrNul(key) && key.find('=') == npos && key.front() != ';' &&
           key.front() != '[';
}

// UTF-16 text in UTF-8 without the byte order mark; a lone surrogate or odd byte gives U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unitAt(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unitAt(i + 2) >= 0xDC00 &&
            unitAt(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    if (i < bytes.size())
        appendUtf8(out, 0xFFFD);
    return out;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

} // namespace

IniFile::IniFile(std::string_view bytes) {
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (littleEndian || bytes.starts_with("\xFE\xFF")) {
        m_utf16 = std::string(bytes);
        splitLines(utf16ToUtf8(bytes, !littleEndian));
        return;
    }
    if (bytes.starts_with(kUtf8Mark)) {
        m_mark = kUtf8Mark;
        bytes.remove_prefix(kUtf8Mark.size());
    }
    splitLines(bytes);
}

void IniFile::splitLines(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t stop = bytes.find_first_of("\r\n", start);
        Line line;
        if (stop == npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            line.text = bytes.substr(start, stop - start);
            if (bytes[stop] == '\n')
                line.end = "\n";
            else if (stop + 1 < bytes.size() && bytes[stop + 1] == '\n')
                line.end = "\r\n";
            else
                line.end = "\r";
            start = stop + line.end.size();
        }
        classify(line);
        m_lines.push_back(std::move(line));
    }
}

void IniFile::classify(Line& line) {
    const std::string_view text = line.text;
    const std::size_t first = std::min(text.find_first_not_of(" \t"), text.size());
    line.kind = Kind::Other;
    line.nameBegin = line.nameSize = line.valueBegin = line.valueSize = 0;
    if (first == text.size()) {
        line.kind = Kind::Blank;
        return;
    }
    if (text[first] == ';') {
        line.kind = Kind::Comment;
        return;
    }
    if (text[first] == '[') {
        const std::size_t close = text.rfind(']');
        if (close == npos || close <= first)
            return;
        const std::string_view name = trim(text.substr(first + 1, close - first - 1));
        line.kind = Kind::Section;
        line.nameBegin = static_cast<std::size_t>(name.data() - text.data());
        line.nameSize = name.size();
        return;
    }
    // A line without '=' is a key whose value is empty.
    const std::size_t equals = std::min(text.find('=', first), text.size());
    const std::string_view key = trim(text.substr(first, equals - first));
    const std::string_view value =
        equals == text.size() ? text.substr(equals) : trim(text.substr(equals + 1));
    line.kind = Kind::Key;
    line.nameBegin = static_cast<std::size_t>(key.data() - text.data());
    line.nameSize = key.size();
    line.valueBegin = static_cast<std::size_t>(value.data() - text.data());
    line.valueSize = value.size();
}

std::string IniFile::bytes() const {
    if (m_utf16)
        return *m_utf16;
    std::size_t size = m_mark.size();
    for (const Line& line : m_lines)
        size += line.text.size() + line.end.size();
    std::string out;
    out.reserve(size);
    out += m_mark;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

std::size_t IniFile::findSection(std::string_view name) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::Section && sameNameIgnoringCase(m_lines[i].name(), name))
            return i;
    return npos;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

std::size_t IniFile::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Kind::Key && sameNameIgnoringCase(m_lines[i].name(), key))
            return i;
    return npos;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty())
        return std::nullopt;
    const std::size_t header = findSection(section);
    if (header == npos)
        return std::nullopt;
    const std::size_t at = findKey(header, key);
    if (at == npos)
        return std::nullopt;
    const Line& line = m_lines[at];
    std::string_view v = std::string_view(line.text).substr(line.valueBegin, line.valueSize);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

void IniFile::insertLine(std::size_t at, std::string text) {
    // The line before must end, or the new line would be glued onto it.
    if (at > 0 && m_lines[at - 1].end.empty())
        m_lines[at - 1].end = kLineEnd;
    Line line;
    line.text = std::move(text);
    line.end = kLineEnd;
    classify(line);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

IniFile::SetResult IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (!validSection(section) || !validKey(key))
        return SetResult::InvalidName;
    if (m_utf16)
        return SetResult::Utf16File;
    value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));

    std::string text = std::string(key) + "=" + std::string(value);

    const std::size_t header = findSection(section);
    if (header == npos) {
        insertLine(m_lines.size(), "[" + std::string(section) + "]");
        insertLine(m_lines.size(), std::move(text));
        return SetResult::Changed;
    }

    const std::size_t at = findKey(header, key);
    if (at != npos) {
        Line& line = m_lines[at];
        if (line.text == text)
            return SetResult::Unchanged;
        line.text = std::move(text);
        classify(line);
        return SetResult::Changed;
    }

    // Blank lines that close a section belong to the gap before the next one.
    std::size_t last = sectionEnd(header) - 1;
    while (last > header && m_lines[last].kind == Kind::Blank)
        --last;
    insertLine(last + 1, std::move(text));
    return SetResult::Changed;
}

} // namespace quillmark
