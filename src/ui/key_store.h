#pragma once
// KeyStore: string values in the current user's settings store under
// <company>\<appName> (HKEY_CURRENT_USER\Software\... on Windows, the per-user
// configuration file <config folder>/<company>/<appName>.conf elsewhere).
//
// A section is a key path below the application key ("" is the application key itself,
// "\" or "/" separate deeper keys). Value names are kept exactly as given: "/" and "\" in
// a name do not open a deeper key. The name "*" (or "") is the key's default value.
// Texts are stored as Unicode; any text without a NUL character reads back unchanged.

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

    // Without a key the section's key is removed with everything below it; the application
    // key itself (section "") is never removed that way (InvalidInput). NotFound when there
    // was nothing to delete; an error too when the store could not be written.
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

// Records who makes the program ("Author", "Web", "Mail") under the application key.
// Success when all three were written.
Status writeMakerInformation(KeyStore& settings);

} // namespace quillmark
