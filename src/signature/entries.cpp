#include "signature/entries.h"

#include "platform/paths.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace quillmark {

namespace {

// Finds the next occurrence of one byte with memchr, remembering it: positions are asked
// for in increasing order, so a piece is scanned about once per byte searched for.
class ByteFinder {
public:
    ByteFinder(std::string_view bytes, char c) : m_bytes(bytes), m_c(c) {}

    // The first occurrence at or after pos; the size of the piece when there is none.
    std::size_t next(std::size_t pos) {
        if (!m_known || m_next < pos) {
            m_next = find(pos);
            m_known = true;
        }
        return m_next;
    }

private:
    std::size_t find(std::size_t pos) const {
        if (pos >= m_bytes.size())
            return m_bytes.size();
        const void* hit = std::memchr(m_bytes.data() + pos, m_c, m_bytes.size() - pos);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_bytes.data())
                   : m_bytes.size();
    }

    std::string_view m_bytes;
    char m_c;
    std::size_t m_next = 0;
    bool m_known = false;
};

// An entry from this size on is large enough to take its room at once.
constexpr std::size_t kLargeEntry = std::size_t{1} << 20;

bool endsLine(char c) {
    return c == '\r' || c == '\n';
}

// Pieces this size keep a large file out of memory as a whole while costing few reads.
constexpr std::size_t kPieceSize = 64 * 1024;

EntryTable scanBytes(std::string_view bytes, std::string_view separator) {
    EntryScanner scanner(separator);
    scanner.feed(bytes);
    return {scanner.count(), scanner.takeSamples()};
}

std::string joinEntries(std::initializer_list<std::string_view> entries) {
    std::string bytes;
    bool first = true;
    for (const std::string_view entry : entries) {
        if (!first)
            bytes += "\n%\n";
        first = false;
        bytes += entry;
    }
    return bytes;
}

// Where to read entry `index` from: the offset, and the entry's number counted from there.
std::pair<std::uint64_t, std::uint64_t> readFrom(const EntryTable& table, std::uint64_t index) {
    if (const std::optional<std::size_t> k = table.sampleBefore(index)) {
        const EntrySample& sample = table.samples[*k];
        // Read from the sample's separator line, which ends entry 0 of what is read.
        return {sample.offset, index - sample.entry + 1};
    }
    return {0, index};
}

// False when the path is empty or no file exists there, which is not an error.
Result<bool> openSource(FileReader& reader, const std::string& path) {
    if (path.empty())
        return false;
    Status status = reader.open(path);
    if (status)
        return true;
    if (status.code() == ErrorCode::NotFound || status.code() == ErrorCode::PathNotFound)
        return false;
    return status.error();
}

// A source file read in pieces, from the start each time it is streamed.
class SourceFile {
public:
    explicit SourceFile(const std::string& path) : m_path(path) {}

    Result<bool> open() { return openSource(m_reader, m_path); }

    // Feeds the file to `take` until its end or `enough`; a folder opens but fails here.
    template <typename Take, typename Enough> Status stream(Take take, Enough enough) {
        Status status = m_reader.rewind();
        m_buffer.resize(kPieceSize);
        while (status.ok() && !enough()) {
            const Result<std::size_t> read = m_reader.read(m_buffer.data(), m_buffer.size());
            if (!read)
                return read.error();
            const std::size_t n = *read;
            take(std::string_view(m_buffer.data(), n));
            if (n < m_buffer.size())
                break;
        }
        return status;
    }

private:
    std::string m_path;
    FileReader m_reader;
    std::string m_buffer;
};

Error tooLarge(const std::string& path, std::uintmax_t bytes) {
    constexpr std::uintmax_t kMB = 1u << 20;
    return Error{ErrorCode::TooLarge, path + " is " + std::to_string((bytes + kMB - 1) / kMB) +
                                          " MB; source files above " +
                                          std::to_string(kMaxSourceFileBytes / kMB) + " MB are not loaded"};
}

