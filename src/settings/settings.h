#pragma once
// The settings file "Quillmark.INI": the read with default, the plain read and the write.
//
// Quillmark and quillmark-cli may change the file at the same moment. Every write happens
// under an advisory lock on "Quillmark.INI.lock": the file is read again under the lock and
// only this object's pending changes are applied to it, so the other program's are kept.

#include "platform/file_io.h"
#include "platform/file_lock.h"

#include <chrono>
#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

class IniFile;

// Whole numbers that the settings file stores in decimal (bool and char have their own forms).
template <typename T>
concept IniNumber = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>;

class Settings {
public:
    explicit Settings(std::string path);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    const std::string& path() const { return m_path; }

    // Read with default: a missing or empty value writes the default back and returns it.
    // "True" reads as "-1" and "False" as "0". Values are cut to 253 characters.
    std::string readIni(std::string_view section, std::string_view key, std::string_view defaultValue);
    std::string readIni(std::string_view section, std::string_view key, bool defaultValue);
    // Without these, a string literal or an int would convert to bool and pick the Boolean
    // overload: readIni("SETTINGS", "INTERVAL_1", "60") would write "True".
    std::string readIni(std::string_view section, std::string_view key, const char* defaultValue) {
        return readIni(section, key, defaultValue ? std::string_view(defaultValue) : std::string_view());
    }
    std::string readIni(std::string_view section, std::string_view key, IniNumber auto defaultValue) {
        return readIni(section, key, std::string_view(std::to_string(defaultValue)));
    }

    // Plain read: like readIni, but a missing or empty value gives "" and nothing is written.
    std::string readIniPlain(std::string_view section, std::string_view key);

    // Writes one key; the key is stored in capitals. A failed write is logged and the file
    // keeps what it held; reads then go on from the file as it is.
    void writeIni(std::string_view section, std::string_view key, std::string_view value);
    void writeIni(std::string_view section, std::string_view key, bool value);
    void writeIni(std::string_view section, std::string_view key, const char* value) {
        writeIni(section, key, value ? std::string_view(value) : std::string_view());
    }
    void writeIni(std::string_view section, std::string_view key, IniNumber auto value) {
        writeIni(section, key, std::string_view(std::to_string(value)));
    }

    // Whether the file can be read: a missing file is fine (every read gives its default),
    // a folder or a file without read permission in its place is an error.
    Status readable();

    std::string lockPath() const { return m_path + ".lock"; }
    // How long a write waits for another program's lock before it changes nothing (5 s).
    void setLockTimeout(std::chrono::milliseconds timeout) { m_lockTimeout = timeout; }

    // Looks at the file now and gives how many times someone else changed it since this
    // object was made; a caller compares it with the count it last saw.
    std::uint64_t checkForOutsideChanges();

    // While a Batch lives, writes change the file's image in memory; the file is replaced once when
    // the last Batch ends, under the lock, over the file as it is by then (a default written back by
    // a read only where the key is still missing or empty).
    class Batch {
    public:
        explicit Batch(Settings& settings);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Settings& m_settings;
    };

    // A Batch that holds the lock throughout and reads the file afresh under it, for a change decided
    // from what the file holds (the lowest free slot). Without the lock in time, status() says so and
    // every write made meanwhile is dropped: the file is left exactly as it was.
    class Transaction {
    public:
        explicit Transaction(Settings& settings);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

        // Whether the lock was had (and the file could be read).
        const Status& status() const { return m_status; }
        // Ends the transaction now: the changes reach the disk (unless an enclosing Batch
        // is still open) and the result says whether they did.
        Status commit();

    private:
        Settings& m_settings;
        Status m_status;
        bool m_open = true;
    };

private:
    struct DiskState;
    struct PendingWrite {
        std::string section;
        std::string key; // in capitals
        std::string value;
        bool onlyIfEmpty = false; // a default written back by a read
    };

    IniFile& file();
    Status flush();
    Status endBatch();
    std::string readValue(std::string_view section, std::string_view key);
    void writeValue(std::string_view section, std::string_view key, std::string_view value, bool onlyIfEmpty);
    Result<std::string> readUnderLock();
    void dropPendingWrites();

    std::string m_path;
    std::unique_ptr<IniFile> m_file;
    std::unique_ptr<DiskState> m_disk; // what the file on disk held when m_file was taken from it
    std::vector<PendingWrite> m_pending;
    FileLock m_lock; // held by an open Transaction
    std::chrono::milliseconds m_lockTimeout{5000};
    std::uint64_t m_outsideChanges = 0;
    int m_batchDepth = 0;
    int m_refusedTransactions = 0; // open transactions that could not take the lock
    bool m_dirty = false;
    bool m_checkedInBatch = false;
};

// Whether the settings file gives `value` back exactly as stored: not longer than a read
// returns, no line break or NUL, no blanks at either end, no surrounding quotes, and not
// "True" or "False". The error says why not, as the end of a sentence ("it holds a line break").
Status checkStorableValue(std::string_view value);

inline std::string_view iniBool(bool value) {
    return value ? "True" : "False";
}

} // namespace quillmark
