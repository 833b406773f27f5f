// Draws the decorative scheme's pictures: a parchment background and a brass button
// texture, both seamless when tiled. Rerun after changing a colour or a pattern:
//   g++ -std=c++20 -fPIC tools/make_looks.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_looks
//   /tmp/make_looks resources/looks
#include <QColor>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

// Whole-number frequencies keep every wave periodic over the tile, so the edges meet.
struct Wave {
    int fx;
    int fy;
    double phase;
    double amplitude;
};

// A fixed generator, so rerunning the tool gives the same pictures byte for byte.
class Lcg {
public:
    double next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53);
    }

private:
    std::uint64_t m_state = 20261206;
};

std::vector<Wave> makeWaves(Lcg& random, int count, int maxFrequency, double amplitude) {
    std::vector<Wave> waves;
    for (int i = 0; i < count; ++i) {
        const int fx = static_cast<int>(random.next() * (2 * maxFrequency + 1)) - maxFrequency;
        const int fy = 1 + static_cast<int>(random.next() * maxFrequency);
        waves.push_back({fx, fy, random.next() * 2 * std::numbers::pi, amplitude / (1 + i / 2.0)});
    }
    return waves;
}

double waveSum(const std::vector<Wave>& waves, int x, int y, int size) {
    double sum = 0;
    for (const Wave& w : waves)
        sum += w.amplitude *
               std::sin(2 * std::numbers::pi * (w.fx * x + w.fy * y) / static_cast<double>(size) + w.phase);
    return sum;
}

QImage texture(int size, QColor base, const std::vector<Wave>& waves, double grain, Lcg& random) {
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double shade = waveSum(waves, x, y, size) + grain * (random.next() - 0.5);
            auto channel = [shade](int c) {
                return std::clamp(static_cast<int>(c + shade), 0, 255);
            };
            image.setPixel(x, y, qRgb(channel(base.red()), channel(base.green()), channel(base.blue())));
        }
    }
    // A small palette keeps the committed files at a few kilobytes.
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    Lcg random;
    const QImage background =
        texture(128, QColor(0xef, 0xe2, 0xc0), makeWaves(random, 6, 3, 7.0), 4.0, random);
    const QImage button = texture(64, QColor(0xe2, 0xc8, 0x8c), makeWaves(random, 4, 2, 6.0), 3.0, random);
    if (!background.save(folder + QStringLiteral("/background.png")) ||
        !button.save(folder + QStringLiteral("/button.png"))) {
        std::fprintf(stderr, "could not write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
