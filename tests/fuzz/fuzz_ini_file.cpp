// Any bytes as a settings file: reading keeps every byte; a write changes only the value it names.
#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/name_case.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using quillmark::IniFile;

std::string_view trimBlanks(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view()
                                           : s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

struct Name {
    std::string section, key;
};

// Sections and keys as a person reading the file would list them, for writes to hit.
std::vector<Name> namesIn(std::string_view bytes) {
    std::vector<Name> names;
    std::optional<std::string> section;
    for (std::size_t pos = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
         pos < bytes.size() && names.size() < 64;) {
        const std::size_t stop = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        const std::string_view line = trimBlanks(bytes.substr(pos, stop - pos));
        pos = stop + 1;
        if (const std::size_t close = line.rfind(']');
            line.starts_with('[') && close != std::string_view::npos)
            section = std::string(trimBlanks(line.substr(1, close - 1)));
        else if (section && !line.empty() && !line.starts_with(';') && !line.starts_with('['))
            names.push_back({*section, std::string(trimBlanks(line.substr(0, line.find('='))))});
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile file(bytes);
    FUZZ_CHECK(file.bytes() == bytes);

    FuzzedDataProvider input(data, size);
    const std::vector<Name> names = namesIn(bytes);
    const int choice = input.ConsumeIntegralInRange(0, 2);
    Name target{input.ConsumeRandomLengthString(16), input.ConsumeRandomLengthString(16)};
    if (!names.empty() && choice < 2) { // a name of the file, or a new key in a section of it
        const Name& known = names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
        target.section = known.section;
        if (choice == 0)
            target.key = known.key;
    }
    const std::string value = input.ConsumeRandomLengthString(64);
    std::vector<std::optional<std::string>> before;
    for (const Name& name : names)
        before.push_back(file.value(name.section, name.key));

    const IniFile::SetResult result = file.setValue(target.section, target.key, value);
    if (result != IniFile::SetResult::Changed) {
        FUZZ_CHECK(file.bytes() == bytes);
        return 0;
    }
    // value() gives it up to its first CR, LF or NUL, without blanks around and one pair of quotes.
    std::string_view expected =
        trimBlanks(std::string_view(value).substr(0, value.find_first_of(std::string_view("\r\n\0", 3))));
    if (expected.size() >= 2 && (expected[0] == '"' || expected[0] == '\'') && expected.back() == expected[0])
        expected = expected.substr(1, expected.size() - 2);
    const IniFile written(file.bytes());
    for (const IniFile* ini : {&std::as_const(file), &written}) {
        FUZZ_CHECK(ini->value(target.section, target.key) == expected);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!quillmark::sameNameIgnoringCase(trimBlanks(names[i].section), trimBlanks(target.section)) ||
                !quillmark::sameNameIgnoringCase(trimBlanks(names[i].key), trimBlanks(target.key)))
                FUZZ_CHECK(ini->value(names[i].section, names[i].key) == before[i]);
    }
    // What the write took away lies within one line.
    const std::string after = file.bytes();
    const std::size_t prefix =
        std::mismatch(bytes.begin(), bytes.end(), after.begin(), after.end()).first - bytes.begin();
    const std::size_t suffix =
        std::mismatch(bytes.rbegin(), bytes.rend() - prefix, after.rbegin(), after.rend() - prefix).first -
        bytes.rbegin();
    FUZZ_CHECK(bytes.substr(prefix, bytes.size() - prefix - suffix).find_first_of("\r\n") ==
               std::string_view::npos);
    FUZZ_CHECK(file.setValue(target.section, target.key, value) == IniFile::SetResult::Unchanged);
    return 0;
}
