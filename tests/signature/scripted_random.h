#pragma once
// A random source that hands out the numbers a test chose, in order.

#include "signature/random.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace quillmark::test {

class ScriptedRandom : public RandomSource {
public:
    ScriptedRandom(std::initializer_list<float> values) : m_values(values) {}
    float next() override { return m_values.at(m_next++); } // throws when drawn once too often

private:
    std::vector<float> m_values;
    std::size_t m_next = 0;
};

} // namespace quillmark::test