EntryPick pickFrom(const EntryList& list, float r) {
    EntryPick pick;
    pick.count = list.count();
    pick.index = pickIndex(r, pick.count);
    pick.text = list.entry(pick.index - 1);
    return pick;
}

} // namespace

// The searches of one piece.
struct EntrySplitter::Finders {
    Finders(std::string_view bytes, char separatorStart)
        : cr(bytes, '\r'), lf(bytes, '\n'), separator(bytes, separatorStart), hash(bytes, '#') {}

    std::size_t lineEnd(std::size_t pos) { return std::min(cr.next(pos), lf.next(pos)); }

    ByteFinder cr;
    ByteFinder lf;
    ByteFinder separator;
    ByteFinder hash;
};

EntrySplitter::EntrySplitter(std::string_view separator, std::size_t index)
    : m_separator(separator),
      // A line never holds a CR or LF, so no line can begin with such a separator.
      m_separatorNeverMatches(separator.find_first_of("\r\n") != std::string_view::npos),
      m_need(separator.empty() || m_separatorNeverMatches ? 1 : separator.size()), m_index(index) {}

// Decides what the line is from its first m_need bytes; the empty line meets the empty separator.
void EntrySplitter::classify(std::string_view head) {
    bool separator = false;
    if (m_separator.empty())
        separator = head.empty();
    else if (!m_separatorNeverMatches)
        separator = !head.empty() && head.front() == m_separator.front() &&
                    (m_separator.size() == 1 || head.starts_with(m_separator));

    if (separator) {
        endEntry();
        ++m_count;
        m_line = Line::Skip;
    } else if (head.starts_with('#')) {
        m_line = Line::Skip;
    } else {
        m_line = Line::Content;
        // A line end goes only between lines, so empty lines before an entry's text add nothing.
        if (keepingCurrent() && m_current.size() > m_base)
            m_current += kLineEnd;
    }
}

void EntrySplitter::appendToCurrent(std::string_view bytes, std::size_t readInPiece) {
    const std::size_t need = m_current.size() + bytes.size();
    const std::size_t read = m_fed + readInPiece;
    if (need > m_current.capacity() && need >= kLargeEntry && m_expected > read) {
        // The entry cannot outgrow what is left of the file (on a CR LF platform the
        // line ends may add a little more, which ordinary growth then covers).
        m_current.reserve(need + (m_expected - read));
    }
    m_current += bytes;
}

// Only the wanted entry's text is ever collected: ending another leaves nothing to drop.
void EntrySplitter::endEntry() {
    if (keepingCurrent())
        m_done = true;
}

// From a line's start, passes over lines that need no look of their own: up to the next separator
// line when the entry is not kept, and also up to the next comment when it is, copying the lines
// between as one piece. False where the line at pos must be read line by line.
bool EntrySplitter::fastForward(std::string_view bytes, std::size_t& pos, Finders& finders) {
    if (m_separator.empty())
        return false; // every empty line matters
    const bool canMatch = !m_separatorNeverMatches;
    if (canMatch && bytes[pos] == m_separator.front())
        return false;
    auto lineStartWith = [&](ByteFinder& finder) {
        std::size_t at = finder.next(pos + 1);
        while (at < bytes.size() && bytes[at - 1] != '\n' && bytes[at - 1] != '\r')
            at = finder.next(at + 1);
        return at;
    };

    if (!keepingCurrent()) {
        const std::size_t at = canMatch ? lineStartWith(finders.separator) : bytes.size();
        if (at < bytes.size()) {
            pos = at;
            return true;
        }
        // No separator line begins in the rest of the piece: only where it ends matters.
        const char last = bytes.back();
        m_line = last == '\n' || last == '\r' ? Line::Start : Line::Skip;
        m_pendingCr = last == '\r';
        pos = bytes.size();
        return true;
    }

    if (kLineEnd != "\n" || finders.cr.next(pos) < bytes.size() || bytes[pos] == '#' ||
        (bytes[pos] == '\n' && m_current.size() == m_base))
        return false;
    std::size_t next = lineStartWith(finders.hash);
    if (canMatch)
        next = std::min(next, lineStartWith(finders.separator));
    std::size_t end = next - 1; // the LF that ends the last line passed over
    if (next == bytes.size()) {
        // Up to the piece's last complete line; the line it ends in goes on in the next.
        end = bytes.size();
        while (end > pos && bytes[end - 1] != '\n')
            --end;
        if (end == pos)
            return false;
        --end;
        next = end + 1;
    }
    if (m_current.size() > m_base)
        m_current += kLineEnd;
    appendToCurrent(bytes.substr(pos, end - pos), end);
    pos = next;
    return true;
}

