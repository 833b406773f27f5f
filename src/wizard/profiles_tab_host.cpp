#include "wizard/profiles_tab_host.h"

#include "platform/paths.h"
#include "profiles/profiles_tab.h"
#include "ui/help.h"
#include "ui/window_place.h"

#include <QWidget>

namespace quillmark {

ProfilesTabHost::ProfilesTabHost(ProfilesTab& tab, Settings& settings, Prompter& prompter,
                                 QWidget* mainWindow, std::function<std::string()> sigPath)
    : m_tab(tab), m_settings(settings), m_prompter(prompter), m_mainWindow(mainWindow),
      m_sigPath(std::move(sigPath)) {}

std::string ProfilesTabHost::sigPath() const {
    return stripTrailingBackslash(m_sigPath());
}

bool ProfilesTabHost::hasProfile(std::string_view name) const {
    return m_tab.listsProfile(name) || findProfileSlotIgnoringCase(m_settings, name, ScanRead::Plain) != 0;
}

Status ProfilesTabHost::checkRoom(std::string_view name) {
    // Said in the wizard's words; the store refuses a full list too, in its own.
    if (findSlotForSave(m_settings, name) == 0)
        return Error{ErrorCode::Other, "all " + std::to_string(kMaxProfiles) + " profiles are in use"};
    return {};
}

Status ProfilesTabHost::saveProfile(const ProfileRecord& record) {
    if (const Status room = checkRoom(record.name); !room)
        return room;
    return m_tab.addProfile(record);
}

void ProfilesTabHost::showHelp(const QString& page, QWidget* asker) {
    quillmark::showHelp(m_prompter, page, asker);
}

void ProfilesTabHost::wizardClosed() {
    if (!m_mainWindow)
        return;
    bringWindowBack(m_mainWindow);
}

} // namespace quillmark
