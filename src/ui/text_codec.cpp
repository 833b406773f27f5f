#include "ui/text_codec.h"

#include <QLineEdit>
#include <QVariant>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace quillmark {

namespace {

const char* const kLegacyProperty = "quillmarkLegacyBytes";

// The characters of Windows-1252 at 0x80..0x9F; the five undefined codes map to
// themselves so they survive a round trip.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t extra;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

QString textFromBytes(std::string_view bytes, bool* legacy) {
    const bool utf8 = isValidUtf8(bytes);
    if (legacy)
        *legacy = !utf8;
    if (utf8)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        text.append(c >= 0x80 && c < 0xA0 ? QChar(kCp1252High[c - 0x80]) : QChar(static_cast<char16_t>(c)));
    }
    return text;
}

std::string bytesFromText(const QString& text, bool legacy) {
    if (legacy) {
        std::string out;
        out.reserve(static_cast<size_t>(text.size()));
        for (QChar qc : text) {
            char16_t u = qc.unicode();
            if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
                out.push_back(static_cast<char>(u));
                continue;
            }
            auto it = std::find(kCp1252High.begin(), kCp1252High.end(), u);
            if (it == kCp1252High.end())
                return text.toStdString(); // typed text outside the old code page: UTF-8
            out.push_back(static_cast<char>(0x80 + (it - kCp1252High.begin())));
        }
        return out;
    }
    return text.toStdString();
}

void setBytes(QLineEdit* box, std::string_view bytes) {
    bool legacy = false;
    QString text = textFromBytes(bytes, &legacy);
    box->setProperty(kLegacyProperty, legacy);
    box->setText(text);
}

std::string bytesOf(const QLineEdit* box) {
    return bytesFromText(box->text(), box->property(kLegacyProperty).toBool());
}

bool isNumericText(const QString& text, double* value) {
    const std::string s = text.trimmed().toStdString();
    if (s.empty())
        return false;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    // strtod also takes "inf", "nan" and hexadecimal; the boxes only want decimal numbers.
    if (end != s.c_str() + s.size() || !std::isfinite(v) ||
        s.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return false;
    if (value)
        *value = v;
    return true;
}

} // namespace quillmark
