// A source file fed to the entry scanner and the entry splitter in pieces cut anywhere
// gives the entries of a plain line-by-line reading of the whole file, however densely
// the scanner samples where entries begin.
//
// The choices come from the end of the input (separator, entry index, sample spacing,
// cut points); what is left at the front is the source file.

#include "fuzz_check.h"
#include "platform/platform.h"
#include "signature/entries.h"
#include "signature/separator.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quillmark::EntryList;
using quillmark::EntryScanner;
using quillmark::EntrySplitter;

// The rules of a source file read one line at a time, slowly and plainly.
std::vector<std::string> readLineByLine(std::string_view bytes, std::string_view separator) {
    std::vector<std::string> entries(1);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t stop = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        const std::string_view line = bytes.substr(pos, stop - pos);
        pos = stop + 1;
        if (stop + 1 < bytes.size() && bytes[stop] == '\r' && bytes[stop + 1] == '\n')
            ++pos;
        if (separator.empty() ? line.empty() : line.starts_with(separator)) {
            entries.emplace_back();
        } else if (!line.starts_with('#')) {
            std::string& entry = entries.back();
            if (!entry.empty())
                entry += quillmark::kLineEnd;
            entry += line;
        }
    }
    return entries;
}

std::string separatorFrom(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange(0, 3) == 0)
        return {};
    // Up to four bytes as a user might type them into the setting: one character of them
    // is taken, a UTF-8 sequence or a single byte.
    std::string typed;
    for (int i = input.ConsumeIntegralInRange(1, 4); i > 0; --i)
        typed += static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
    return quillmark::separatorFromSetting(typed);
}

// The source cut at the chosen points; the pieces may be empty. Some inputs are fed one
// byte at a time, which puts a cut inside every CR LF and every separator.
std::vector<std::string_view> cutAtChosenPoints(std::string_view source,
                                                const std::vector<std::uint16_t>& cuts, bool byteByByte) {
    std::vector<std::string_view> pieces;
    if (byteByByte) {
        for (std::size_t i = 0; i < source.size(); ++i)
            pieces.push_back(source.substr(i, 1));
        return pieces;
    }
    std::vector<std::size_t> points;
    for (std::uint16_t cut : cuts)
        points.push_back(source.size() * cut / 0x10000);
    std::sort(points.begin(), points.end());
    std::size_t from = 0;
    for (std::size_t point : points) {
        pieces.push_back(source.substr(from, point - from));
        from = point;
    }
    pieces.push_back(source.substr(from));
    return pieces;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string separator = separatorFrom(input);
    const std::size_t indexChoice = input.ConsumeIntegral<std::uint8_t>();
    const std::uint64_t spacing = input.ConsumeIntegralInRange(1, 64);
    const bool byteByByte = input.ConsumeIntegralInRange(0, 7) == 0;
    std::vector<std::uint16_t> cuts(input.ConsumeIntegralInRange(0, 12));
    for (std::uint16_t& cut : cuts)
        cut = input.ConsumeIntegral<std::uint16_t>();
    const std::string source = input.ConsumeRemainingBytesAsString();

    const std::vector<std::string> whole = quillmark::splitEntries(source, separator);
    FUZZ_CHECK(!whole.empty());
    FUZZ_CHECK(whole == readLineByLine(source, separator));

    const std::vector<std::string_view> pieces = cutAtChosenPoints(source, cuts, byteByByte);

    EntryScanner scanner(separator, spacing);
    for (std::string_view piece : pieces)
        scanner.feed(piece);
    FUZZ_CHECK(scanner.count() == whole.size());
    const EntryList list(source, separator, {scanner.count(), scanner.takeSamples()});
    FUZZ_CHECK(list.entries() == whole);
    for (std::size_t i = 0; i < whole.size() && quillmark::kLineEnd.size() == 1; ++i)
        FUZZ_CHECK(list.sourceBytes(i) >= whole[i].size());

    // One past the last entry too: a file with fewer entries gives an empty one.
    const std::size_t index = indexChoice % (whole.size() + 1);
    EntrySplitter one(separator, index);
    for (std::string_view piece : pieces) {
        if (one.done())
            break;
        one.feed(piece);
    }
    FUZZ_CHECK(one.takeEntry() == (index < whole.size() ? whole[index] : std::string()));
    return 0;
}
