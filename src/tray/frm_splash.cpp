#include "tray/frm_splash.h"

#include "platform/version.h"
#include "ui_frm_splash.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>

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

frmSplash::frmSplash(QWidget* mainWindow, bool showSplash, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::SplashWindow>()), m_mainWindow(mainWindow) {
    initTrayResources();
    m_ui->setupUi(this);
    setWindowIcon(quillmarkIcon());
    m_ui->lblVersion->setText(QString::fromStdString(programVersionLabel()));

    buildMenu();

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(m_mainWindow ? m_mainWindow->windowTitle() : QString());
    m_tray->setContextMenu(mPopupSys);
    connect(m_tray, &QSystemTrayIcon::activated, this, &frmSplash::iconActivated);
    // Shown even when no tray runs yet: Qt embeds the icon in a tray that starts (or
    // restarts) later, so the icon is never given up.
    m_tray->show();

    if (showSplash) {
        adjustSize();
        if (const QScreen* where = screen()) {
            const QRect area = where->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
        show();
        raise();
        // Start-up runs before the event loop; paint now or the user sees an empty frame.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        repaint();
    }
}

frmSplash::~frmSplash() {
    // The icon must not outlive the program in the tray.
    m_tray->hide();
}

void frmSplash::hideSplash() {
    hide();
}

bool frmSplash::canHideToTray() const {
    return m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

// A pop-up menu that belongs to the tray icon, not to a menu bar or a window, and whose
// profile items are added and removed at run time before a separator held here: the form
// file has no clean way to describe it, so it is built in code.
void frmSplash::buildMenu() {
    mPopupSys = new QMenu(QStringLiteral("&SysTray"), this);
    mPopupSys->setObjectName(QStringLiteral("mPopupSys"));
    auto add = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    add(mPopupSys, "mnuProfileTitle", QStringLiteral("Profiles"))->setVisible(false);
    m_profileEnd = mPopupSys->addSeparator();
    newProfileAction(QStringLiteral("Profile"))->setVisible(false); // the template

    QMenu* mnuClipboard = mPopupSys->addMenu(QStringLiteral("Clipboard"));
    mnuClipboard->setObjectName(QStringLiteral("mnuClipboard"));
    mnuClipboard->menuAction()->setObjectName(QStringLiteral("mnuClipboardItem"));
    QAction* mnuEncryptClipboard =
        add(mnuClipboard, "mnuEncryptClipboard", QStringLiteral("&Encrypt Clipboard"));
    QAction* mnuDecryptClipboard =
        add(mnuClipboard, "mnuDecryptClipboard", QStringLiteral("&Decrypt Clipboard"));
    QAction* mnuCopy = add(mnuClipboard, "mnuCopy", QStringLiteral("&Copy Sig to Clipboard"));
    mPopupSys->addSeparator();
    QAction* mnuAbout = add(mPopupSys, "mnuAbout", QStringLiteral("&About Quillmark"));
    QAction* mnuHelp = add(mPopupSys, "mnuHelp", QStringLiteral("&Help"));
    mPopupSys->addSeparator();
    QAction* mPopRestore = add(mPopupSys, "mPopRestore", QStringLiteral("&MAIN SCREEN"));
    mPopupSys->addSeparator();
    QAction* mnuNextSig = add(mPopupSys, "mnuNextSig", QStringLiteral("&Next Sig"));
    QAction* mPopExit = add(mPopupSys, "mPopExit", QStringLiteral("&Exit"));

    connect(mnuEncryptClipboard, &QAction::triggered, this, &frmSplash::encryptClipboardRequested);
    connect(mnuDecryptClipboard, &QAction::triggered, this, &frmSplash::decryptClipboardRequested);
    connect(mnuCopy, &QAction::triggered, this, &frmSplash::copyRequested);
    connect(mnuAbout, &QAction::triggered, this, &frmSplash::aboutRequested);
    connect(mnuHelp, &QAction::triggered, this, &frmSplash::helpRequested);
    connect(mPopRestore, &QAction::triggered, this, &frmSplash::restoreMainWindow);
    connect(mnuNextSig, &QAction::triggered, this, &frmSplash::nextSigRequested);
    connect(mPopExit, &QAction::triggered, this, &frmSplash::exitRequested);
}

// Profile items sit between the title and the separator that ends them, in list order.
QAction* frmSplash::newProfileAction(const QString& caption) {
    auto* action = new QAction(caption, mPopupSys);
    action->setObjectName(QStringLiteral("mnuProfile"));
    action->setCheckable(true);
    mPopupSys->insertAction(m_profileEnd, action);
    connect(action, &QAction::triggered, this, [this, action](bool checked) {
        // The check mark follows the profile that actually became current, which the
        // profile procedures set; a click alone must not move it.
        action->setChecked(!checked);
        emit profileChosen(action->text());
    });
    mnuProfile.push_back(action);
    return action;
}

void frmSplash::removeProfileItems() {
    while (mnuProfile.size() > 1) {
        delete mnuProfile.back();
        mnuProfile.pop_back();
    }
}

void frmSplash::addProfileItem(int index, const QString& caption) {
    if (index < 1)
        return; // item 0 is the template and keeps its caption
    while (static_cast<int>(mnuProfile.size()) <= index)
        newProfileAction(QString());
    QAction* item = mnuProfile[static_cast<size_t>(index)];
    item->setText(caption);
    item->setVisible(true);
}

int frmSplash::profileItemCount() const {
    return static_cast<int>(mnuProfile.size());
}

QString frmSplash::profileItemCaption(int index) const {
    if (index < 0 || index >= profileItemCount())
        return {};
    return mnuProfile[static_cast<size_t>(index)]->text();
}

void frmSplash::setProfileItemChecked(int index, bool checked) {
    if (index >= 0 && index < profileItemCount())
        mnuProfile[static_cast<size_t>(index)]->setChecked(checked);
}

void frmSplash::iconActivated(QSystemTrayIcon::ActivationReason reason) {
    // A right click opens the context menu by itself; left and double clicks bring the window back.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        restoreMainWindow();
}

void frmSplash::restoreMainWindow() {
    if (m_mainWindow)
        bringWindowBack(m_mainWindow);
    emit restoreRequested();
}

void bringWindowBack(QWidget* window) {
    window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace quillmark
