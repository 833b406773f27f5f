#include "platform/error_handler.h"

#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "platform/local_time.h"
#include "platform/platform.h"

#include <ctime>

namespace quillmark {

namespace {

constexpr int kMaxEntriesPerRun = 100;

// The log may be written from anywhere, so its state lives here rather than in a window.
struct LogState {
    std::string path;
    int count = 0;
};

LogState& state() {
    static LogState s;
    return s;
}

std::string timeStamp() {
    const std::tm local = localTime(std::time(nullptr));
    char buf[32];
    std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", &local);
    return buf;
}

// One entry is one line: a message that carries its own line breaks (an OS error text,
// a file name) must not split its entry or pass for a separate one.
std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF gives the blank
        out += c == '\r' || c == '\n' ? ' ' : c;
    }
    return out;
}

} // namespace

void setErrorLogPath(std::string path) {
    state().path = std::move(path);
}

const std::string& errorLogPath() {
    if (state().path.empty())
        state().path = programFolder() + kPathSeparator + "errorlog.dat";
    return state().path;
}

void resetErrorLogCount() {
    state().count = 0;
}

void logError(std::string_view context, std::string_view message, int lineNumber) noexcept {
    try {
        LogState& s = state();
        std::string line;
        if (s.count < kMaxEntriesPerRun) {
            line = timeStamp() + " - " + oneLine(context) + ", " + oneLine(message);
            if (lineNumber > 0)
                line += " line num: " + std::to_string(lineNumber);
        } else if (s.count == kMaxEntriesPerRun) {
            line = "Errorlogging has been automatically cancelled to save disk space.";
        } else {
            return;
        }
        // Counted even when the write fails, so a broken log folder is not retried for every error.
        ++s.count;
        line += kLineEnd;
        const std::string& path = errorLogPath();
        if (!appendToFile(path, line).ok() && makeFoldersFor(path).ok())
            (void)appendToFile(path, line);
    } catch (...) {
        // Logging must never take the program down.
    }
}

} // namespace quillmark
