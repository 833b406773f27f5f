#include "signature/entries.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace quillmark {

namespace {

// Finds the next occurrence of one byte with memchr, remembering it: positions are asked
// for in increasing order, so a piece is scanned about once per byte searched for,
// however many lines it has. This is what lets a large file load at memory speed.
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

EntrySplitter::EntrySplitter(std::string_view separator, Keep keep, std::size_t index)
    : m_separator(separator),
      // A line never holds a CR or LF, so no line can begin with such a separator.
      m_separatorNeverMatches(separator.find_first_of("\r\n") != std::string_view::npos),
      m_need(separator.empty() || m_separatorNeverMatches ? 1 : separator.size()), m_keep(keep),
      m_index(index) {}

bool EntrySplitter::keepingCurrent() const {
    return m_keep == Keep::All || (m_keep == Keep::One && m_count - 1 == m_index);
}

// Decides what the line is from its first bytes (all of it when it is shorter than
// m_need). The empty separator is met by the empty line, whose first character is the
// empty text.
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
        // A line end goes only between lines: an entry still empty takes the line as it
        // is, so empty lines before its first text add nothing.
        if (keepingCurrent() && !m_current.empty())
            m_current += kLineEnd;
    }
}

namespace {

// An entry from this size on is large enough to take its room at once.
constexpr std::size_t kLargeEntry = std::size_t{1} << 20;

} // namespace

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

void EntrySplitter::endEntry() {
    if (m_keep == Keep::All) {
        if (m_current.capacity() - m_current.size() <= m_current.size() / 4) {
            m_entries.push_back(std::move(m_current));
            m_current = std::string();
        } else {
            // A copy of exactly the entry's size; m_current keeps its room for the next
            // one unless that room is large.
            m_entries.emplace_back(m_current);
            if (m_current.capacity() >= kLargeEntry)
                m_current = std::string();
        }
    } else if (m_keep == Keep::One && m_count - 1 == m_index) {
        m_wanted = std::move(m_current);
        m_done = true;
    }
    m_current.clear();
}

// From the start of a line, passes over the lines that need no look of their own: up
// to the next line that begins with the separator when the entry's text is not kept,
// and also up to the next comment when it is, copying the lines between as one piece
// (their LF line ends are already the platform's). Returns false where the line at pos
// must go through the line-by-line reading.
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
        (bytes[pos] == '\n' && m_current.empty()))
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
    if (!m_current.empty())
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
        if (m_line == Line::Content && keepingCurrent())
            m_current += m_head;
        m_head.clear();
    }
    m_line = Line::Start;
    endEntry();
}

std::vector<std::string> EntrySplitter::takeEntries() {
    finish();
    return std::move(m_entries);
}

std::string EntrySplitter::takeEntry() {
    finish();
    return std::move(m_wanted);
}

std::vector<std::string> splitEntries(std::string_view bytes, std::string_view separator) {
    EntrySplitter splitter(separator);
    splitter.feed(bytes);
    return splitter.takeEntries();
}

namespace {

// Pieces this size keep a large file's bytes out of memory as a whole while costing
// few reads.
constexpr std::size_t kPieceSize = 64 * 1024;

// A source file read in pieces, from the start each time it is streamed.
class SourceFile {
public:
    explicit SourceFile(const std::string& path) : m_path(path) {}

    // `missing` when the path is empty or no file exists there, which is not an error.
    Status open(bool& missing) {
        missing = m_path.empty();
        if (missing)
            return {};
        Status status = m_reader.open(m_path);
        missing =
            !status && (status.code() == ErrorCode::NotFound || status.code() == ErrorCode::PathNotFound);
        return missing ? Status{} : status;
    }

