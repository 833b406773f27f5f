// The scanner and splitter, fed pieces cut anywhere, give the entries of a line-by-line reading.
#include "fuzz_check.h"
#include "platform/platform.h"
#include "signature/entries.h"
#include "signature/separator.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> readLineByLine(std::string_view bytes, std::string_view separator) {
    std::vector<std::string> entries(1);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t stop = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        const std::string_view line = bytes.substr(pos, stop - pos);
        pos = stop + (bytes.substr(stop, 2) == "\r\n" ? 2 : 1);
        if (separator.empty() ? line.empty() : line.starts_with(separator))
            entries.emplace_back();
        else if (!line.starts_with('#'))
            entries.back().append(entries.back().empty() ? "" : quillmark::kLineEnd).append(line);
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Up to four bytes as typed into the setting, or no separator at all.
    const std::string typed = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 4));
    const std::string separator = typed.empty() ? std::string() : quillmark::separatorFromSetting(typed);
    const std::size_t indexChoice = input.ConsumeIntegral<std::uint8_t>();
    const std::uint64_t spacing = input.ConsumeIntegralInRange(1, 64);
    std::vector<std::size_t> cuts(input.ConsumeIntegralInRange(0, 12));
    for (std::size_t& cut : cuts)
        cut = input.ConsumeIntegral<std::uint16_t>();
    const std::string source = input.ConsumeRemainingBytesAsString();

    const std::vector<std::string> whole = quillmark::splitEntries(source, separator);
    FUZZ_CHECK(whole == readLineByLine(source, separator));
    for (std::size_t& cut : cuts)
        cut = source.size() * cut / 0x10000;
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(source.size());
    std::vector<std::string_view> pieces;
    for (std::size_t from = 0; std::size_t cut : cuts)
        pieces.push_back(std::string_view(source).substr(from, cut - from)), from = cut;

    quillmark::EntryScanner scanner(separator, spacing);
    for (std::string_view piece : pieces)
        scanner.feed(piece);
    FUZZ_CHECK(scanner.count() == whole.size());
    const quillmark::EntryList list(source, separator, {scanner.count(), scanner.takeSamples()});
    FUZZ_CHECK(list.entries() == whole);
    // One past the last entry gives an empty one.
    const std::size_t index = indexChoice % (whole.size() + 1);
    quillmark::EntrySplitter one(separator, index);
    for (std::size_t i = 0; i < pieces.size() && !one.done(); ++i)
        one.feed(pieces[i]);
    FUZZ_CHECK(one.takeEntry() == (index < whole.size() ? whole[index] : std::string()));
    return 0;
}
