// Any bytes as a settings file: reading keeps every byte, and one write changes only the
// value it names, both in memory and once the file is written out and read again.
//
// The whole input is the file. The write's section, key and value come from the same
// bytes: the value from the front, the choices from the end.

#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/name_case.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quillmark::IniFile;

constexpr std::size_t kMaxNames = 64;

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Section names and keys match as the settings file matches them: blanks around ignored,
// letters compared in capitals beyond ASCII.
bool sameName(std::string_view a, std::string_view b) {
    return quillmark::sameNameIgnoringCase(trimBlanks(a), trimBlanks(b));
}

// What value() gives back after a write of `written`: the line holds it up to its first
// CR, LF or NUL, and reading drops the blanks around it and one pair of matching quotes.
std::string readBackForm(std::string_view written) {
    std::string_view v = trimBlanks(written.substr(0, written.find_first_of(std::string_view("\r\n\0", 3))));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

struct Name {
    std::string section;
    std::string key; // empty for a section header
};

// Sections and keys as a person reading the file would list them, so that writes hit
// names the file already has, not only names the fuzzer happens to spell.
std::vector<Name> namesIn(std::string_view bytes) {
    std::vector<Name> names;
    std::optional<std::string> section;
    std::size_t pos = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0; // a UTF-8 byte order mark
    while (pos < bytes.size() && names.size() < kMaxNames) {
        const std::size_t stop = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        const std::string_view line = trimBlanks(bytes.substr(pos, stop - pos));
        pos = stop + 1;
        if (line.starts_with('[')) {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                section = std::string(trimBlanks(line.substr(1, close - 1)));
                names.push_back({*section, {}});
            }
            continue;
        }
        // A line without '=' is a key too, with an empty value.
        const std::size_t equals = line.find('=');
        if (section && !line.empty() && !line.starts_with(';'))
            names.push_back({*section, std::string(trimBlanks(line.substr(0, equals)))});
    }
    return names;
}

// The same name as a user might type it: other letter case, blanks around.
std::string retyped(std::string_view name) {
    std::string out = " ";
    for (char c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        out += c;
    }
    return out + "\t";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile file(bytes);
    FUZZ_CHECK(file.bytes() == bytes);

    FuzzedDataProvider input(data, size);
    const std::vector<Name> names = namesIn(bytes);
    std::string section;
    std::string key;
    const int choice = input.ConsumeIntegralInRange(0, 3);
    const Name* known =
        names.empty() ? nullptr : &names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
    if (known && choice == 0) { // a key or section the file has
        section = known->section;
        key = known->key.empty() ? input.ConsumeRandomLengthString(16) : known->key;
    } else if (known && choice == 1) { // the same, typed differently
        section = retyped(known->section);
        key = known->key.empty() ? input.ConsumeRandomLengthString(16) : retyped(known->key);
    } else if (known && choice == 2) { // a new key in a section the file has
        section = known->section;
        key = input.ConsumeRandomLengthString(16);
    } else {
        section = input.ConsumeRandomLengthString(16);
        key = input.ConsumeRandomLengthString(16);
    }
    const std::string value = input.ConsumeRandomLengthString(64);

    std::vector<std::optional<std::string>> before;
    for (const Name& name : names)
        before.push_back(file.value(name.section, name.key));

    const IniFile::SetResult result = file.setValue(section, key, value);
    if (result == IniFile::SetResult::InvalidName || result == IniFile::SetResult::Utf16File) {
        FUZZ_CHECK(file.bytes() == bytes);
        return 0;
    }
    if (result == IniFile::SetResult::Unchanged)
        FUZZ_CHECK(file.bytes() == bytes);

    const std::string expected = readBackForm(value);
    const IniFile written(file.bytes());
    const IniFile& inMemory = file;
    for (const IniFile* ini : {&inMemory, &written}) {
        FUZZ_CHECK(ini->value(section, key) == expected);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!(sameName(names[i].section, section) && sameName(names[i].key, key)))
                FUZZ_CHECK(ini->value(names[i].section, names[i].key) == before[i]);
    }
    // Every other line keeps its bytes: what the write took away lies within one line.
    const std::string after = file.bytes();
    std::size_t prefix = 0;
    while (prefix < bytes.size() && prefix < after.size() && bytes[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < bytes.size() - prefix && suffix < after.size() - prefix &&
           bytes[bytes.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    FUZZ_CHECK(bytes.substr(prefix, bytes.size() - prefix - suffix).find_first_of("\r\n") ==
               std::string_view::npos);
    FUZZ_CHECK(file.setValue(section, key, value) == IniFile::SetResult::Unchanged);
    return 0;
}
