#pragma once
// The random pick of an entry. Chance is injected so that the pick can be tested
// without luck.

#include <cstddef>
#include <cstdint>
#include <random>

namespace quillmark {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Uniform in [0, 1), single precision.
    virtual float next() = 0;
};

// The program's source: seeded once from the clock when it is made.
class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom();
    explicit ClockSeededRandom(std::uint64_t seed);
    float next() override;

private:
    std::mt19937 m_engine;
};

// The 1-based index of an entry in a list of n entries for the random number r: the integer
// part of r * n + 1, in double precision (in single it reaches n + 1 for r just below 1)
// and kept within 1 to n whatever r is. An empty list gives 1.
std::size_t pickIndex(float r, std::size_t n);

} // namespace quillmark
