#pragma once
// KeyStore: string values in the user's settings store under <company>\<appName> (the
// registry on Windows, <config folder>/<company>/<appName>.conf elsewhere). A section is a key
// path below the application key ("" itself; "\" or "/" separate deeper keys). Value names are
// kept exactly ("/" and "\" open no deeper key); "*" (or "") is the default value. Any text
// without a NUL reads back unchanged.

#include "base/result.h"

#include <QString>

#include <utility>
#include <vector>

namespace quillmark {

class KeyStore {
public:
    KeyStore();

    // Leading and trailing spaces are dropped; an empty text restores the default. A text
    // of spaces only leaves the name empty, and the store cannot be used until it is set.
    void setCompany(const QString& newVal);
    const QString& company() const { return m_company; }
    void setAppName(const QString& newVal);
    const QString& appName() const { return m_appName; }

    // Without a key the section's key goes with everything below it (never the application key:
    // InvalidInput). NotFound when there was nothing to delete; an error when the write failed.
    Status remove(const QString& section, const QString& key = QString());

    // Every value of the section's key as (name, data), in name order (character codes),
    // the default value first under the name "". Deeper keys are not listed.
    std::vector<std::pair<QString, QString>> allValues(const QString& section) const;

    // The value's text, or `defaultValue` when the value is missing, empty or unreadable.
    QString value(const QString& section, const QString& key, const QString& defaultValue = QString()) const;

    // Creates the section's key when needed and writes the value; success once it is stored.
    Status setValue(const QString& section, const QString& key, const QString& setting);

private:
    QString m_company;
    QString m_appName;
};

// Records "Author", "Web" and "Mail" under the application key; success when all three were.
Status writeMakerInformation(KeyStore& settings);

} // namespace quillmark
