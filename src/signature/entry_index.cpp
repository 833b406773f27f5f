#include "signature/entry_index.h"

#include "platform/app_folders.h"
#include "platform/random_access_file.h"

#include <cstring>
#include <optional>

namespace quillmark {

namespace {

constexpr char kMagic[8] = {'Q', 'M', 'E', 'N', 'T', 'I', 'D', 'X'};
constexpr std::uint32_t kVersion = 1;
// Separators are one character in practice; a longer one is split without an index.
constexpr std::size_t kMaxSeparator = 64;
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// Fixed part of an index file; the separator (padded to 8 bytes) and the offsets follow.
struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t separatorSize;
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t size;
    std::int64_t modifiedNs;
    std::int64_t changedNs;
    std::uint64_t count; // entries; count - 1 offsets follow
};

std::size_t padded(std::size_t n) {
    return (n + 7) / 8 * 8;
}

bool endsLine(char c) {
    return c == '\r' || c == '\n';
}

// Finds the separator lines of a file fed in pieces of any size.
class SeparatorScanner {
public:
    explicit SeparatorScanner(std::string_view separator)
        : m_separator(separator), m_never(separator.find_first_of("\r\n") != std::string_view::npos) {}

    void feed(std::string_view piece) {
        if (piece.empty() || m_never)
            return;
        if (m_separator.empty())
            feedEmptySeparator(piece);
        else
            feedSeparator(piece);
        m_prev = piece.back();
        m_atStart = false;
        m_offset += piece.size();
    }

    std::vector<std::uint64_t> take() { return std::move(m_offsets); }

private:
    // With the empty separator every empty line starts an entry: a line end that begins a line.
    void feedEmptySeparator(std::string_view piece) {
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const char c = piece[i];
            if (!endsLine(c))
                continue;
            const bool start = i == 0 ? m_atStart || m_prev == '\n' || (m_prev == '\r' && c != '\n')
                                      : piece[i - 1] == '\n' || (piece[i - 1] == '\r' && c != '\n');
            if (start)
                m_offsets.push_back(m_offset + i);
        }
    }

    void feedSeparator(std::string_view piece) {
        std::size_t from = 0;
        if (m_pending) {
            const std::size_t want = m_separator.size() - m_matched;
            const std::size_t have = std::min(want, piece.size());
            if (piece.substr(0, have) != m_separator.substr(m_matched, have)) {
                m_pending = false;
            } else if (have == want) {
                m_offsets.push_back(m_pendingAt);
                m_pending = false;
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
                    m_offsets.push_back(m_offset + p);
            } else if (m_separator.starts_with(rest)) {
                m_pending = true;
                m_pendingAt = m_offset + p;
                m_matched = rest.size();
            }
        }
    }

    std::string m_separator;
    bool m_never;
    bool m_atStart = true;
    char m_prev = '\0';
    std::uint64_t m_offset = 0;
    bool m_pending = false;
    std::uint64_t m_pendingAt = 0;
    std::size_t m_matched = 0;
    std::vector<std::uint64_t> m_offsets;
};

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

std::string hex(std::uint64_t v) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s;
    do {
        s.insert(s.begin(), kDigits[v & 15]);
        v >>= 4;
    } while (v != 0);
    return s;
}

// The offsets of a file's separator lines; nothing when it cannot be read whole or it
// changed while it was read.
std::optional<std::vector<std::uint64_t>> scanFile(const RandomAccessFile& file, std::string_view separator) {
    SeparatorScanner scanner(separator);
    std::string buffer(static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, file.size())), '\0');
    for (std::uint64_t at = 0; at < file.size();) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), file.size() - at));
        if (!file.readAt(at, buffer.data(), n))
            return std::nullopt;
        scanner.feed(std::string_view(buffer.data(), n));
        at += n;
    }
    const Result<FileStamp> now = file.stampNow();
    if (!now || !(*now == file.stamp()))
        return std::nullopt;
    return scanner.take();
}

