#include "ui/about_box.h"

#include "base/product_info.h"
#include "base/version.h"
#include "platform/error_handler.h"
#include "ui/shell_open.h"
#include "ui/window_place.h"
#include "ui_about_box.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

// Pictures compiled into the static UI library are registered only when asked for. The
// About box shows the splash screen's picture.
static void registerAboutPictures() {
    Q_INIT_RESOURCE(tray);
}

namespace quillmark {

namespace {

const QString kBuiltInPicture = QStringLiteral(":/tray/quillmark_256.png");
// Room for the 256-pixel picture on the left and the text beside it.
constexpr QSize kWindowSize(560, 280);

QPointer<AboutBox>& openWindow() {
    static QPointer<AboutBox> window;
    return window;
}

} // namespace

AboutBox* AboutBox::showAbout(Prompter& prompter, QWidget* parent) {
    QPointer<AboutBox>& window = openWindow();
    if (!window)
        window = new AboutBox(prompter, parent);
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

AboutBox::AboutBox(Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_ui(std::make_unique<Ui::AboutBox>()) {
    registerAboutPictures();
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The product's name and the makers' addresses are the ones the whole program uses.
    setWindowTitle(QStringLiteral("About ") + QString::fromUtf8(kProductName));
    m_ui->lblTitle->setText(QString::fromUtf8(kProductName));
    m_ui->lblWeb->setText(QString::fromUtf8(kMakerWeb));
    m_ui->lblMail->setText(QString::fromUtf8(kMakerMail));
    // The title is larger than the user's own font, whatever size that is.
    QFont titleFont = m_ui->lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    m_ui->lblTitle->setFont(titleFont);
    // The picture lies under the whole window at its own size, on the left; the text sits
    // to its right (the layout's left margin).
    m_ui->imgAbout->lower();
    for (QLabel* link : {m_ui->lblWeb, m_ui->lblMail})
        link->installEventFilter(this);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &QDialog::close);

    load();
}

AboutBox::~AboutBox() = default;

void AboutBox::load() {
    m_ui->lblVersion->setText(QString::fromStdString(programVersionLabel()));

    const QPixmap picture(kBuiltInPicture);
    if (picture.isNull()) {
        // The box is still useful without its picture; say so once per run, not per opening.
        static bool logged = false;
        if (!logged) {
            logError("frmAbout_Load", "cannot read the picture " + kBuiltInPicture.toStdString());
            logged = true;
        }
    } else {
        m_ui->imgAbout->setPixmap(picture);
    }
    // Large fonts may need more room for the text.
    setFixedSize(kWindowSize.expandedTo(minimumSizeHint()));
    m_ui->imgAbout->setGeometry(rect());

    centreOn(this, parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen());
    m_ui->cmdOK->setFocus();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_ui->lblWeb || watched == m_ui->lblMail) {
            openDocument(m_prompter, watched == m_ui->lblWeb
                                         ? QString::fromUtf8(kMakerWeb)
                                         : QStringLiteral("mailto:") + QString::fromUtf8(kMakerMail));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_ui->cmdOK->setFocus();
}

void AboutBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_ui->imgAbout->setGeometry(rect());
}

} // namespace quillmark
