#include "platform/local_time.h"

#include <time.h>

namespace quillmark {

std::tm localTime(std::time_t time) {
    // The C runtime reads TZ once; a zone changed while the program runs would be ignored.
    ::_tzset();
    std::tm result{};
    if (::localtime_s(&result, &time) == 0 || ::gmtime_s(&result, &time) == 0)
        return result;
    std::tm start{};
    start.tm_mday = 1;
    return start;
}

} // namespace quillmark