std::string indexBytes(const FileStamp& stamp, std::string_view separator,
                       const std::vector<std::uint64_t>& offsets) {
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.separatorSize = static_cast<std::uint32_t>(separator.size());
    header.device = stamp.device;
    header.inode = stamp.inode;
    header.size = stamp.size;
    header.modifiedNs = stamp.modifiedNs;
    header.changedNs = stamp.changedNs;
    header.count = offsets.size() + 1;
    std::string bytes(sizeof header + padded(separator.size()) + offsets.size() * 8, '\0');
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header, separator.data(), separator.size());
    if (!offsets.empty())
        std::memcpy(bytes.data() + sizeof header + padded(separator.size()), offsets.data(),
                    offsets.size() * 8);
    return bytes;
}

// An index that belongs to exactly this version of the file and this separator.
class Index {
public:
    static std::optional<Index> open(const std::string& path, const FileStamp& stamp,
                                     std::string_view separator) {
        Result<RandomAccessFile> file = RandomAccessFile::openCache(path);
        if (!file)
            return std::nullopt;
        Header header{};
        if (file->size() < sizeof header || !file->readAt(0, reinterpret_cast<char*>(&header), sizeof header))
            return std::nullopt;
        const std::size_t table = sizeof header + padded(separator.size());
        if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
            header.separatorSize != separator.size() || header.device != stamp.device ||
            header.inode != stamp.inode || header.size != stamp.size ||
            header.modifiedNs != stamp.modifiedNs || header.changedNs != stamp.changedNs ||
            header.count == 0 || header.count - 1 > stamp.size ||
            file->size() != table + (header.count - 1) * 8)
            return std::nullopt;
        std::string stored(separator.size(), '\0');
        if (!file->readAt(sizeof header, stored.data(), stored.size()) || stored != separator)
            return std::nullopt;
        return Index(std::move(file).value(), header.count, table);
    }

    std::uint64_t count() const { return m_count; }
    // Offset of separator line k (1-based); nothing when it cannot be read.
    std::optional<std::uint64_t> offset(std::uint64_t k) const {
        std::uint64_t value = 0;
        if (!m_file.readAt(m_table + (k - 1) * 8, reinterpret_cast<char*>(&value), sizeof value))
            return std::nullopt;
        return value;
    }

private:
    Index(RandomAccessFile file, std::uint64_t count, std::size_t table)
        : m_file(std::move(file)), m_count(count), m_table(table) {}
    RandomAccessFile m_file;
    std::uint64_t m_count;
    std::size_t m_table;
};

// A random source that gives a number already drawn, so a fallback draws nothing new.
class DrawnNumber final : public RandomSource {
public:
    explicit DrawnNumber(float r) : m_r(r) {}
    float next() override { return m_r; }

private:
    float m_r;
};

// Entry `index` (1-based) from the bytes between its separator line (or the start of the
// file) and the next one (or the end). The bytes must hold exactly that one boundary:
// anything else means the offsets do not fit the file, and the answer is nothing.
std::optional<std::string> entryBetween(const RandomAccessFile& file, std::uint64_t index,
                                        std::uint64_t begin, std::uint64_t end, std::string_view separator) {
    if (begin > end || end > file.size() || (index == 1 && begin != 0))
        return std::nullopt;
    // One byte before, to see that the range starts a line; the separator's length after,
    // to see that a separator line follows it.
    const std::uint64_t from = begin == 0 ? 0 : begin - 1;
    const std::uint64_t to =
        std::min<std::uint64_t>(file.size(), end + std::max<std::size_t>(separator.size(), 1));
    std::string bytes(static_cast<std::size_t>(to - from), '\0');
    if (!file.readAt(from, bytes.data(), bytes.size()))
        return std::nullopt;
    const std::string_view all(bytes);
    const std::size_t start = static_cast<std::size_t>(begin - from);
    const std::size_t stop = static_cast<std::size_t>(end - from);
    std::vector<std::uint64_t> found = separatorLineOffsets(all, separator);
    // `from` is the line end before the range, not a line start: what is seen there does not count.
    std::erase_if(found, [&](std::uint64_t at) { return at < start; });
    std::vector<std::uint64_t> expected;
    if (index > 1)
        expected.push_back(start);
    if (end < file.size())
        expected.push_back(stop);
    if (begin != 0 && !endsLine(all[start - 1]))
        return std::nullopt;
    if (found != expected)
        return std::nullopt;
    EntrySplitter splitter(separator, EntrySplitter::Keep::One, index == 1 ? 0 : 1);
    splitter.feed(all.substr(start, stop - start));
    return splitter.takeEntry();
}

} // namespace

