#pragma once
// When the update timer (tmr1) writes a new signature. Short intervals tick at the interval; from 50 seconds
// on it polls every 30 seconds against the clock, and a clock jump (or sleep) writes at once.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

inline constexpr double kLongIntervalSeconds = 50;
inline constexpr int kLongIntervalPollMs = 30000;
// Shortest tick period: a 0 ms timer would keep a core busy rewriting the output file.
inline constexpr int kMinTickPeriodMs = 100;
// More whole minutes than this between polls: the clock jumped or the computer slept.
inline constexpr std::int64_t kClockJumpMinutes = 5;

// The number at the start of the interval box's text, after blanks ("12abc" is 12, "1e9" is
// 1e9, the decimal point always "."); 0 when the text does not start with one.
double intervalValue(std::string_view text);

// Whole seconds since the epoch; empty until first set.
struct TimerStamps {
    std::optional<std::int64_t> lastUpdate;
    std::optional<std::int64_t> lastTick;

    friend bool operator==(const TimerStamps&, const TimerStamps&) = default;
};

struct TickDecision {
    std::optional<int> periodMs; // the timer's new period; empty: keep the current one
    bool refreshTitle = false;   // show lastUpdateTitle() of the current time
    bool writeNow = false;       // run updateSignature
    TimerStamps stamps;          // the stamps to keep for the next tick
};

// One tick of the update timer for the interval value (in seconds), the stamps of the previous
// ticks and the current time. An interval of 0, a negative one or a text without a
// number stops the timed updates without stopping the timer.
TickDecision decideTick(double interval, const TimerStamps& stamps, std::int64_t now);

// The window title after an update: "Quillmark Last Update 14:05:09".
std::string lastUpdateTitle(const std::tm& localTime);

} // namespace quillmark
