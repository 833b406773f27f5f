#pragma once
// The splash window while the program starts, and for the whole run the owner of the tray icon
// and its menu, the user's way back to the main window (the menu is built in code).

#include "profiles/profile_menu.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace Ui {
class SplashWindow;
}

namespace quillmark {

class SplashWindow : public QWidget, public ProfileMenu {
    Q_OBJECT
public:
    // `mainWindow` is the window the icon brings back, its caption now the icon's tooltip. The splash
    // shows only when `showSplash`; the icon always does.
    SplashWindow(QWidget* mainWindow, bool showSplash, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // Start-up has finished: the splash goes, the icon stays.
    void hideSplash();

    // Minimising may hide the main window only while a tray shows our icon to bring it back.
    bool canHideToTray() const;

    QSystemTrayIcon* trayIcon() const { return m_tray; }

    void removeProfileItems() override;
    void addProfileItem(int index, const QString& caption) override;
    int profileItemCount() const override;
    QString profileItemCaption(int index) const override;
    void setProfileItemChecked(int index, bool checked) override;

signals:
    void nextSigRequested();
    void copyRequested();
    void profileChosen(const QString& name);
    void encryptClipboardRequested();
    void decryptClipboardRequested();
    void aboutRequested();
    void helpRequested();
    void exitRequested();

private:
    void buildMenu();
    QAction* newProfileAction(const QString& caption);
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void restoreMainWindow();

    std::unique_ptr<Ui::SplashWindow> m_ui;
    QWidget* m_mainWindow;
    QSystemTrayIcon* m_tray;
    QMenu* m_trayMenu;
    std::vector<QAction*> m_profileItems; // element 0 is the hidden template
    QAction* m_profileEnd;                // the separator after the profile items
};

} // namespace quillmark
