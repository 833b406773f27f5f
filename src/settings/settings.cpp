#include "settings/settings.h"

#include "platform/error_handler.h"
#include "settings/ini_file.h"
#include "settings/name_case.h"

#include <chrono>
#include <cstdint>
#include <filesystem>

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
    const fs::file_time_type mtime = fs::last_write_time(path, ec);
    if (ec)
        return stamp;
    stamp.exists = true;
    stamp.mtime = mtime;
    const std::uintmax_t size = fs::file_size(path, ec);
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

} // namespace

struct Settings::DiskState {
    Stamp stamp;
    fs::file_time_type checkedAt{};
    std::string bytes; // what the file held when m_file was taken from it or written
    Status loadError;  // set while the file exists but cannot be read
};

Settings::Settings(std::string path) : m_path(std::move(path)), m_disk(std::make_unique<DiskState>()) {}

Settings::~Settings() {
    if (m_dirty)
        flush();
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
            if (!m_file || *read != m_disk->bytes) {
                m_file = std::make_unique<IniFile>(*read);
                m_disk->bytes = std::move(read).value();
            }
            m_disk->loadError = {};
        } else {
            if (!missing(read.error()) && (m_disk->loadError.ok() || stamp != m_disk->stamp))
                LogError("ReadINI", read.message());
            m_file = std::make_unique<IniFile>();
            m_disk->bytes.clear();
            m_disk->loadError = missing(read.error()) ? Status{} : Status(read.error());
        }
        m_disk->stamp = stamp;
        m_disk->checkedAt = now;
    }
    if (m_batchDepth > 0)
        m_checkedInBatch = true;
    return *m_file;
}

void Settings::flush() {
    m_dirty = false;
    if (!m_file)
        return;
    // Replacing a file we could not read would throw away whatever it holds.
    if (!m_disk->loadError.ok()) {
        LogError("WriteINI",
                 "not replacing a settings file that cannot be read: " + m_disk->loadError.message());
        m_file.reset();
        return;
    }
    const fs::file_time_type before = fs::file_time_type::clock::now();
    std::string bytes = m_file->bytes();
    Status status = writeFileAtomic(m_path, bytes, Durability::Flush);
    if (!status && status.code() == ErrorCode::PathNotFound) {
        const Status made = makeFoldersFor(m_path);
        status = made.ok() ? writeFileAtomic(m_path, bytes, Durability::Flush) : made;
    }
    if (!status.ok()) {
        LogError("WriteINI", status.message());
        // Reads go on from what the file really holds.
        m_file.reset();
        return;
    }
    m_disk->bytes = std::move(bytes);
    m_disk->stamp = stampOf(m_path);
    m_disk->checkedAt = before;
}

Status Settings::readable() {
    file();
    return m_disk->loadError;
}

std::string Settings::readValue(std::string_view section, std::string_view key) {
    IniFile& ini = file();
    std::optional<std::string> value = ini.value(section, toUpperName(key));
    if (!value)
        return {};
    std::string result = std::move(*value);
    if (result.size() > kMaxValueLength)
        result.resize(kMaxValueLength);
    if (const std::size_t nul = result.find('\0'); nul != std::string::npos)
        result.resize(nul);
    return result;
}

std::string Settings::ReadINI(std::string_view section, std::string_view key, std::string_view defaultValue) {
    std::string result = readValue(section, key);
    if (result.empty()) {
        WriteINI(section, key, defaultValue);
        result = defaultValue;
    }
    return trueFalseAsNumber(std::move(result));
}

std::string Settings::ReadINI(std::string_view section, std::string_view key, bool defaultValue) {
    return ReadINI(section, key, iniBool(defaultValue));
}

std::string Settings::ReadINI(std::string_view section, std::string_view key, long long defaultValue) {
    return ReadINI(section, key, std::string_view(std::to_string(defaultValue)));
}

std::string Settings::ReadINIPlain(std::string_view section, std::string_view key) {
    return trueFalseAsNumber(readValue(section, key));
}

void Settings::WriteINI(std::string_view section, std::string_view key, std::string_view value) {
    switch (file().setValue(section, toUpperName(key), value)) {
    case IniFile::SetResult::InvalidName:
        // The name itself may hold the line break that makes it unusable: not logged.
        LogError("WriteINI", "section or key name cannot be stored in the settings file");
        return;
    case IniFile::SetResult::Unchanged:
        return;
    case IniFile::SetResult::Changed:
        m_dirty = true;
        if (m_batchDepth == 0)
            flush();
        return;
    }
}

void Settings::WriteINI(std::string_view section, std::string_view key, bool value) {
    WriteINI(section, key, iniBool(value));
}

void Settings::WriteINI(std::string_view section, std::string_view key, long long value) {
    WriteINI(section, key, std::string_view(std::to_string(value)));
}

Settings::Batch::Batch(Settings& settings) : m_settings(settings) {
    if (m_settings.m_batchDepth++ == 0)
        m_settings.m_checkedInBatch = false;
}

Settings::Batch::~Batch() {
    if (--m_settings.m_batchDepth > 0)
        return;
    m_settings.m_checkedInBatch = false;
    if (m_settings.m_dirty)
        m_settings.flush();
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
    return {};
}

} // namespace quillmark