    // Feeds the file to the splitter until its end, or until the splitter has what it
    // wants. A folder opens but fails here.
    Status stream(EntrySplitter& splitter) {
        Status status = m_reader.rewind();
        m_buffer.resize(kPieceSize);
        while (status.ok() && !splitter.done()) {
            const Result<std::size_t> read = m_reader.read(m_buffer.data(), m_buffer.size());
            if (!read)
                return read.error();
            const std::size_t n = *read;
            splitter.feed(std::string_view(m_buffer.data(), n));
            if (n < m_buffer.size())
                break;
        }
        splitter.finish();
        return status;
    }

private:
    std::string m_path;
    FileReader m_reader;
    std::string m_buffer;
};

} // namespace

namespace {

Error tooLarge(const std::string& path, std::uintmax_t bytes) {
    constexpr std::uintmax_t kMB = 1u << 20;
    return Error{ErrorCode::TooLarge, path + " is " + std::to_string((bytes + kMB - 1) / kMB) +
                                          " MB; source files above " +
                                          std::to_string(kMaxSourceFileBytes / kMB) + " MB are not loaded"};
}

} // namespace

EntryFileLoader::EntryFileLoader(const std::string& path, std::string_view separator)
    : m_path(path), m_splitter(separator) {}

Status EntryFileLoader::open(bool& missing) {
    missing = m_path.empty();
    if (missing)
        return {};
    Status status = m_reader.open(m_path);
    missing = !status && (status.code() == ErrorCode::NotFound || status.code() == ErrorCode::PathNotFound);
    if (!status.ok())
        return missing ? Status{} : status;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(m_path), ec);
    if (!ec) {
        if (size > kMaxSourceFileBytes)
            return tooLarge(m_path, size);
        m_splitter.expectBytes(static_cast<std::size_t>(size));
    }
    m_buffer.resize(kPieceSize);
    return {};
}

Result<bool> EntryFileLoader::readPiece() {
    const Result<std::size_t> read = m_reader.read(m_buffer.data(), m_buffer.size());
    if (!read)
        return read.error();
    m_read += *read;
    if (m_read > kMaxSourceFileBytes)
        return tooLarge(m_path, m_read);
    m_splitter.feed(std::string_view(m_buffer.data(), *read));
    if (*read == m_buffer.size())
        return true;
    m_splitter.finish();
    return false;
}

std::vector<std::string> EntryFileLoader::takeEntries() {
    return m_splitter.takeEntries();
}

Status loadEntryFile(const std::string& path, std::string_view separator, std::vector<std::string>& list) {
    EntryFileLoader loader(path, separator);
    bool missing = false;
    Status status = loader.open(missing);
    if (!status.ok() || missing)
        return status;
    for (;;) {
        const Result<bool> more = loader.readPiece();
        if (!more)
            return more.error();
        if (!*more)
            break;
    }
    list = loader.takeEntries();
    return {};
}

namespace {

EntryPick pickFrom(const std::vector<std::string>& list, float r) {
    EntryPick pick;
    // A list is never empty; should one be, it reads as one empty entry.
    pick.count = list.empty() ? 1 : list.size();
    pick.index = pickIndex(r, pick.count);
    if (!list.empty())
        pick.text = list[pick.index - 1];
    return pick;
}

} // namespace

EntryPick pickEntry(const std::vector<std::string>& list, RandomSource& random) {
    return pickFrom(list, random.next());
}

Status pickEntryFromFile(const std::string& path, std::string_view separator,
                         const std::vector<std::string>& fallback, RandomSource& random, EntryPick& pick) {
    SourceFile file(path);
    bool missing = false;
    Status status = file.open(missing);
    EntrySplitter counter(separator, EntrySplitter::Keep::None);
    if (status.ok() && !missing)
        status = file.stream(counter);
    const float r = random.next();
    if (!status.ok() || missing) {
        pick = pickFrom(fallback, r);
        return status;
    }

    pick = EntryPick{};
    pick.count = counter.count();
    pick.index = pickIndex(r, pick.count);
    EntrySplitter collector(separator, EntrySplitter::Keep::One, pick.index - 1);
    status = file.stream(collector);
    if (status.ok())
        pick.text = collector.takeEntry();
    else
        pick = pickFrom(fallback, r);
    return status;
}

} // namespace quillmark
