#include "signature/entry_index.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/random_access_file.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

namespace quillmark {

namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'Q', 'M', 'E', 'N', 'T', 'I', 'D', 'X'};
// 1: every separator line's offset, named by device and inode. 2: per path, sampled, checksummed.
constexpr std::uint32_t kVersion = 2;
// Separators are one character in practice; a longer one is split without an index.
constexpr std::size_t kMaxSeparator = 64;
constexpr std::size_t kMaxPath = 1 << 16;
constexpr std::size_t kScanPiece = std::size_t{1} << 20;
constexpr std::size_t kReadPiece = 64 * 1024;
// An index used is marked so at most once a day; one unused for this long is dropped.
constexpr auto kDay = std::chrono::hours(24);
constexpr auto kUnusedFor = 30 * kDay;

// Fixed part of an index file; the separator and the source's path (each padded to 8
// bytes) and the samples (entry, offset) follow.
struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t separatorSize;
    std::uint32_t pathSize;
    std::uint32_t reserved;
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t size;
    std::int64_t modifiedNs;
    std::int64_t changedNs;
    std::uint64_t count;
    std::uint64_t sampleCount;
    std::uint64_t checksum; // FNV-1a of the whole file with this field zero
};

// Samples are stored as held, in the machine's byte order: the cache never leaves the machine.
static_assert(sizeof(EntrySample) == 16);

std::size_t padded(std::size_t n) {
    return (n + 7) / 8 * 8;
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

std::uint64_t checksumOf(std::string bytes) {
    std::memset(bytes.data() + offsetof(Header, checksum), 0, sizeof(std::uint64_t));
    return fnv1a(bytes);
}

std::string indexBytes(const std::string& source, const FileStamp& stamp, std::string_view separator,
                       const EntryTable& table) {
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.separatorSize = static_cast<std::uint32_t>(separator.size());
    header.pathSize = static_cast<std::uint32_t>(source.size());
    header.device = stamp.device;
    header.inode = stamp.inode;
    header.size = stamp.size;
    header.modifiedNs = stamp.modifiedNs;
    header.changedNs = stamp.changedNs;
    header.count = table.count;
    header.sampleCount = table.samples.size();
    const std::size_t pathAt = sizeof header + padded(separator.size());
    const std::size_t samplesAt = pathAt + padded(source.size());
    std::string bytes(samplesAt + table.samples.size() * sizeof(EntrySample), '\0');
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header, separator.data(), separator.size());
    std::memcpy(bytes.data() + pathAt, source.data(), source.size());
    if (!table.samples.empty())
        std::memcpy(bytes.data() + samplesAt, table.samples.data(),
                    table.samples.size() * sizeof(EntrySample));
    header.checksum = checksumOf(bytes);
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

// An index file read whole and checked against its checksum; nothing when not of this format.
struct IndexFile {
    Header header{};
    std::string separator;
    std::string source;
    EntryTable table;
};

std::optional<IndexFile> readIndex(const std::string& indexPath) {
    Result<RandomAccessFile> file = RandomAccessFile::openCache(indexPath);
    IndexFile index;
    Header& h = index.header;
    if (!file || file->size() < sizeof h || !file->readAt(0, reinterpret_cast<char*>(&h), sizeof h))
        return std::nullopt;
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.version != kVersion ||
        h.separatorSize > kMaxSeparator || h.pathSize > kMaxPath || h.count == 0 ||
        h.sampleCount > h.size / kSampleSpacing + 1)
        return std::nullopt;
    const std::size_t pathAt = sizeof h + padded(h.separatorSize);
    const std::size_t samplesAt = pathAt + padded(h.pathSize);
    const std::uint64_t expected = samplesAt + h.sampleCount * sizeof(EntrySample);
    if (file->size() != expected)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(expected), '\0');
    if (!file->readAt(0, bytes.data(), bytes.size()) || checksumOf(bytes) != h.checksum)
        return std::nullopt;
    index.separator = bytes.substr(sizeof h, h.separatorSize);
    index.source = bytes.substr(pathAt, h.pathSize);
    index.table.count = h.count;
    index.table.samples.resize(static_cast<std::size_t>(h.sampleCount));
    if (h.sampleCount > 0)
        std::memcpy(index.table.samples.data(), bytes.data() + samplesAt, bytes.size() - samplesAt);
    // Samples in order within the file and its entries: a pick can then trust where it starts.
    EntrySample last{0, 0};
    for (const EntrySample& s : index.table.samples) {
        if (s.entry <= last.entry || s.offset <= last.offset || s.entry >= h.count || s.offset >= h.size)
            return std::nullopt;
        last = s;
    }
    return index;
}