std::string entryIndexFolder() {
    return cacheFolder();
}

std::string entryIndexPath(const std::string& folder, std::uint64_t device, std::uint64_t inode,
                           std::string_view separator) {
    return folder + "/" + hex(device) + "-" + hex(inode) + "-" + hex(fnv1a(separator)) + ".idx";
}

std::vector<std::uint64_t> separatorLineOffsets(std::string_view bytes, std::string_view separator) {
    SeparatorScanner scanner(separator);
    scanner.feed(bytes);
    return scanner.take();
}

Status pickEntryIndexed(const std::string& path, std::string_view separator,
                        const std::vector<std::string>& fallback, RandomSource& random, EntryPick& pick,
                        const std::string& indexFolder) {
    Result<RandomAccessFile> file = path.empty() || separator.size() > kMaxSeparator
                                        ? Result<RandomAccessFile>(Error{ErrorCode::Other, {}})
                                        : RandomAccessFile::open(path);
    if (!file)
        return pickEntryFromFile(path, separator, fallback, random, pick);
    const FileStamp& stamp = file->stamp();
    const std::string indexPath = entryIndexPath(indexFolder, stamp.device, stamp.inode, separator);

    std::optional<Index> index = Index::open(indexPath, stamp, separator);
    std::vector<std::uint64_t> offsets;
    bool scanned = false;
    auto scan = [&]() -> bool {
        std::optional<std::vector<std::uint64_t>> found = scanFile(*file, separator);
        if (!found)
            return false;
        offsets = std::move(*found);
        scanned = true;
        // An index that cannot be written (read-only or full) only costs the next run a scan.
        static_cast<void>(replaceCacheFile(indexPath, indexBytes(stamp, separator, offsets)));
        return true;
    };
    if (!index && !scan()) {
        DrawnNumber drawn(random.next());
        return pickEntryFromFile(path, separator, fallback, drawn, pick);
    }

    const float r = random.next();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::uint64_t count = scanned ? offsets.size() + 1 : index->count();
        const std::size_t i = pickIndex(r, static_cast<std::size_t>(count));
        std::optional<std::uint64_t> begin = std::uint64_t{0};
        std::optional<std::uint64_t> end = file->size();
        if (i > 1)
            begin = scanned ? std::optional(offsets[i - 2]) : index->offset(i - 1);
        if (i < count)
            end = scanned ? std::optional(offsets[i - 1]) : index->offset(i);
        std::optional<std::string> text;
        if (begin && end)
            text = entryBetween(*file, i, *begin, *end, separator);
        const Result<FileStamp> now = file->stampNow();
        if (text && now && *now == stamp) {
            pick = EntryPick{i, static_cast<std::size_t>(count), std::move(*text)};
            return {};
        }
        // A damaged index: split the file afresh once. A file that changed meanwhile: the full parse.
        if (scanned || !now || !(*now == stamp) || !scan())
            break;
    }
    DrawnNumber drawn(r);
    return pickEntryFromFile(path, separator, fallback, drawn, pick);
}

} // namespace quillmark
