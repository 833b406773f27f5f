#pragma once
// A random source that hands out the numbers a test chose, in order.

#include "signature/random.h"

#include <deque>
#include <initializer_list>
#include <stdexcept>

namespace quillmark::test {

class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<float> chosen) : values(chosen) {}

    std::deque<float> values; // handed out in turn
    bool repeat = false;      // hand out the first value for ever instead
    bool zeroWhenUsedUp = false;
    int draws = 0;

    float next() override {
        ++draws;
        if (values.empty()) {
            if (zeroWhenUsedUp)
                return 0.0f;
            throw std::logic_error("random number drawn once too often");
        }
        const float v = values.front();
        if (!repeat)
            values.pop_front();
        return v;
    }
};

} // namespace quillmark::test
