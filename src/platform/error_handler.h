#pragma once
// The error log "errorlog.dat": one line per trapped error, at most 100 per run.

#include <string>
#include <string_view>

namespace quillmark {

// Where the log is appended to; the program folder's "errorlog.dat" by default.
void setErrorLogPath(std::string path);
const std::string& errorLogPath();

// Appends "dd/mm/yyyy hh:mm:ss - context, message[ line num: N]". Never throws and never
// reports a failure: callers always carry on after logging.
void logError(std::string_view context, std::string_view message, int lineNumber = 0) noexcept;

// Starts the per-run count again (a new run of the program; used by tests).
void resetErrorLogCount();

} // namespace quillmark
