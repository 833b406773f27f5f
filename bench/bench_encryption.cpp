// Throughput of the password cipher and the rotation on mail-sized and large texts.

#include "encryption/encryption.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr std::size_t kTextSize = 1024 * 1024;
constexpr const char* kPassword = "twenty chars passwd!";

// Printable text with spaces and a line break now and then, like a pasted mail body.
std::string mailLikeText(std::size_t size) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> byte(32, 126);
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = (i % 72 == 71) ? '\n' : static_cast<char>(byte(rng));
    return text;
}

void BM_EncryptText(benchmark::State& state) {
    const std::string text = mailLikeText(kTextSize);
    for (auto _ : state)
        benchmark::DoNotOptimize(quillmark::encryptText(text, kPassword));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncryptText);

void BM_DecryptText(benchmark::State& state) {
    const std::string cipher = quillmark::encryptText(mailLikeText(kTextSize), kPassword);
    for (auto _ : state)
        benchmark::DoNotOptimize(quillmark::decryptText(cipher, kPassword));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * cipher.size()));
}
BENCHMARK(BM_DecryptText);

void BM_BuildTable(benchmark::State& state) {
    for (auto _ : state) {
        const std::string key = quillmark::cipherKey(kPassword, quillmark::CryptDirection::Encrypt);
        benchmark::DoNotOptimize(quillmark::substitutionTable(key, quillmark::CryptDirection::Encrypt));
    }
}
BENCHMARK(BM_BuildTable);

void BM_RotEncode(benchmark::State& state) {
    const std::string text = mailLikeText(kTextSize);
    for (auto _ : state)
        benchmark::DoNotOptimize(quillmark::rotEncode(text, 13));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RotEncode);

} // namespace
