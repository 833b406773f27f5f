#include "ui/key_store.h"

#include "base/product_info.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace quillmark {

namespace {

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
    Store()
        : m_settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(kMakerCompany),
                     QString::fromUtf8(kProductName)) {
        // Only the user's own key counts, never a system-wide copy.
        m_settings.setFallbacksEnabled(false);
        // On Windows the name is a registry path, which is no file.
        const QString path = m_settings.fileName();
        m_damaged = QFileInfo::exists(path) && !storeFileIsSound(path);
    }

    // A store that could not be written still reads what is on disk: a failed write leaves
    // QSettings reporting an access error until its next successful write.
    bool readable() const { return !m_damaged && m_settings.status() != QSettings::FormatError; }
    // Success when the store can take a write; otherwise what stands in the way.
    Status writable() const {
        if (!readable())
            return Error{ErrorCode::InvalidInput,
                         "the settings store " + path() +
                             " holds lines it cannot write back; it is left as it is"};
        return status();
    }
    QSettings& settings() { return m_settings; }

    Status commit() {
        m_settings.sync();
        return status();
    }

private:
    std::string path() const { return m_settings.fileName().toStdString(); }
    Status status() const {
        if (m_settings.status() == QSettings::NoError)
            return {};
        return Error{ErrorCode::AccessDenied, "cannot write the settings store " + path()};
    }

    QSettings m_settings;
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

Status KeyStore::remove(const QString& section, const QString& key) {
    Store store;
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

QString KeyStore::value(const QString& section, const QString& key, const QString& defaultValue) const {
    Store store;
    if (!store.readable())
        return defaultValue;
    QSettings& s = store.settings();
    s.beginGroup(groupOf(section));
    const auto text = textOf(s.value(storeName(key)));
    return text && !text->isEmpty() ? *text : defaultValue;
}

Status KeyStore::setValue(const QString& section, const QString& key, const QString& setting) {
    Store store;
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
