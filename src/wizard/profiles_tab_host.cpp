#include "wizard/profiles_tab_host.h"

#include "platform/paths.h"
#include "profiles/profiles_tab.h"
#include "settings/name_case.h"
#include "ui/help.h"
#include "ui/text_codec.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

namespace quillmark {

ProfilesTabHost::ProfilesTabHost(ProfilesTab& tab, Settings& settings, Prompter& prompter,
                                 QWidget* mainWindow, std::function<std::string()> sigPath)
    : m_tab(tab), m_settings(settings), m_prompter(prompter), m_mainWindow(mainWindow),
      m_sigPath(std::move(sigPath)) {}

std::string ProfilesTabHost::sigPath() const {
    return StripTrailingBackslash(m_sigPath());
}

bool ProfilesTabHost::hasProfile(std::string_view name) const {
    if (const auto* list = m_tab.findChild<QComboBox*>(QStringLiteral("cmbProfile"))) {
        for (int i = 0; i < list->count(); ++i)
            if (sameNameIgnoringCase(list->itemData(i).toByteArray().toStdString(), name))
                return true;
    }
    return findProfileSlotIgnoringCase(m_settings, name, ScanRead::Plain) != 0;
}

Status ProfilesTabHost::saveProfile(const ProfileRecord& record) {
    auto* list = m_tab.findChild<QComboBox*>(QStringLiteral("cmbProfile"));
    const std::array<QLineEdit*, 3> txtFile = {m_tab.findChild<QLineEdit*>(QStringLiteral("txtFile0")),
                                               m_tab.findChild<QLineEdit*>(QStringLiteral("txtFile1")),
                                               m_tab.findChild<QLineEdit*>(QStringLiteral("txtFile2"))};
    auto* cmdSaveFileSettings = m_tab.findChild<QPushButton*>(QStringLiteral("cmdSaveFileSettings"));
    auto* cmdMakeCurrent = m_tab.findChild<QPushButton*>(QStringLiteral("cmdMakeCurrent"));
    if (!list || !txtFile[0] || !txtFile[1] || !txtFile[2] || !cmdSaveFileSettings || !cmdMakeCurrent)
        return Error{ErrorCode::Other, "the Profiles tab lacks the controls to store a profile"};
    // Checked before the list changes: the tab's Save would refuse only after the name was in it.
    if (findSlotForSave(m_settings, record.name) == 0)
        return Error{ErrorCode::Other, "all " + std::to_string(intMaxProfiles) + " profiles are in use"};

    list->addItem(textFromBytes(record.name), QByteArray::fromStdString(record.name));
    list->setCurrentIndex(list->count() - 1);
    m_tab.subBuildProfileMenu();
    setBytes(txtFile[0], record.headerFile);
    setBytes(txtFile[1], record.footerFile);
    setBytes(txtFile[2], record.sigFile);
    cmdSaveFileSettings->click();
    cmdMakeCurrent->click();
    return {};
}

void ProfilesTabHost::showHelp(const QString& page, QWidget* asker) {
    subShowHelp(m_prompter, page, asker);
}

void ProfilesTabHost::wizardClosed() {
    if (!m_mainWindow)
        return;
    m_mainWindow->showNormal();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

} // namespace quillmark
