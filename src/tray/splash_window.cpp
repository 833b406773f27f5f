#include "tray/splash_window.h"

#include "base/version.h"
#include "ui/window_place.h"
#include "ui_splash_window.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

// The pictures are compiled into the static UI library, so they must be registered by hand.
static void initTrayResources() {
    Q_INIT_RESOURCE(tray);
}

namespace quillmark {

namespace {

QIcon quillmarkIcon() {
    QIcon icon;
    for (int size : {16, 32, 64, 256})
        icon.addFile(QStringLiteral(":/tray/quillmark_%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

SplashWindow::SplashWindow(QWidget* mainWindow, bool showSplash, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::SplashWindow>()), m_mainWindow(mainWindow) {
    initTrayResources();
    m_ui->setupUi(this);
    setWindowIcon(quillmarkIcon());
    m_ui->lblVersion->setText(QString::fromStdString(programVersionLabel()));

    buildMenu();

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(m_mainWindow ? m_mainWindow->windowTitle() : QString());
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, &SplashWindow::iconActivated);
    // Shown even without a tray: Qt embeds the icon in a tray that starts (or restarts) later.
    m_tray->show();

    if (showSplash) {
        adjustSize();
        centreOn(this, screen());
        show();
        raise();
        // Start-up runs before the event loop; paint now or the user sees an empty frame.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        repaint();
    }
}

SplashWindow::~SplashWindow() {
    // The icon must not outlive the program in the tray.
    m_tray->hide();
}

void SplashWindow::hideSplash() {
    hide();
}

bool SplashWindow::canHideToTray() const {
    return m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

// The tray's menu, whose profile items change at run time, which a form file cannot describe.
void SplashWindow::buildMenu() {
    m_trayMenu = new QMenu(QStringLiteral("&SysTray"), this);
    m_trayMenu->setObjectName(QStringLiteral("mPopupSys"));
    auto add = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    add(m_trayMenu, "mnuProfileTitle", QStringLiteral("Profiles"))->setVisible(false);
    m_profileEnd = m_trayMenu->addSeparator();
    newProfileAction(QStringLiteral("Profile"))->setVisible(false); // the template

    QMenu* mnuClipboard = m_trayMenu->addMenu(QStringLiteral("Clipboard"));
    mnuClipboard->setObjectName(QStringLiteral("mnuClipboard"));
    mnuClipboard->menuAction()->setObjectName(QStringLiteral("mnuClipboardItem"));
    QAction* mnuEncryptClipboard =
        add(mnuClipboard, "mnuEncryptClipboard", QStringLiteral("&Encrypt Clipboard"));
    QAction* mnuDecryptClipboard =
        add(mnuClipboard, "mnuDecryptClipboard", QStringLiteral("&Decrypt Clipboard"));
    QAction* mnuCopy = add(mnuClipboard, "mnuCopy", QStringLiteral("&Copy Sig to Clipboard"));
    m_trayMenu->addSeparator();
    QAction* mnuAbout = add(m_trayMenu, "mnuAbout", QStringLiteral("&About Quillmark"));
    QAction* mnuHelp = add(m_trayMenu, "mnuHelp", QStringLiteral("&Help"));
    m_trayMenu->addSeparator();
    QAction* mPopRestore = add(m_trayMenu, "mPopRestore", QStringLiteral("&MAIN SCREEN"));
    m_trayMenu->addSeparator();
    QAction* mnuNextSig = add(m_trayMenu, "mnuNextSig", QStringLiteral("&Next Sig"));
    QAction* mPopExit = add(m_trayMenu, "mPopExit", QStringLiteral("&Exit"));

    connect(mnuEncryptClipboard, &QAction::triggered, this, &SplashWindow::encryptClipboardRequested);
    connect(mnuDecryptClipboard, &QAction::triggered, this, &SplashWindow::decryptClipboardRequested);
    connect(mnuCopy, &QAction::triggered, this, &SplashWindow::copyRequested);
    connect(mnuAbout, &QAction::triggered, this, &SplashWindow::aboutRequested);
    connect(mnuHelp, &QAction::triggered, this, &SplashWindow::helpRequested);
    connect(mPopRestore, &QAction::triggered, this, &SplashWindow::restoreMainWindow);
    connect(mnuNextSig, &QAction::triggered, this, &SplashWindow::nextSigRequested);
    connect(mPopExit, &QAction::triggered, this, &SplashWindow::exitRequested);
}

// Profile items sit between the title and the separator that ends them, in list order.
QAction* SplashWindow::newProfileAction(const QString& caption) {
    auto* action = new QAction(caption, m_trayMenu);
    action->setObjectName(QStringLiteral("mnuProfile"));
    action->setCheckable(true);
    m_trayMenu->insertAction(m_profileEnd, action);
    connect(action, &QAction::triggered, this, [this, action](bool checked) {
        // The check mark follows the profile that became current (the store sets it), not a click.
        action->setChecked(!checked);
        emit profileChosen(action->text());
    });
    m_profileItems.push_back(action);
    return action;
}

void SplashWindow::removeProfileItems() {
    while (m_profileItems.size() > 1) {
        delete m_profileItems.back();
        m_profileItems.pop_back();
    }
}

void SplashWindow::addProfileItem(int index, const QString& caption) {
    if (index < 1)
        return; // item 0 is the template and keeps its caption
    while (static_cast<int>(m_profileItems.size()) <= index)
        newProfileAction(QString());
    QAction* item = m_profileItems[static_cast<size_t>(index)];
    item->setText(caption);
    item->setVisible(true);
}

int SplashWindow::profileItemCount() const {
    return static_cast<int>(m_profileItems.size());
}

QString SplashWindow::profileItemCaption(int index) const {
    if (index < 0 || index >= profileItemCount())
        return {};
    return m_profileItems[static_cast<size_t>(index)]->text();
}

void SplashWindow::setProfileItemChecked(int index, bool checked) {
    if (index >= 0 && index < profileItemCount())
        m_profileItems[static_cast<size_t>(index)]->setChecked(checked);
}

void SplashWindow::iconActivated(QSystemTrayIcon::ActivationReason reason) {
    // A right click opens the context menu by itself; left and double clicks bring the window back.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        restoreMainWindow();
}

void SplashWindow::restoreMainWindow() {
    if (m_mainWindow)
        bringWindowBack(m_mainWindow);
}

} // namespace quillmark