void EntrySplitter::feed(std::string_view bytes) {
    if (m_finished || m_done || bytes.empty())
        return;
    feedPiece(bytes);
    m_fed += bytes.size();
}

void EntrySplitter::feedPiece(std::string_view bytes) {
    std::size_t pos = 0;
    if (m_pendingCr) {
        m_pendingCr = false;
        if (bytes.front() == '\n')
            pos = 1;
    }
    Finders finders(bytes, m_separator.empty() ? '\n' : m_separator.front());
    while (pos < bytes.size()) {
        if (m_line == Line::Start && fastForward(bytes, pos, finders)) {
            if (m_done)
                return;
            continue;
        }
        const std::size_t eol = finders.lineEnd(pos);
        if (m_line == Line::Start && (eol < bytes.size() || eol - pos >= m_need)) {
            // The line's deciding bytes are all in this piece.
            classify(bytes.substr(pos, std::min(eol - pos, m_need)));
        } else if (m_line == Line::Start || m_line == Line::Undecided) {
            const std::size_t take = std::min(eol - pos, m_need - m_head.size());
            m_head.append(bytes.data() + pos, take);
            pos += take;
            const bool lineEnded = pos == eol && eol < bytes.size();
            if (m_head.size() < m_need && !lineEnded) {
                m_line = Line::Undecided;
                return;
            }
            classify(m_head);
            if (m_line == Line::Content && keepingCurrent())
                m_current += m_head;
            m_head.clear();
        }
        if (m_done)
            return;
        if (m_line == Line::Content && keepingCurrent())
            appendToCurrent(bytes.substr(pos, eol - pos), eol);
        if (eol == bytes.size())
            return; // the line goes on in the next piece

        if (bytes[eol] == '\r' && eol + 1 == bytes.size())
            m_pendingCr = true;
        pos = eol + (bytes[eol] == '\r' && eol + 1 < bytes.size() && bytes[eol + 1] == '\n' ? 2 : 1);
        m_line = Line::Start;
    }
}

void EntrySplitter::finish() {
    if (m_finished)
        return;
    m_finished = true;
    if (m_done)
        return;
    // The last line counts without a line end.
    if (m_line == Line::Undecided) {
        classify(m_head);
        if (m_done)
            return;
        if (m_line == Line::Content && keepingCurrent())
            m_current += m_head;
        m_head.clear();
    }
    m_line = Line::Start;
    endEntry();
}

void EntrySplitter::startWith(std::string text) {
    m_current = std::move(text);
    m_base = m_current.size();
}

std::string EntrySplitter::takeEntry() {
    finish();
    return std::move(m_current);
}

EntryScanner::EntryScanner(std::string_view separator, std::uint64_t spacing)
    : m_separator(separator), m_never(separator.find_first_of("\r\n") != std::string_view::npos),
      m_spacing(spacing) {}

EntryScanner::EntryScanner(std::string_view separator, const EntrySample& from, char before,
                           std::uint64_t spacing)
    : EntryScanner(separator, spacing) {
    m_atStart = from.offset == 0;
    m_prev = before;
    m_offset = from.offset;
    m_separators = from.entry == 0 ? 0 : from.entry - 1;
    m_lastSample = from.offset;
}