// The table of the index written for exactly this version of this file with this separator.
std::optional<EntryTable> loadIndex(const std::string& indexPath, const std::string& source,
                                    const FileStamp& stamp, std::string_view separator) {
    std::optional<IndexFile> index = readIndex(indexPath);
    if (!index)
        return std::nullopt;
    const Header& h = index->header;
    if (index->separator != separator || index->source != source || h.device != stamp.device ||
        h.inode != stamp.inode || h.size != stamp.size || h.modifiedNs != stamp.modifiedNs ||
        h.changedNs != stamp.changedNs)
        return std::nullopt;
    return std::move(index->table);
}

// A cache file is replaced whole; a link or anything else planted at its path is removed
// first, never written through. Failures only cost the next run a scan.
void writeCacheFile(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    const fs::path folder = toFsPath(path).parent_path();
    if (!fs::is_directory(folder, ec)) {
        if (!fs::create_directories(folder, ec))
            return;
        // The indexes tell which files the user keeps where: for this user's eyes only.
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
    const fs::file_status status = fs::symlink_status(toFsPath(path), ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        fs::remove(toFsPath(path), ec);
    static_cast<void>(writeFileAtomic(path, bytes, Durability::Replace));
}

// The table of a file scanned whole; nothing when it cannot be read or changed meanwhile.
std::optional<EntryTable> scanFile(const RandomAccessFile& file, std::string_view separator) {
    EntryScanner scanner(separator);
    std::string buffer(static_cast<std::size_t>(std::min<std::uint64_t>(kScanPiece, file.size())), '\0');
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
    return EntryTable{scanner.count(), scanner.takeSamples()};
}

// Entry `index` (0-based) read from the sample before it to the next one (or the end). The
// separator lines met must be where the table puts them; otherwise the answer is nothing.
std::optional<std::string> readEntry(const RandomAccessFile& file, const EntryTable& table,
                                     std::uint64_t index, std::string_view separator) {
    const std::optional<std::size_t> k = table.sampleBefore(index);
    const std::size_t nextAt = k ? *k + 1 : 0;
    const bool last = nextAt >= table.samples.size();
    EntrySample from{0, 0};
    char before = '\0';
    if (k) {
        from = table.samples[*k];
        if (from.entry > index || from.offset == 0 || from.offset >= file.size() ||
            !file.readAt(from.offset - 1, &before, 1))
            return std::nullopt;
    }
    EntryScanner scanner = k ? EntryScanner(separator, from, before) : EntryScanner(separator);
    EntrySplitter splitter(separator, static_cast<std::size_t>(k ? index - from.entry + 1 : index));
    splitter.expectBytes(static_cast<std::size_t>(file.size() - from.offset));
    std::string buffer(kReadPiece, '\0');
    std::uint64_t at = from.offset;
    while (at < file.size() && !(splitter.done() && !scanner.samples().empty())) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kReadPiece, file.size() - at));
        if (!file.readAt(at, buffer.data(), n))
            return std::nullopt;
        const std::string_view piece(buffer.data(), n);
        scanner.feed(piece);
        if (!splitter.done())
            splitter.feed(piece);
        at += n;
    }
    if (k && scanner.firstSeparator() != from.offset)
        return std::nullopt;
    const std::vector<EntrySample>& met = scanner.samples();
    // Before the next sample the entry drawn is complete.
    const bool fits = last ? met.empty() && at == file.size() && scanner.count() == table.count
                           : !met.empty() && met.front() == table.samples[nextAt] && splitter.done();
    if (!fits)
        return std::nullopt;
    return splitter.takeEntry();
}

// A random source that gives a number already drawn, so a fallback draws nothing new.
class DrawnNumber final : public RandomSource {
public:
    explicit DrawnNumber(float r) : m_r(r) {}
    float next() override { return m_r; }

private:
    float m_r;
};

bool olderThan(const fs::path& path, std::chrono::hours age) {
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(path, ec);
    return !ec && fs::file_time_type::clock::now() - written > age;
}

