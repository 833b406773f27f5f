#pragma once
// The header and footer entry lists and how a source file splits into entries.
//
// CR LF, CR and LF each end a line; the last line counts without one. A line that begins
// with the separator starts a new entry and is dropped; a line that begins with "#" is a
// comment; other lines are content, joined with the platform's line end. Empty lines
// before an entry's first text vanish, later ones stay. A file gives at least one entry.
// An empty separator makes the empty lines separate entries. Bytes are never transcoded.
//
// A list keeps its file's bytes once and where every so many entries begin; an entry's
// text is made when it is drawn, so memory follows the file's size, not its entry count.

#include "platform/file_io.h"
#include "signature/random.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Reads the text of one entry (0-based `index`) from a file fed in pieces of any size
// from its start, or from the start of a separator line (the entry after it is then
// entry 1); where the pieces are cut does not change the result.
class EntrySplitter {
public:
    EntrySplitter(std::string_view separator, std::size_t index);

    // The whole file's size, when known: a large entry then takes its room once, not by doubling.
    void expectBytes(std::size_t total) { m_expected = total; }

    void feed(std::string_view bytes);
    void finish();

    // The wanted entry is complete and the rest of the file cannot change it.
    bool done() const { return m_done; }

    // The entry's text goes after `text`.
    void startWith(std::string text);
    // Empty when the file had fewer entries (only what startWith gave).
    std::string takeEntry();

private:
    enum class Line { Start, Undecided, Content, Skip };
    struct Finders;

    void feedPiece(std::string_view bytes);
    bool fastForward(std::string_view bytes, std::size_t& pos, Finders& finders);
    void classify(std::string_view head);
    void endEntry();
    bool keepingCurrent() const { return m_count - 1 == m_index; }
    void appendToCurrent(std::string_view bytes, std::size_t readInPiece);

    std::string m_separator;
    bool m_separatorNeverMatches = false;
    std::size_t m_need = 1; // bytes of a line that decide what it is
    std::size_t m_index;

    Line m_line = Line::Start;
    std::string m_head;       // the first bytes of a line not yet decided
    bool m_pendingCr = false; // the last piece ended in CR: a LF first in the next belongs to it
    std::size_t m_count = 1;
    bool m_done = false;
    bool m_finished = false;
    std::size_t m_expected = 0; // the file's size; 0 when unknown
    std::size_t m_fed = 0;      // bytes fed before the current piece
    std::string m_current;      // the text of the wanted entry while it is read
    std::size_t m_base = 0;     // what m_current held before the entry
};

// The offset of the separator line that begins entry `entry` (entry 0 begins at offset 0).
struct EntrySample {
    std::uint64_t entry = 0;
    std::uint64_t offset = 0;
    bool operator==(const EntrySample&) const = default;
};

// Bytes between samples at least: the table takes at most 1/256 of the file, and
// reaching an entry from its sample reads about this much besides the entry.
inline constexpr std::uint64_t kSampleSpacing = 4096;

// Finds the separator lines of a file fed in pieces of any size, counting the entries
// and sampling where they begin. It sees exactly the lines the splitter takes for
// separators.
class EntryScanner {
public:
    explicit EntryScanner(std::string_view separator, std::uint64_t spacing = kSampleSpacing);
    // Goes on from a sample: the next byte fed is the one at the sample's offset, and
    // `before` the byte just before it.
    EntryScanner(std::string_view separator, const EntrySample& from, char before,
                 std::uint64_t spacing = kSampleSpacing);

    void feed(std::string_view piece);

    // Entries begun so far: after the whole file, the number of its entries.
    std::uint64_t count() const { return m_separators + 1; }
    const std::vector<EntrySample>& samples() const { return m_samples; }
    std::vector<EntrySample> takeSamples() { return std::move(m_samples); }
    std::optional<std::uint64_t> firstSeparator() const { return m_first; }

    // Notes where entry `entry` begins and ends, counted from where the scan began,
    // in offsets from there; watched() once its end was found.
    void watch(std::uint64_t entry) { m_watch = entry; }
    bool watched() const { return m_watchEnd != kNone; }
    std::uint64_t watchedBegin() const { return m_watchBegin; }
    std::uint64_t watchedEnd() const { return m_watchEnd; }

private:
    void found(std::uint64_t offset);
    void feedEmptySeparator(std::string_view piece);
    void feedSeparator(std::string_view piece);