void EntryScanner::feed(std::string_view piece) {
    if (piece.empty())
        return;
    if (!m_never) {
        if (m_separator.empty())
            feedEmptySeparator(piece);
        else
            feedSeparator(piece);
    }
    m_prev = piece.back();
    m_atStart = false;
    m_offset += piece.size();
}

void EntryScanner::found(std::uint64_t offset) {
    ++m_separators;
    if (m_separators == m_watch)
        m_watchBegin = offset;
    else if (m_separators == m_watch + 1)
        m_watchEnd = offset;
    if (!m_first)
        m_first = offset;
    if (offset - m_lastSample >= m_spacing) {
        m_samples.push_back({m_separators, offset});
        m_lastSample = offset;
    }
}

// With the empty separator every empty line starts an entry: a line end that begins a line.
void EntryScanner::feedEmptySeparator(std::string_view piece) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char c = piece[i];
        if (!endsLine(c))
            continue;
        const char prev = i == 0 ? m_prev : piece[i - 1];
        const bool lineStart = (i == 0 && m_atStart) || prev == '\n' || (prev == '\r' && c != '\n');
        if (lineStart)
            found(m_offset + i);
    }
}

void EntryScanner::feedSeparator(std::string_view piece) {
    std::size_t from = 0;
    if (m_pending) {
        const std::size_t want = m_separator.size() - m_matched;
        const std::size_t have = std::min(want, piece.size());
        if (piece.substr(0, have) != std::string_view(m_separator).substr(m_matched, have)) {
            m_pending = false;
        } else if (have == want) {
            m_pending = false;
            found(m_pendingAt);
        } else {
            m_matched += have;
            return;
        }
    }
    const char first = m_separator.front();
    while (from < piece.size()) {
        const void* hit = std::memchr(piece.data() + from, first, piece.size() - from);
        if (!hit)
            break;
        const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(hit) - piece.data());
        from = p + 1;
        const bool lineStart = p == 0 ? m_atStart || endsLine(m_prev) : endsLine(piece[p - 1]);
        if (!lineStart)
            continue;
        const std::string_view rest = piece.substr(p, m_separator.size());
        if (rest.size() == m_separator.size()) {
            if (rest == m_separator)
                found(m_offset + p);
        } else if (std::string_view(m_separator).starts_with(rest)) {
            m_pending = true;
            m_pendingAt = m_offset + p;
            m_matched = rest.size();
        }
    }
}

std::optional<std::size_t> EntryTable::sampleBefore(std::uint64_t index) const {
    const auto after = std::upper_bound(samples.begin(), samples.end(), index,
                                        [](std::uint64_t i, const EntrySample& s) { return i < s.entry; });
    if (after == samples.begin())
        return std::nullopt;
    return static_cast<std::size_t>(after - samples.begin() - 1);
}

EntryList::EntryList() : m_separator("%") {}

EntryList::EntryList(std::initializer_list<std::string_view> entries)
    : EntryList(joinEntries(entries), "%") {}

EntryList::EntryList(std::string bytes, std::string_view separator)
    : m_bytes(std::move(bytes)), m_separator(separator), m_table(scanBytes(m_bytes, m_separator)) {}

EntryList::EntryList(std::string bytes, std::string_view separator, EntryTable table)
    : m_bytes(std::move(bytes)), m_separator(separator), m_table(std::move(table)) {}

std::string EntryList::entry(std::size_t index) const {
    std::string text;
    appendEntry(index, text);
    return text;
}

void EntryList::appendEntry(std::size_t index, std::string& to) const {
    if (index >= m_table.count)
        return;
    const auto [from, wanted] = readFrom(m_table, index);
    EntrySplitter splitter(m_separator, static_cast<std::size_t>(wanted));
    splitter.expectBytes(m_bytes.size() - static_cast<std::size_t>(from));
    splitter.startWith(std::move(to));
    for (std::size_t at = static_cast<std::size_t>(from); at < m_bytes.size() && !splitter.done();
         at += kPieceSize)
        splitter.feed(std::string_view(m_bytes).substr(at, kPieceSize));
    to = splitter.takeEntry();
}

