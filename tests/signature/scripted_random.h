#pragma once
// A random source that hands out the numbers a test chose, in order.

#include "signature/random.h"

#include <deque>
#include <initializer_list>

namespace quillmark::test {

class ScriptedRandom : public RandomSource {
public:
    ScriptedRandom(std::initializer_list<float> values) : m_values(values) {}
    float next() override {
        const float v = m_values.front();
        m_values.pop_front();
        ++m_drawn;
        return v;
    }
    int drawn() const { return m_drawn; }

private:
    std::deque<float> m_values;
    int m_drawn = 0;
};

} // namespace quillmark::test
