#include "ui/frm_about.h"

#include "platform/error_handler.h"
#include "platform/product_info.h"
#include "platform/version.h"
#include "ui/shell_open.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

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
constexpr int kTextLeft = 280;

QPointer<frmAbout>& openWindow() {
    static QPointer<frmAbout> window;
    return window;
}

QString& picturePath() {
    static QString path;
    return path;
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// Looks like a link and opens on a click; the caption stays the plain address.
void makeLinkLike(QLabel* label) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #2f5b8a;"));
    label->setCursor(Qt::PointingHandCursor);
}

} // namespace

frmAbout* frmAbout::showAbout(Prompter& prompter, QWidget* parent) {
    QPointer<frmAbout>& window = openWindow();
    if (!window)
        window = new frmAbout(prompter, parent);
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

frmAbout* frmAbout::current() {
    return openWindow();
}

void frmAbout::setPicturePath(const QString& path) {
    picturePath() = path;
}

frmAbout::frmAbout(Prompter& prompter, QWidget* parent) : QDialog(parent), m_prompter(prompter) {
    registerAboutPictures();
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("About ") + fromView(kProductName));

    // The picture lies under the whole window at its own size, on the left; the text sits
    // to its right.
    imgAbout = makeLabel(this, "imgAbout", QString());
    imgAbout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    imgAbout->setIndent(12);
    imgAbout->lower();

    auto* lblTitle = makeLabel(this, "lblTitle", fromView(kProductName));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = makeLabel(this, "lblVersion", QString());
    auto* lblNotice =
        makeLabel(this, "lblNotice",
                  QStringLiteral("Quillmark is free software: use it, share it and change it as you "
                                 "like. The sample sayings in the Sigs folder are well-known "
                                 "quotations, there for you to replace with your own."));
    lblNotice->setWordWrap(true);
    auto* lblWebCaption = makeLabel(this, "lblWebCaption", QStringLiteral("web:"));
    lblWeb = makeLabel(this, "lblWeb", fromView(kMakerWeb));
    auto* lblEmail = makeLabel(this, "lblEmail", QStringLiteral("e-mail :"));
    lblMail = makeLabel(this, "lblMail", fromView(kMakerMail));
    for (QLabel* link : {lblWeb, lblMail}) {
        makeLinkLike(link);
        link->installEventFilter(this);
    }
    cmdOK = new QPushButton(QStringLiteral("OK!"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(kTextLeft, 18, 18, 14);
    grid->addWidget(lblTitle, 0, 0, 1, 2);
    grid->addWidget(lblVersion, 1, 0, 1, 2);
    grid->addWidget(lblNotice, 2, 0, 1, 2);
    grid->addWidget(lblWebCaption, 3, 0);
    grid->addWidget(lblWeb, 3, 1);
    grid->addWidget(lblEmail, 4, 0);
    grid->addWidget(lblMail, 4, 1);
    grid->addWidget(cmdOK, 5, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    frmAbout_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::frmAbout_Load() {
    lblVersion->setText(QString::fromStdString(programVersionLabel()));

    const QString path = picturePath().isEmpty() ? kBuiltInPicture : picturePath();
    const QPixmap picture(path);
    if (picture.isNull()) {
        // The box is still useful without its picture; say so once per run, not per opening.
        static bool logged = false;
        if (!logged) {
            LogError("frmAbout_Load", "cannot read the picture " + path.toStdString());
            logged = true;
        }
    } else {
        imgAbout->setPixmap(picture);
    }
    // Large fonts may need more room for the text.
    setFixedSize(kWindowSize.expandedTo(minimumSizeHint()));
    imgAbout->setGeometry(rect());

    if (const QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    cmdOK->setFocus();
}

void frmAbout::lblWeb_Click() {
    OpenDocument(m_prompter, fromView(kMakerWeb));
}

void frmAbout::lblMail_Click() {
    OpenDocument(m_prompter, QStringLiteral("mailto:") + fromView(kMakerMail));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblWeb) {
            lblWeb_Click();
            return true;
        }
        if (watched == lblMail) {
            lblMail_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        cmdOK->setFocus();
}

void frmAbout::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    imgAbout->setGeometry(rect());
}

} // namespace quillmark
