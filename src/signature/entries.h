#pragma once
// The header and footer entry lists (astrHeaders, astrFooters) and how a source file
// splits into entries.
//
// A source file is read as lines; CR LF, CR and LF each end a line, and the last line
// counts without a line end. A line that begins with the separator starts a new entry
// and is dropped whole; a line that begins with "#" is a comment and is dropped; any
// other line is content. Empty lines before an entry's first text vanish, empty lines
// inside or after it stay. The lines of an entry are joined with the platform's line
// end. A file always gives at least one entry, possibly empty. With an empty separator
// the empty lines separate entries. Bytes are never transcoded: NUL bytes and invalid
// UTF-8 come through as they were.

#include "platform/file_io.h"
#include "signature/random.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Applies the rules to a file fed in pieces of any size; where the pieces are cut does
// not change the result. Files are streamed through it so that loading never holds a
// second copy of a large file, and so that the command-line tool can count the entries
// and collect only the one it picked.
class EntrySplitter {
public:
    enum class Keep {
        All,  // every entry's text (the lists)
        One,  // only the text of entry `index` (0-based); reading may stop once done()
        None, // only count
    };

    explicit EntrySplitter(std::string_view separator, Keep keep = Keep::All, std::size_t index = 0);

    // The size of the whole file, when known: an entry that grows large then takes its
    // room once, instead of growing by doubling, whose copies would hold it up to
    // three times over.
    void expectBytes(std::size_t total) { m_expected = total; }

    void feed(std::string_view bytes);
    // The end of the file: its last line counts even without a line end.
    void finish();

    // Entries begun so far; after finish(), the number of entries of the file (with
    // Keep::One, reading stops at done(), so only up to the wanted entry).
    std::size_t count() const { return m_count; }
    // With Keep::One: the wanted entry is complete and the rest of the file cannot change it.
    bool done() const { return m_done; }

    std::vector<std::string> takeEntries(); // Keep::All, after finish()
    std::string takeEntry();                // Keep::One; empty when the file had fewer entries

private:
    enum class Line { Start, Undecided, Content, Skip };
    struct Finders;

    void feedPiece(std::string_view bytes);
    bool fastForward(std::string_view bytes, std::size_t& pos, Finders& finders);
    void classify(std::string_view head);
    void endEntry();
    bool keepingCurrent() const;
    void appendToCurrent(std::string_view bytes, std::size_t readInPiece);

    std::string m_separator;
    bool m_separatorNeverMatches = false;
    std::size_t m_need = 1; // bytes of a line that decide what it is
    Keep m_keep;
    std::size_t m_index;

    Line m_line = Line::Start;
    std::string m_head;       // the first bytes of a line not yet decided
    bool m_pendingCr = false; // the last piece ended in CR: a LF first in the next belongs to it
    std::size_t m_count = 1;
    bool m_done = false;
    bool m_finished = false;
    std::size_t m_expected = 0; // the file's size; 0 when unknown
    std::size_t m_fed = 0;      // bytes fed before the current piece
    std::string m_current;      // the text of the entry being read, when kept
    std::vector<std::string> m_entries;
    std::string m_wanted;
};

// Every entry of the text, first entry at index 0. Never empty.
std::vector<std::string> splitEntries(std::string_view bytes, std::string_view separator);

// Source files above this size are refused: the lists hold every entry in memory.
inline constexpr std::size_t kMaxSourceFileBytes = std::size_t{256} << 20;

// Reads one source file a piece at a time, so that a window can let its events run
// between pieces. The entries are handed over only once the whole file was read.
class EntryFileLoader {
public:
    EntryFileLoader(const std::string& path, std::string_view separator);

    // `missing` when the path is empty or no file exists there, which is not an error.
    // TooLarge for a file above kMaxSourceFileBytes.
    Status open(bool& missing);
    // Reads and splits the next piece; false once the whole file was read. TooLarge
    // when the file grows past the limit while it is read.
    Result<bool> readPiece();
    std::vector<std::string> takeEntries();

private:
    std::string m_path;
    FileReader m_reader;
    EntrySplitter m_splitter;
    std::string m_buffer;
    std::size_t m_read = 0;
};

// Reads a source file into `list`. An empty path or a path where no file exists leaves
// `list` exactly as it was and is not an error. A read that fails, or a file above
// kMaxSourceFileBytes, also leaves it as it was and returns the error; the list is
// replaced only once the whole file was read.
Status loadEntryFile(const std::string& path, std::string_view separator, std::vector<std::string>& list);

// One entry drawn from a list; index is 1-based.
struct EntryPick {
    std::size_t index = 1;
    std::size_t count = 1;
    std::string text;
};

// Draws one random number and takes that entry. An empty list (which the program
// never has) reads as one empty entry.
EntryPick pickEntry(const std::vector<std::string>& list, RandomSource& random);

// The same draw straight from a source file, for a run that needs one signature and
// not the lists (the command-line tool): the file is read once to count its entries and
// again up to the one drawn, in small pieces, so neither the file nor its list is ever
// held whole. It gives what loadEntryFile into `fallback` followed by pickEntry gives:
// when the path is empty, no file is there or the read fails (returned), the entry is
// drawn from `fallback`. Exactly one number is drawn in every case.
Status pickEntryFromFile(const std::string& path, std::string_view separator,
                         const std::vector<std::string>& fallback, RandomSource& random, EntryPick& pick);

} // namespace quillmark
