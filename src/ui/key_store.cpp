#include "ui/key_store.h"

#include "base/product_info.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <optional>

namespace quillmark {

namespace {

QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

// The store's name for a key's default value. Windows' registry reads "." as the unnamed
// value; no escaped user name can be "." because a leading "." is always escaped.
const QString kDefaultValueName = QStringLiteral(".");

bool isDefaultValueName(const QString& key) {
    return key.isEmpty() || key == QStringLiteral("*");
}

QString percentByte(char16_t c) {
    return QStringLiteral("%%1").arg(static_cast<int>(c), 2, 16, QLatin1Char('0')).toUpper();
}

// QSettings reads "/" and "\" in a name as key separators, and Windows "." and "Default" as the
// unnamed value: those are written as %XX, and "%" too, so every escaped name reads back.
QString storeName(const QString& key) {
    if (isDefaultValueName(key))
        return kDefaultValueName;
    QString out;
    out.reserve(key.size());
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t c = key[i].unicode();
        const bool reserved = c == u'%' || c == u'/' || c == u'\\' || (i == 0 && c == u'.') ||
                              (i == 0 && key.compare(QStringLiteral("default"), Qt::CaseInsensitive) == 0);
        out += reserved ? percentByte(c) : QString(QChar(c));
    }
    return out;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Names written by someone else may hold a "%" that is no escape; it stays as it is.
QString userName(const QString& stored) {
    if (stored == kDefaultValueName)
        return QString();
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == u'%' && i + 2 < stored.size() && hexDigit(stored[i + 1]) >= 0 &&
            hexDigit(stored[i + 2]) >= 0) {
            out += QChar(static_cast<char16_t>(hexDigit(stored[i + 1]) * 16 + hexDigit(stored[i + 2])));
            i += 2;
        } else {
            out += stored[i];
        }
    }
    return out;
}

QString groupOf(const QString& section) {
    QString group = section;
    group.replace(u'\\', u'/');
    return group;
}

// A text read back from the store. A hand-edited value such as "a, b" comes back from
// QSettings as a list; it is given as the text that was in the file.
std::optional<QString> textOf(const QVariant& value) {
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (!value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

// QSettings reads any file leniently and then writes back only what it understood: a store file
// is used only when every line reads back as it was (blank, comment, "[section]", "name=value").
bool storeFileIsSound(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return false;
    bool continued = false;
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        const bool sound = continued || line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#') ||
                           (line.startsWith(u'[') && line.endsWith(u']')) ||
                           (line.contains(u'=') && !line.startsWith(u'['));
        if (!sound)
            return false;
        continued = line.endsWith(u'\\');
    }
    return true;
}

class Store {
public:
    Store(const QString& company, const QString& appName) {
        // An empty name would make QSettings fall back to a made-up folder.
        if (company.isEmpty() || appName.isEmpty())
            return;
        m_settings =
            std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, company, appName);
        // Only the user's own key counts, never a system-wide copy.
        m_settings->setFallbacksEnabled(false);
        // On Windows the name is a registry path, which is no file.
        const QString path = m_settings->fileName();
        m_damaged = QFileInfo::exists(path) && !storeFileIsSound(path);
    }

    // A store that could not be written still reads what is on disk: a failed write leaves
    // QSettings reporting an access error until its next successful write.
    bool readable() const {
        return m_settings && !m_damaged && m_settings->status() != QSettings::FormatError;
    }
    // Success when the store can take a write; otherwise what stands in the way.
    Status writable() const {
        if (!m_settings)
            return Error{ErrorCode::InvalidInput, "the settings store needs a company and a program name"};
        if (!readable())
            return Error{ErrorCode::InvalidInput,
                         "the settings store " + path() +
                             " holds lines it cannot write back; it is left as it is"};
        return status();
    }
    QSettings& settings() { return *m_settings; }

    Status commit() {
        m_settings->sync();
        return status();
    }

private:
    std::string path() const { return m_settings->fileName().toStdString(); }
    Status status() const {
        if (m_settings->status() == QSettings::NoError)
            return {};
        return Error{ErrorCode::AccessDenied, "cannot write the settings store " + path()};
    }

    std::unique_ptr<QSettings> m_settings;
    bool m_damaged = false;
};