    std::string m_separator;
    bool m_never;
    std::uint64_t m_spacing;
    bool m_atStart = true;
    char m_prev = '\0';
    std::uint64_t m_offset = 0; // of the next byte fed
    bool m_pending = false;     // a line begins with part of the separator at the end of the piece
    std::uint64_t m_pendingAt = 0;
    std::size_t m_matched = 0;
    std::uint64_t m_separators = 0;
    std::uint64_t m_lastSample = 0;
    std::optional<std::uint64_t> m_first;
    std::vector<EntrySample> m_samples;
    static constexpr std::uint64_t kNone = ~std::uint64_t{0};
    std::uint64_t m_watch = kNone;
    std::uint64_t m_watchBegin = 0;
    std::uint64_t m_watchEnd = kNone;
};

// Where a file's entries begin, as an EntryScanner found them.
struct EntryTable {
    std::uint64_t count = 1;
    std::vector<EntrySample> samples; // increasing in entry and offset

    // The last sample at or before entry `index` (0-based); nothing when read from the file's start.
    std::optional<std::size_t> sampleBefore(std::uint64_t index) const;
};

// The entries of one source file: its bytes once and its table.
class EntryList {
public:
    // One empty entry, as at start-up.
    EntryList();
    // These entries, for a list written in code: each is put on lines of its own between
    // "%" lines, so none may begin a line with "%" or "#", nor begin with an empty line.
    EntryList(std::initializer_list<std::string_view> entries);
    EntryList(std::string bytes, std::string_view separator);
    EntryList(std::string bytes, std::string_view separator, EntryTable table);

    std::size_t count() const { return static_cast<std::size_t>(m_table.count); }
    // Entry `index` (0-based); the empty text past the last.
    std::string entry(std::size_t index) const;
    // The same text put after what `to` holds, with no copy of its own: an entry can be
    // as large as its file.
    void appendEntry(std::size_t index, std::string& to) const;
    // The bytes the entry takes in its file, separator line and comments included: no
    // less than its text where the line end is one byte.
    std::size_t sourceBytes(std::size_t index) const;
    std::vector<std::string> entries() const;

private:
    std::string m_bytes;
    std::string m_separator;
    EntryTable m_table;
};

// Every entry of the text, first entry at index 0. Never empty.
std::vector<std::string> splitEntries(std::string_view bytes, std::string_view separator);

// Source files above this size are refused: the list holds the file in memory.
inline constexpr std::size_t kMaxSourceFileBytes = std::size_t{256} << 20;

// Reads one source file a piece at a time, so that a window can let its events run
// between pieces. The list is handed over only once the whole file was read.
class EntryFileLoader {
public:
    EntryFileLoader(const std::string& path, std::string_view separator);

    // True when the file is open to be read; false when the path is empty or no file
    // exists there, which is not an error. TooLarge for a file above kMaxSourceFileBytes.
    Result<bool> open();
    // Reads and scans the next piece; false once all was read. TooLarge when the file outgrows the limit.
    Result<bool> readPiece();
    EntryList takeList();

private:
    std::string m_path;
    std::string m_separator;
    FileReader m_reader;
    EntryScanner m_scanner;
    std::string m_bytes;
    std::string m_buffer;
};

// Reads a source file into `list`, replaced only once the whole file was read. An empty
// path or no file there is not an error; a failed read or a file above
// kMaxSourceFileBytes returns the error. Either way `list` stays as it was.
Status loadEntryFile(const std::string& path, std::string_view separator, EntryList& list);

// One entry drawn from a list; index is 1-based.
struct EntryPick {
    std::size_t index = 1;
    std::size_t count = 1;
    std::string text;
};

// A draw from a source file, and how the file's read went.
struct FilePick {
    EntryPick entry;
    Status read; // when it failed, `entry` came from the fallback list
};

// The same draw straight from a source file, for the command-line tool: the file is read
// in small pieces once to count its entries and again up to the one drawn, never held
// whole. It gives what loadEntryFile into `fallback` and a draw from it give: with no path, no
// file or a failed read (in `read`) the entry comes from `fallback`. One number is drawn.
FilePick pickEntryFromFile(const std::string& path, std::string_view separator, const EntryList& fallback,
                           RandomSource& random);

} // namespace quillmark