// What a killed write leaves: "<index>.idx." or ".<index>.idx." and six letters or
// digits, or from older versions on Windows "<index>.idx.<digits>.tmp".
bool isTemporaryName(std::string_view name) {
    const std::size_t idx = name.rfind(".idx.");
    if (idx == std::string_view::npos)
        return false;
    std::string_view rest = name.substr(idx + 5);
    const bool older = rest.ends_with(".tmp");
    if (older)
        rest.remove_suffix(4);
    const auto all = [rest](bool digitsOnly) {
        return std::all_of(rest.begin(), rest.end(), [digitsOnly](char c) {
            const auto u = static_cast<unsigned char>(c);
            return (digitsOnly ? std::isdigit(u) : std::isalnum(u)) != 0;
        });
    };
    return older ? !rest.empty() && all(true) : rest.size() == 6 && all(false);
}

} // namespace

std::string entryIndexPath(const std::string& folder, const std::string& sourcePath) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint64_t h = fnv1a(absolutePath(sourcePath));
    std::string name(16, '0');
    for (std::size_t i = name.size(); i-- > 0; h >>= 4)
        name[i] = kDigits[h & 15];
    return folder + "/" + name + ".idx";
}

FilePick pickEntryIndexed(const std::string& path, std::string_view separator, const EntryList& fallback,
                          RandomSource& random, const std::string& indexFolder) {
    Result<RandomAccessFile> file = path.empty() || separator.size() > kMaxSeparator
                                        ? Result<RandomAccessFile>(Error{ErrorCode::Other, {}})
                                        : RandomAccessFile::open(path);
    if (!file)
        return pickEntryFromFile(path, separator, fallback, random);
    const FileStamp& stamp = file->stamp();
    const std::string source = absolutePath(path);
    const std::string indexPath = entryIndexPath(indexFolder, path);

    std::optional<EntryTable> table = loadIndex(indexPath, source, stamp, separator);
    bool scanned = false;
    auto scan = [&]() -> bool {
        table = scanFile(*file, separator);
        if (!table)
            return false;
        scanned = true;
        writeCacheFile(indexPath, indexBytes(source, stamp, separator, *table));
        return true;
    };
    if (table) {
        // Marks the index as used, for the tidying of the cache folder.
        std::error_code ec;
        if (olderThan(toFsPath(indexPath), kDay))
            fs::last_write_time(toFsPath(indexPath), fs::file_time_type::clock::now(), ec);
    } else if (!scan()) {
        DrawnNumber drawn(random.next());
        return pickEntryFromFile(path, separator, fallback, drawn);
    }

    const float r = random.next();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::size_t count = static_cast<std::size_t>(table->count);
        const std::size_t i = pickIndex(r, count);
        std::optional<std::string> text = readEntry(*file, *table, i - 1, separator);
        const Result<FileStamp> now = file->stampNow();
        if (text && now && *now == stamp) {
            return {EntryPick{i, count, std::move(*text)}, {}};
        }
        // A damaged index: scan the file afresh once. A file that changed meanwhile: the full parse.
        if (scanned || !now || !(*now == stamp) || !scan())
            break;
    }
    DrawnNumber drawn(r);
    return pickEntryFromFile(path, separator, fallback, drawn);
}

void tidyEntryIndexFolder(const std::string& indexFolder) {
    std::error_code ec;
    const fs::path folder = toFsPath(indexFolder);
    const fs::path marker = folder / "tidied";
    if (!fs::is_directory(folder, ec) || (fs::exists(marker, ec) && !olderThan(marker, kDay)))
        return;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryEc;
        const fs::path path = it->path();
        const std::string name = toUtf8Path(path.filename());
        if (it->is_symlink(entryEc) || !it->is_regular_file(entryEc))
            continue;
        bool drop = false;
        if (name.ends_with(".idx")) {
            const std::optional<IndexFile> index = readIndex(toUtf8Path(path));
            drop = !index || !fs::exists(toFsPath(index->source), entryEc) || olderThan(path, kUnusedFor);
        } else if (isTemporaryName(name)) {
            // A write under way is seconds old: a day old, it was killed.
            drop = olderThan(path, kDay);
        }
        if (drop)
            fs::remove(path, entryEc);
    }
    writeCacheFile(toUtf8Path(marker), {});
}

} // namespace quillmark
