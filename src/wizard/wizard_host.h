#pragma once
// What the wizard needs from the main window, so a profile made here is stored and made current
// exactly as one made by hand.

#include "base/result.h"
#include "profiles/profile_store.h"

#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace quillmark {

class WizardHost {
public:
    virtual ~WizardHost() = default;

    // The signature folder, without a trailing separator.
    virtual std::string sigPath() const = 0;
    // Whether the profile list or the settings file already holds `name`, in any letter case.
    virtual bool hasProfile(std::string_view name) const = 0;
    // Whether a profile called `name` can be stored now: an error when every slot is in use.
    virtual Status checkRoom(std::string_view name) = 0;
    // Stores the profile, lists it and makes it current; an error, nothing stored, when it cannot.
    virtual Status saveProfile(const ProfileRecord& record) = 0;
    // Opens a help page; a missing page is reported over `asker`'s window.
    virtual void showHelp(const QString& page, QWidget* asker) = 0;
    // The wizard has closed: the main window comes into view.
    virtual void wizardClosed() = 0;
};

} // namespace quillmark
