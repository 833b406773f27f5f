#include "settings/settings.h"

#include "platform/error_handler.h"
#include "platform/paths.h"
#include "settings/ini_file.h"
#include "settings/name_case.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <utility>

namespace quillmark {

namespace fs = std::filesystem;

namespace {

// Values longer than this are read back cut, as the program always has.
constexpr std::size_t kMaxValueLength = 253;

// Coarsest timestamp step of the file systems a settings file may sit on (FAT: 2 s).
// A file changed within this time of our last look could keep its size and time stamp.
constexpr auto kTimestampSlack = std::chrono::seconds(2);

struct Stamp {
    bool exists = false;
    std::uintmax_t size = 0;
    fs::file_time_type mtime{};
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const std::string& path) {
    std::error_code ec;
    Stamp stamp;
    const fs::file_time_type mtime = fs::last_write_time(toFsPath(path), ec);
    if (ec)
        return stamp;
    stamp.exists = true;
    stamp.mtime = mtime;
    const std::uintmax_t size = fs::file_size(toFsPath(path), ec);
    stamp.size = ec ? 0 : size;
    return stamp;
}

std::string trueFalseAsNumber(std::string value) {
    if (value == "False")
        value = "0";
    if (value == "True")
        value = "-1";
    return value;
}

bool missing(const Error& error) {
    return error.code == ErrorCode::NotFound || error.code == ErrorCode::PathNotFound;
}

// The settings of a UTF-16 file are read, but it is never written (see IniFile). The file,
// not the user's input, stands in the way: quillmark-cli answers with status 1.
Error utf16Refusal(const std::string& path) {
    return {ErrorCode::Other, path + " is saved as UTF-16 (\"Unicode\"), which the program does not "
                                     "write; save it as UTF-8 or ANSI to let the program "
                                     "change it"};
}

// A value as every read sees it: cut to 253 characters, then at its first NUL.
std::string visibleValue(const IniFile& ini, std::string_view section, std::string_view upperKey) {
    std::optional<std::string> value = ini.value(section, upperKey);
    if (!value)
        return {};
    std::string result = std::move(*value);
    if (result.size() > kMaxValueLength)
        result.resize(kMaxValueLength);
    if (const std::size_t nul = result.find('\0'); nul != std::string::npos)
        result.resize(nul);
    return result;
}

} // namespace

struct Settings::DiskState {
    Stamp stamp;
    fs::file_time_type checkedAt{};
    std::string bytes;        // what the file held when m_file was taken from it or written
    Status loadError;         // set while the file exists but cannot be read
    bool loaded = false;      // the file was looked at once: later differences are outside changes
    bool utf16Logged = false; // a write refused because the file is UTF-16 is in the error log
};

Settings::Settings(std::string path) : m_path(std::move(path)), m_disk(std::make_unique<DiskState>()) {}

Settings::~Settings() {
    // A failure is in the error log; there is nobody left to tell.
    if (m_dirty)
        static_cast<void>(flush());
}

IniFile& Settings::file() {
    // Pending writes live only in memory; inside a Batch one look at the disk is enough.
    if (m_file && (m_dirty || (m_batchDepth > 0 && m_checkedInBatch)))
        return *m_file;

    const fs::file_time_type now = fs::file_time_type::clock::now();
    const Stamp stamp = stampOf(m_path);
    const bool settled = !stamp.exists || stamp.mtime + kTimestampSlack <= m_disk->checkedAt;
    if (!m_file || stamp != m_disk->stamp || !settled) {
        Result<std::string> read = readFile(m_path);
        if (read) {
            if (m_disk->loaded && *read != m_disk->bytes)
                ++m_outsideChanges;
            if (!m_file || *read != m_disk->bytes) {
                m_file = std::make_unique<IniFile>(*read);
                m_disk->bytes = std::move(read).value();
            }
            m_disk->loadError = {};
        } else {
            if (!missing(read.error()) && (m_disk->loadError.ok() || stamp != m_disk->stamp))
                logError("ReadINI", read.message());
            if (m_disk->loaded && !m_disk->bytes.empty())
                ++m_outsideChanges;
            m_file = std::make_unique<IniFile>();
            m_disk->bytes.clear();
            m_disk->loadError = missing(read.error()) ? Status{} : Status(read.error());
        }
        m_disk->loaded = true;
        m_disk->stamp = stamp;
        m_disk->checkedAt = now;
    }
    if (m_batchDepth > 0)
        m_checkedInBatch = true;
    return *m_file;
}

std::uint64_t Settings::checkForOutsideChanges() {
    if (!m_dirty && !(m_batchDepth > 0 && m_checkedInBatch))
        file();
    return m_outsideChanges;
}

Result<std::string> Settings::readUnderLock() {
    const fs::file_time_type now = fs::file_time_type::clock::now();
    const Stamp stamp = stampOf(m_path);
    Result<std::string> read = readFile(m_path);
    if (!read && !missing(read.error())) {
        m_disk->loadError = read.error();
        return read.error();
    }
    std::string bytes = read ? std::move(read).value() : std::string();
    if (!m_file || bytes != m_disk->bytes) {
        if (m_disk->loaded && bytes != m_disk->bytes)
            ++m_outsideChanges;
        // Someone else changed the file since it was read: our own changes go onto theirs.
        m_file = std::make_unique<IniFile>(bytes);
        for (const PendingWrite& write : m_pending) {
            if (write.onlyIfEmpty && !visibleValue(*m_file, write.section, write.key).empty())
                continue;
            static_cast<void>(m_file->setValue(write.section, write.key, write.value));
        }
        m_disk->bytes = bytes;
    }
    m_disk->loadError = {};
    m_disk->loaded = true;
    m_disk->stamp = stamp;
    m_disk->checkedAt = now;
    return bytes;
}

void Settings::dropPendingWrites() {
    m_pending.clear();
    m_dirty = false;
    // Reads go on from what the file really holds.
    m_file.reset();
}

Status Settings::flush() {
    m_dirty = false;
    if (m_pending.empty())
        return {};
    FileLock ownLock;
    if (!m_lock.held()) {
        Result<FileLock> lock = FileLock::acquire(lockPath(), m_lockTimeout);
        if (!lock) {
            logError("WriteINI", "the settings file was not changed: " + lock.message());
            dropPendingWrites();
            return lock.error();
        }
        ownLock = std::move(lock).value();
    }
    // Replacing a file we could not read would throw away whatever it holds.
    if (Result<std::string> disk = readUnderLock(); !disk) {
        logError("WriteINI", "not replacing a settings file that cannot be read: " + disk.message());
        dropPendingWrites();
        return disk.error();
    }
    if (m_file->isUtf16()) {
        const Error refusal = utf16Refusal(m_path);
        logError("WriteINI", refusal.message);
        dropPendingWrites();
        return refusal;
    }
    const fs::file_time_type before = fs::file_time_type::clock::now();
    std::string bytes = m_file->bytes();
    Status status = writeFileAtomic(m_path, bytes, Durability::Flush);
    if (!status && status.code() == ErrorCode::PathNotFound) {
        const Status made = makeFoldersFor(m_path);
        status = made.ok() ? writeFileAtomic(m_path, bytes, Durability::Flush) : made;
    }
    if (!status.ok()) {
        logError("WriteINI", status.message());
        dropPendingWrites();
        return status;
    }
    m_pending.clear();
    m_disk->bytes = std::move(bytes);
    m_disk->stamp = stampOf(m_path);
    m_disk->checkedAt = before;
    return {};
}

Status Settings::readable() {
    file();
    return m_disk->loadError;
}

std::string Settings::readValue(std::string_view section, std::string_view key) {
    return visibleValue(file(), section, toUpperName(key));
}

std::string Settings::readIni(std::string_view section, std::string_view key, std::string_view defaultValue) {
    std::string result = readValue(section, key);
    if (result.empty()) {
        writeValue(section, key, defaultValue, true);
        result = defaultValue;
    }
    return trueFalseAsNumber(std::move(result));
}

std::string Settings::readIni(std::string_view section, std::string_view key, bool defaultValue) {
    return readIni(section, key, iniBool(defaultValue));
}

std::string Settings::readIniPlain(std::string_view section, std::string_view key) {
    return trueFalseAsNumber(readValue(section, key));
}

void Settings::writeIni(std::string_view section, std::string_view key, std::string_view value) {
    writeValue(section, key, value, false);
}

void Settings::writeValue(std::string_view section, std::string_view key, std::string_view value,
                          bool onlyIfEmpty) {
    // A transaction without the lock changes nothing, not even the image in memory.
    if (m_refusedTransactions > 0)
        return;
    const std::string upperKey = toUpperName(key);
    switch (file().setValue(section, upperKey, value)) {
    case IniFile::SetResult::InvalidName:
        // The name itself may hold the line break that makes it unusable: not logged.
        logError("WriteINI", "section or key name cannot be stored in the settings file");
        return;
    case IniFile::SetResult::Utf16File:
        // Every default a read writes back is refused: one line in the log is enough.
        if (!std::exchange(m_disk->utf16Logged, true))
            logError("WriteINI", utf16Refusal(m_path).message);
        return;
    case IniFile::SetResult::Unchanged:
        return;
    case IniFile::SetResult::Changed:
        m_pending.push_back({std::string(section), upperKey, std::string(value), onlyIfEmpty});
        m_dirty = true;
        // A failed write is in the error log; the writes of the settings table report none.
        if (m_batchDepth == 0)
            static_cast<void>(flush());
        return;
    }
}

void Settings::writeIni(std::string_view section, std::string_view key, bool value) {
    writeIni(section, key, iniBool(value));
}

Settings::Batch::Batch(Settings& settings) : m_settings(settings) {
    if (m_settings.m_batchDepth++ == 0)
        m_settings.m_checkedInBatch = false;
}

Settings::Batch::~Batch() {
    // A failure is in the error log.
    static_cast<void>(m_settings.endBatch());
}

Status Settings::endBatch() {
    if (--m_batchDepth > 0)
        return {};
    m_checkedInBatch = false;
    Status status = m_dirty ? flush() : Status{};
    m_lock.release();
    return status;
}

Settings::Transaction::Transaction(Settings& settings) : m_settings(settings) {
    if (m_settings.m_batchDepth++ == 0)
        m_settings.m_checkedInBatch = false;
    if (m_settings.m_lock.held())
        return;
    Result<FileLock> lock = FileLock::acquire(m_settings.lockPath(), m_settings.m_lockTimeout);
    if (!lock) {
        m_status = lock.error();
    } else {
        m_settings.m_lock = std::move(lock).value();
        if (Result<std::string> disk = m_settings.readUnderLock(); !disk)
            m_status = Error{disk.code(), "cannot read the settings file: " + disk.message()};
        else if (m_settings.m_file->isUtf16())
            m_status = utf16Refusal(m_settings.m_path);
        else
            m_settings.m_checkedInBatch = true;
    }
    if (!m_status) {
        logError("WriteINI", "the settings file was not changed: " + m_status.message());
        ++m_settings.m_refusedTransactions;
    }
}

Settings::Transaction::~Transaction() {
    // A failure is in the error log.
    if (m_open)
        static_cast<void>(commit());
}

Status Settings::Transaction::commit() {
    if (!m_open)
        return m_status;
    m_open = false;
    if (!m_status)
        --m_settings.m_refusedTransactions;
    Status ended = m_settings.endBatch();
    if (!m_status)
        return m_status;
    return ended;
}

Status checkStorableValue(std::string_view value) {
    if (value.size() > kMaxValueLength)
        return Error{ErrorCode::InvalidInput, "it is longer than the settings file can hold (" +
                                                  std::to_string(kMaxValueLength) + " bytes; this takes " +
                                                  std::to_string(value.size()) + ")"};
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return Error{ErrorCode::InvalidInput, "it holds a line break"};
    IniFile file;
    (void)file.setValue("Check", "VALUE", value);
    if (file.value("Check", "VALUE") != std::optional<std::string>(std::string(value)))
        return Error{ErrorCode::InvalidInput, "it begins or ends with a blank or stands in quotes"};
    // A read turns these two words into the numbers of a Boolean.
    if (value == "True" || value == "False")
        return Error{ErrorCode::InvalidInput, "the settings file reads it back as a number"};
    return {};
}

} // namespace quillmark
