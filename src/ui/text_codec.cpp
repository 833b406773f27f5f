#include "ui/text_codec.h"

#include "settings/utf8.h"

#include <QLineEdit>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillmark {

namespace {

const char* const kLegacyProperty = "quillmarkLegacyBytes";

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = utf8SequenceLength(s, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

} // namespace

QString textFromBytes(std::string_view bytes, bool* legacy) {
    const bool utf8 = isValidUtf8(bytes);
    if (legacy)
        *legacy = !utf8;
    if (utf8)
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        text.append(c >= 0x80 && c < 0xA0 ? QChar(kWindows1252High[c - 0x80])
                                          : QChar(static_cast<char16_t>(c)));
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
            auto it = std::find(kWindows1252High.begin(), kWindows1252High.end(), u);
            if (it == kWindows1252High.end())
                return text.toStdString(); // typed text outside the old code page: UTF-8
            out.push_back(static_cast<char>(0x80 + (it - kWindows1252High.begin())));
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