std::size_t EntryList::sourceBytes(std::size_t index) const {
    if (index >= m_table.count)
        return 0;
    const auto [from, wanted] = readFrom(m_table, index);
    EntryScanner scanner(m_separator);
    scanner.watch(wanted);
    for (std::size_t at = static_cast<std::size_t>(from); at < m_bytes.size() && !scanner.watched();
         at += kPieceSize)
        scanner.feed(std::string_view(m_bytes).substr(at, kPieceSize));
    const std::uint64_t begin = wanted == 0 ? 0 : scanner.watchedBegin();
    const std::uint64_t end = scanner.watched() ? scanner.watchedEnd() : m_bytes.size() - from;
    return static_cast<std::size_t>(end - begin);
}

std::vector<std::string> EntryList::entries() const {
    std::vector<std::string> all;
    all.reserve(count());
    for (std::size_t i = 0; i < count(); ++i)
        all.push_back(entry(i));
    return all;
}

std::vector<std::string> splitEntries(std::string_view bytes, std::string_view separator) {
    return EntryList(std::string(bytes), separator).entries();
}

EntryFileLoader::EntryFileLoader(const std::string& path, std::string_view separator)
    : m_path(path), m_separator(separator), m_scanner(separator) {}

Result<bool> EntryFileLoader::open() {
    Result<bool> opened = openSource(m_reader, m_path);
    if (!opened || !*opened)
        return opened;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(toFsPath(m_path), ec);
    if (!ec) {
        if (size > kMaxSourceFileBytes)
            return tooLarge(m_path, size);
        // The bytes take their room once: growing by doubling would hold up to twice the file.
        m_bytes.reserve(static_cast<std::size_t>(size));
    }
    m_buffer.resize(kPieceSize);
    return true;
}

Result<bool> EntryFileLoader::readPiece() {
    const Result<std::size_t> read = m_reader.read(m_buffer.data(), m_buffer.size());
    if (!read)
        return read.error();
    if (m_bytes.size() + *read > kMaxSourceFileBytes)
        return tooLarge(m_path, m_bytes.size() + *read);
    const std::string_view piece(m_buffer.data(), *read);
    m_bytes += piece;
    m_scanner.feed(piece);
    return *read == m_buffer.size();
}

EntryList EntryFileLoader::takeList() {
    return EntryList(std::move(m_bytes), m_separator, {m_scanner.count(), m_scanner.takeSamples()});
}

Status loadEntryFile(const std::string& path, std::string_view separator, EntryList& list) {
    EntryFileLoader loader(path, separator);
    const Result<bool> opened = loader.open();
    if (!opened)
        return opened.error();
    if (!*opened)
        return {};
    for (;;) {
        const Result<bool> more = loader.readPiece();
        if (!more)
            return more.error();
        if (!*more)
            break;
    }
    list = loader.takeList();
    return {};
}

FilePick pickEntryFromFile(const std::string& path, std::string_view separator, const EntryList& fallback,
                           RandomSource& random) {
    SourceFile file(path);
    const Result<bool> opened = file.open();
    const bool missing = opened && !*opened;
    Status status = opened ? Status() : opened.error();
    EntryScanner counter(separator);
    std::size_t size = 0;
    if (status.ok() && !missing)
        status = file.stream(
            [&](std::string_view piece) {
                counter.feed(piece);
                size += piece.size();
            },
            [] { return false; });
    const float r = random.next();
    if (!status.ok() || missing)
        return {pickFrom(fallback, r), status};

    EntryPick pick;
    pick.count = static_cast<std::size_t>(counter.count());
    pick.index = pickIndex(r, pick.count);
    EntrySplitter collector(separator, pick.index - 1);
    collector.expectBytes(size);
    status =
        file.stream([&](std::string_view piece) { collector.feed(piece); }, [&] { return collector.done(); });
    if (!status.ok())
        return {pickFrom(fallback, r), status};
    pick.text = collector.takeEntry();
    return {std::move(pick), {}};
}

} // namespace quillmark
