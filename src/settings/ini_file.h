#pragma once
// A sectioned settings file ("[Section]" lines, then "key=value" lines) held as its lines,
// so that changing one value leaves every other byte of the file as the user left it.
//
// Reading and writing follow the Windows profile-string functions
// (GetPrivateProfileString / WritePrivateProfileString), which the program was built on:
//  - CR LF, CR and LF each end a line; a line keeps its own line end when the file is
//    written back, and lines the program adds end with the platform's line end.
//  - Blanks (spaces, tabs) around section names, keys and values are ignored on reading.
//    A value wrapped in a matching pair of double or single quotes reads without them.
//  - Section names and keys match without regard to letter case (sameNameIgnoringCase).
//  - Lines whose first non-blank character is ';' are comments. A line that starts with
//    '[' without being a section header is kept as it is and never read. A line inside a
//    section that has no '=' is a key with an empty value; a write fills it in place.
//  - Of duplicate sections only the first is searched and written; of duplicate keys in
//    it the first wins, on reading and on writing.
//  - Keys before the first section header are kept but not reachable.
//  - A write replaces the key's whole line with "key=value" without blanks. A new key goes
//    after the last non-blank line of its section; a new section, with the letter case
//    of that write, goes at the end of the file.
//  - A UTF-8 byte order mark at the start (what editors save as "UTF-8 with BOM") is
//    skipped on reading and kept in front on writing.
//  - A UTF-16 file (byte order mark FF FE or FE FF) is read as text but never written:
//    writing it back would change bytes the program does not understand.
//
// Plain logic over bytes: nothing here touches the disk.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class IniFile {
public:
    enum class SetResult {
        Unchanged,   // the file already held exactly that line
        Changed,     // the line was replaced or added
        InvalidName, // the section or key cannot stand in the file and round-trip
        Utf16File    // the file is UTF-16 and was left as it is
    };

    IniFile() = default;
    // Splits the bytes into lines; any bytes are accepted and kept.
    explicit IniFile(std::string_view bytes);

    // The whole file; for a file that was never changed, the bytes it was built from.
    std::string bytes() const;

    // The value of `key` in the first section named `section`, blanks and quotes removed, if any.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Writes "key=value" into the first section named `section`, created when missing. A
    // value is written only up to its first CR, LF or NUL, which would break the line.
    SetResult setValue(std::string_view section, std::string_view key, std::string_view value);

    bool isUtf16() const { return m_utf16.has_value(); }

private:
    enum class Kind { Blank, Comment, Section, Key, Other };

    struct Line {
        std::string text;     // without its line end
        std::string_view end; // static text: "\r\n", "\r", "\n", or "" for a last line without one
        Kind kind = Kind::Other;
        std::string_view name() const { return std::string_view(text).substr(nameBegin, nameSize); }
        std::size_t nameBegin = 0; // section name or key, blanks removed
        std::size_t nameSize = 0;
        std::size_t valueBegin = 0; // key lines only, blanks removed
        std::size_t valueSize = 0;
    };

    static void classify(Line& line);
    std::size_t findSection(std::string_view name) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, std::string_view key) const;
    void insertLine(std::size_t at, std::string text);

    void splitLines(std::string_view text);

    std::vector<Line> m_lines;
    std::string_view m_mark;            // a UTF-8 byte order mark before the first line, or ""
    std::optional<std::string> m_utf16; // a UTF-16 file's bytes; m_lines then hold its text in UTF-8
};

} // namespace quillmark
