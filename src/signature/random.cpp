#include "signature/random.h"

#include <chrono>
#include <cmath>

namespace quillmark {

ClockSeededRandom::ClockSeededRandom()
    : ClockSeededRandom(
          static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
          static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

ClockSeededRandom::ClockSeededRandom(std::uint64_t seed) {
    std::seed_seq seq{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)};
    m_engine.seed(seq);
}

float ClockSeededRandom::next() {
    // The top 24 bits fill a float's mantissa exactly, so the result is never 1.0
    // (std::generate_canonical<float> can round up to 1.0 on some libraries).
    return static_cast<float>(m_engine() >> 8) * 0x1.0p-24f;
}

std::size_t pickIndex(float r, std::size_t n) {
    if (n <= 1 || !(r > 0.0f))
        return 1;
    const double index = std::floor(static_cast<double>(r) * static_cast<double>(n) + 1.0);
    if (index >= static_cast<double>(n))
        return n;
    return static_cast<std::size_t>(index);
}

} // namespace quillmark