// Puts a name back as it was before a write that did not reach the disk, so a later read
// or a later successful write does not pass the lost value off as stored.
void restore(QSettings& settings, const QString& name, const QVariant& previous) {
    if (previous.isValid())
        settings.setValue(name, previous);
    else
        settings.remove(name);
}

} // namespace

KeyStore::KeyStore()
    : m_company(QString::fromUtf8(kMakerCompany)), m_appName(QString::fromUtf8(kProductName)) {}

void KeyStore::setCompany(const QString& newVal) {
    m_company = newVal.isEmpty() ? QString::fromUtf8(kMakerCompany) : trimSpaces(newVal);
}

void KeyStore::setAppName(const QString& newVal) {
    m_appName = newVal.isEmpty() ? QString::fromUtf8(kProductName) : trimSpaces(newVal);
}

Status KeyStore::remove(const QString& section, const QString& key) {
    Store store(m_company, m_appName);
    if (Status writable = store.writable(); !writable)
        return writable;
    QSettings& s = store.settings();
    const QString group = groupOf(section);
    const Error missing{ErrorCode::NotFound, "there is no " +
                                                 (key.isNull() ? "section '" + section.toStdString()
                                                               : "value '" + key.toStdString()) +
                                                 "' to delete"};
    if (key.isNull()) {
        // The application key holds every caller's values: an empty section is more likely a mistake.
        if (QString(group).remove(u'/').isEmpty())
            return Error{ErrorCode::InvalidInput, "the application key itself is not deleted"};
        s.beginGroup(group);
        const bool exists = !s.childKeys().isEmpty() || !s.childGroups().isEmpty();
        s.endGroup();
        if (!exists)
            return missing;
        s.remove(group);
        return store.commit();
    }
    s.beginGroup(group);
    const QString name = storeName(key);
    const QVariant previous = s.value(name);
    if (!previous.isValid())
        return missing;
    s.remove(name);
    Status committed = store.commit();
    if (!committed)
        restore(s, name, previous);
    return committed;
}

std::vector<std::pair<QString, QString>> KeyStore::allValues(const QString& section) const {
    std::vector<std::pair<QString, QString>> rows;
    Store store(m_company, m_appName);
    if (!store.readable())
        return rows;
    QSettings& s = store.settings();
    s.beginGroup(groupOf(section));
    for (const QString& stored : s.childKeys()) {
        if (const auto text = textOf(s.value(stored)))
            rows.emplace_back(userName(stored), *text);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return rows;
}

QString KeyStore::value(const QString& section, const QString& key, const QString& defaultValue) const {
    Store store(m_company, m_appName);
    if (!store.readable())
        return defaultValue;
    QSettings& s = store.settings();
    s.beginGroup(groupOf(section));
    const auto text = textOf(s.value(storeName(key)));
    return text && !text->isEmpty() ? *text : defaultValue;
}

Status KeyStore::setValue(const QString& section, const QString& key, const QString& setting) {
    Store store(m_company, m_appName);
    if (Status writable = store.writable(); !writable)
        return writable;
    QSettings& s = store.settings();
    s.beginGroup(groupOf(section));
    const QString name = storeName(key);
    const QVariant previous = s.value(name);
    s.setValue(name, setting);
    Status committed = store.commit();
    if (!committed)
        restore(s, name, previous);
    return committed;
}

Status writeMakerInformation(KeyStore& settings) {
    // Each is tried even when one before it failed; the first failure is the answer.
    Status author = settings.setValue(QString(), QStringLiteral("Author"), QString::fromUtf8(kMakerAuthor));
    Status web = settings.setValue(QString(), QStringLiteral("Web"), QString::fromUtf8(kMakerWeb));
    Status mail = settings.setValue(QString(), QStringLiteral("Mail"), QString::fromUtf8(kMakerMail));
    return !author ? author : !web ? web : mail;
}

} // namespace quillmark
