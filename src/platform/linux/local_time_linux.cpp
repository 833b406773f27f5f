#include "platform/local_time.h"

namespace quillmark {

std::tm localTime(std::time_t time) {
    // localtime_r need not look at TZ again; a zone changed while the program runs would be missed.
    ::tzset();
    std::tm result{};
    if (::localtime_r(&time, &result) || ::gmtime_r(&time, &result))
        return result;
    std::tm start{};
    start.tm_mday = 1;
    return start;
}

} // namespace quillmark
