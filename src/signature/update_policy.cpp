#include "signature/update_policy.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace quillmark {

double intervalValue(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\r\n");
    if (i == std::string_view::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    // The longest prefix that is a number, read by from_chars whatever the locale's decimal point.
    const auto skipDigits = [text](std::size_t& at) {
        const std::size_t from = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        return at - from;
    };
    const std::size_t start = i;
    std::size_t digits = skipDigits(i);
    if (i < text.size() && text[i] == '.')
        digits += skipDigits(++i);
    if (digits == 0)
        return 0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (skipDigits(j) > 0)
            end = j;
    }

    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + end, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large gives infinity; too small gives 0. Either way no error escapes.
        const std::string_view mantissa = text.substr(start, end - start);
        const std::size_t e = mantissa.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && mantissa.substr(e + 1).starts_with('-');
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc() || ptr != text.data() + end) {
        return 0;
    }
    return negative ? -value : value;
}

TickDecision decideTick(double interval, const TimerStamps& stamps, std::int64_t now) {
    TickDecision d;
    d.stamps = stamps;
    // A negative interval (a hand-edited setting) is taken as 0, not as a period.
    if (!(interval > 0))
        return d;

    if (interval < kLongIntervalSeconds) {
        const double ms = std::nearbyint(interval * 1000.0);
        d.periodMs = ms < kMinTickPeriodMs ? kMinTickPeriodMs : static_cast<int>(ms);
        d.refreshTitle = true;
        d.writeNow = true;
        return d;
    }

    d.periodMs = kLongIntervalPollMs;
    if (!stamps.lastUpdate) {
        d.writeNow = true;
    } else {
        const std::int64_t sinceUpdate = now - *stamps.lastUpdate;
        const std::int64_t minutesSinceTick = stamps.lastTick ? (now - *stamps.lastTick) / 60 : 0;
        d.writeNow = static_cast<double>(sinceUpdate) > interval || minutesSinceTick > kClockJumpMinutes ||
                     minutesSinceTick < -kClockJumpMinutes;
    }
    if (d.writeNow) {
        d.refreshTitle = true;
        d.stamps.lastUpdate = now;
    }
    d.stamps.lastTick = now;
    return d;
}

std::string lastUpdateTitle(const std::tm& localTime) {
    char clock[48];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    return std::string("Quillmark Last Update ") + clock;
}

} // namespace quillmark
