#pragma once
// The settings file "Quillmark.INI": the read with default, the plain read and the write
// that every part of the program uses.

#include "platform/file_io.h"

#include <concepts>
#include <memory>
#include <string>
#include <string_view>

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
    std::string ReadINI(std::string_view section, std::string_view key, std::string_view defaultValue);
    std::string ReadINI(std::string_view section, std::string_view key, bool defaultValue);
    std::string ReadINI(std::string_view section, std::string_view key, long long defaultValue);
    // Without these, a string literal or an int would convert to bool and pick the Boolean
    // overload: ReadINI("SETTINGS", "INTERVAL_1", "60") would write "True".
    std::string ReadINI(std::string_view section, std::string_view key, const char* defaultValue) {
        return ReadINI(section, key, defaultValue ? std::string_view(defaultValue) : std::string_view());
    }
    std::string ReadINI(std::string_view section, std::string_view key, IniNumber auto defaultValue) {
        return ReadINI(section, key, std::string_view(std::to_string(defaultValue)));
    }

    // Plain read: like ReadINI, but a missing or empty value gives "" and nothing is written.
    std::string ReadINIPlain(std::string_view section, std::string_view key);

    // Writes one key; the key is stored in capitals. A failed write is logged and the file
    // keeps what it held; reads then go on from the file as it is.
    void WriteINI(std::string_view section, std::string_view key, std::string_view value);
    void WriteINI(std::string_view section, std::string_view key, bool value);
    void WriteINI(std::string_view section, std::string_view key, long long value);
    void WriteINI(std::string_view section, std::string_view key, const char* value) {
        WriteINI(section, key, value ? std::string_view(value) : std::string_view());
    }
    void WriteINI(std::string_view section, std::string_view key, IniNumber auto value) {
        WriteINI(section, key, std::string_view(std::to_string(value)));
    }

    // Whether the file can be read: a missing file is fine (every read gives its default),
    // a folder or a file without read permission in its place is an error.
    Status readable();

    // While a Batch lives, writes change the file's image in memory and the file is
    // replaced once when the last Batch ends. Scans that write back many defaults use it.
    class Batch {
    public:
        explicit Batch(Settings& settings);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Settings& m_settings;
    };

private:
    struct DiskState;

    IniFile& file();
    void flush();
    std::string readValue(std::string_view section, std::string_view key);

    std::string m_path;
    std::unique_ptr<IniFile> m_file;
    std::unique_ptr<DiskState> m_disk; // what the file on disk held when m_file was taken from it
    int m_batchDepth = 0;
    bool m_dirty = false;
    bool m_checkedInBatch = false;
};

// Whether the settings file gives `value` back exactly as it is stored: not longer than a
// read returns, no line break or NUL, no blanks at either end and no surrounding quotes
// (a read drops them). The error says why not, as the end of a sentence ("it holds a
// line break"). A profile whose name or path came back changed would be lost to its own
// name, so names and paths are checked before they are stored.
Status checkStorableValue(std::string_view value);

// Text form of a Boolean in the settings file.
inline std::string_view iniBool(bool value) {
    return value ? "True" : "False";
}

} // namespace quillmark
