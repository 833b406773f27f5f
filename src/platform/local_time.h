#pragma once
// The user's local date and time, for time stamps the user reads.

#include <ctime>

namespace quillmark {

// The calendar time of `time` in the user's time zone (TZ, else the system's), thread-safe. A time
// the calendar cannot hold gives UTC, or 1 January 1900 when even that fails.
std::tm localTime(std::time_t time);

} // namespace quillmark
