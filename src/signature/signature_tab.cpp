#include "signature/signature_tab.h"

#include "platform/error_handler.h"
#include "platform/local_time.h"
#include "settings/typed_settings.h"
#include "signature/compose.h"
#include "signature/random.h"
#include "ui/clipboard.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <ctime>

namespace quillmark {

namespace {

// Before the first tick has set the period from the interval; short, so that a new
// signature follows start-up within a second.
constexpr int kFirstTickMs = 500;
constexpr int kSliderMax = 600;

const QString kPause = QStringLiteral("&Pause");
const QString kResume = QStringLiteral("&Resume");

std::int64_t systemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The preview shows the beginning of a large signature: a text box holding hundreds of
// megabytes takes many times that in memory and seconds to lay out.
constexpr std::size_t kPreviewBytes = 64 * 1024;

QString previewText(const std::string& signature) {
    if (signature.size() <= kPreviewBytes)
        return textFromBytes(signature);
    // Not inside a UTF-8 sequence, which would show the whole preview as another encoding.
    std::size_t cut = kPreviewBytes;
    while (cut > kPreviewBytes - 3 && (static_cast<unsigned char>(signature[cut]) & 0xC0) == 0x80)
        --cut;
    return textFromBytes(std::string_view(signature).substr(0, cut)) +
           SignatureTab::tr("\n\n[The preview ends here; the output file holds the whole signature, "
                            "%1 bytes.]")
               .arg(signature.size());
}

} // namespace

SignatureTab::SignatureTab(SignatureState& state, Prompter& prompter, RandomSource& random, QWidget* parent)
    : QWidget(parent), m_state(state), m_prompter(prompter), m_random(random), m_clock(systemSeconds) {
    lblCurrentSig = new QLabel(tr("Current Signature:"), this);
    lblCurrentSig->setObjectName(QStringLiteral("lblCurrentSig"));
    txtSig = new QPlainTextEdit(this);
    txtSig->setObjectName(QStringLiteral("txtSig"));
    txtSig->setReadOnly(true);
    txtSig->setLineWrapMode(QPlainTextEdit::NoWrap);

    cmdUpdate = new QPushButton(tr("&Next Sig"), this);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    cmdCopy = new QPushButton(tr("&Copy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdPause = new QPushButton(kPause, this);
    cmdPause->setObjectName(QStringLiteral("cmdPause"));
    chkAddSigDashes = new QCheckBox(tr("Add \"-- \" line above the signature"), this);
    chkAddSigDashes->setObjectName(QStringLiteral("chkAddSigDashes"));
    chkAddSigDashes->setChecked(m_state.blnAddDashes);

    auto* lblInterval = new QLabel(tr("New signature every"), this);
    txtInterval1 = new QLineEdit(this);
    txtInterval1->setObjectName(QStringLiteral("txtInterval1"));
    txtInterval1->setMaximumWidth(90);
    lblInterval->setBuddy(txtInterval1);
    lblTimeUnits = new QLabel(tr("seconds"), this);
    lblTimeUnits->setObjectName(QStringLiteral("lblTimeUnits"));
    sld1 = new QSlider(Qt::Horizontal, this);
    sld1->setObjectName(QStringLiteral("sld1"));
    sld1->setRange(0, kSliderMax);

    tmr1 = new QTimer(this);
    tmr1->setObjectName(QStringLiteral("tmr1"));
    tmr1->setInterval(kFirstTickMs);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUpdate);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdPause);
    buttons->addStretch(1);
    buttons->addWidget(chkAddSigDashes);
    auto* interval = new QHBoxLayout;
    interval->addWidget(lblInterval);
    interval->addWidget(txtInterval1);
    interval->addWidget(lblTimeUnits);
    interval->addWidget(sld1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCurrentSig);
    layout->addWidget(txtSig, 1);
    layout->addLayout(buttons);
    layout->addLayout(interval);

    connect(cmdUpdate, &QPushButton::clicked, this, &SignatureTab::cmdUpdate_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &SignatureTab::subCopySigToClipBoard);
    connect(chkAddSigDashes, &QCheckBox::toggled, this, [this](bool on) { m_state.blnAddDashes = on; });
    connect(cmdPause, &QPushButton::clicked, this, [this] {
        if (cmdPause->text() == kPause) {
            tmr1->stop();
            cmdPause->setText(kResume);
        } else {
            tmr1->start();
            cmdPause->setText(kPause);
        }
    });
    connect(txtInterval1, &QLineEdit::textEdited, this, &SignatureTab::intervalEdited);
    connect(txtInterval1, &QLineEdit::textChanged, this, &SignatureTab::intervalChanged);
    connect(txtInterval1, &QLineEdit::editingFinished, this, [this] {
        if (!isNumericText(txtInterval1->text()))
            txtInterval1->setText(QStringLiteral("0"));
    });
    // Only a move by the user writes the box: a value typed beyond the slider's range
    // must stay as typed rather than be cut to the slider's end.
    connect(sld1, &QSlider::valueChanged, this,
            [this](int value) { txtInterval1->setText(QString::number(value)); });
    connect(tmr1, &QTimer::timeout, this, &SignatureTab::tmr1_Timer);
}

// Only digits enter the interval box, however they come: typed, pasted or dropped. The
// rest of an edit stays ("12ab3" pasted gives "123"); text set by the program (a
// setting written by hand) is left as it is.
void SignatureTab::intervalEdited(const QString& text) {
    const QString& before = m_intervalText;
    qsizetype prefix = 0;
    while (prefix < text.size() && prefix < before.size() && text[prefix] == before[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < text.size() - prefix && suffix < before.size() - prefix &&
           text[text.size() - 1 - suffix] == before[before.size() - 1 - suffix])
        ++suffix;
    const QString inserted = text.mid(prefix, text.size() - prefix - suffix);
    QString digits;
    for (QChar c : inserted)
        if (c >= u'0' && c <= u'9')
            digits += c;
    if (digits.size() == inserted.size())
        return;
    // An edit that brings no digit at all is undone rather than clearing a selection.
    const int cursor = static_cast<int>(prefix + digits.size());
    txtInterval1->setText(digits.isEmpty() ? QString(before)
                                           : text.left(prefix) + digits + text.right(suffix));
    txtInterval1->setCursorPosition(cursor);
}

void SignatureTab::intervalChanged() {
    // The box's own text: an edit whose letters were taken out still reports its
    // first text after the corrected one.
    const QString text = txtInterval1->text();
    m_intervalText = text;
    lblTimeUnits->setText(text == QStringLiteral("1") ? tr("second") : tr("seconds"));
    const double value = intervalValue(text.toStdString());
    const int clamped = value <= sld1->minimum()   ? sld1->minimum()
                        : value >= sld1->maximum() ? sld1->maximum()
                                                   : static_cast<int>(value);
    QSignalBlocker block(sld1);
    sld1->setValue(clamped);
}

void SignatureTab::loadSettings(Settings& settings) {
    txtInterval1->setText(textFromBytes(readText(settings, keys::kInterval1)));
    chkAddSigDashes->setChecked(readFlag(settings, keys::kAddDashes));
    m_state.blnAddDashes = chkAddSigDashes->isChecked();
}

void SignatureTab::saveSettings(Settings& settings) {
    writeText(settings, keys::kInterval1, bytesFromText(txtInterval1->text()));
    writeFlag(settings, keys::kAddDashes, chkAddSigDashes->isChecked());
}

void SignatureTab::startUpdates() {
    tmr1->start();
}

void SignatureTab::setProportionalFont(bool proportional) {
    QFont font(proportional ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
    font.setStyleHint(proportional ? QFont::SansSerif : QFont::Monospace);
    txtSig->setFont(font);
}

void SignatureTab::subLoadFiles() {
    if (m_loading) {
        // Another profile became current while a file loads: start over with its files.
        m_loadAgain = true;
        return;
    }
    m_loading = true;
    m_stopLoading = false;
    // Sees the program's quit request, which cannot end the event loop while this runs.
    qApp->installEventFilter(this);
    do {
        m_loadAgain = false;
        loadList(m_state.strHeaderFile, m_state.astrHeaders);
        if (!m_loadAgain && !m_stopLoading)
            loadList(m_state.strFooterFile, m_state.astrFooters);
    } while (m_loadAgain && !m_stopLoading);
    qApp->removeEventFilter(this);
    m_loading = false;
    if (m_updatePending && !m_stopLoading) {
        m_updatePending = false;
        subUpdateSig();
    }
    m_updatePending = false;
}

bool SignatureTab::eventFilter(QObject* watched, QEvent* event) {
    if (m_loading && event->type() == QEvent::Quit)
        m_stopLoading = true;
    return QWidget::eventFilter(watched, event);
}

void SignatureTab::stopLoading() {
    if (m_loading)
        m_stopLoading = true;
}

// A large file takes seconds: the window's events run between pieces, and the list is
// replaced only once the whole file was read, so a list is never seen half filled.
void SignatureTab::loadList(const std::string& path, EntryList& list) {
    EntryFileLoader loader(path, m_state.strSeparator);
    const Result<bool> opened = loader.open();
    Status status = opened ? Status() : opened.error();
    while (status.ok() && *opened) {
        QCoreApplication::processEvents();
        if (m_stopLoading || m_loadAgain)
            return;
        const Result<bool> more = loader.readPiece();
        if (!more) {
            status = more.error();
        } else if (!*more) {
            list = loader.takeList();
            return;
        }
    }
    if (status.ok())
        return;
    m_prompter.message(this, QStringLiteral("subLoadFiles: \r") + textFromBytes(status.message()));
    LogError("subLoadFiles", status.message());
}

void SignatureTab::subUpdateSig() {
    if (m_loading) {
        // A tick or a button while a file loads: the signature follows once it is loaded.
        m_updatePending = true;
        return;
    }
    // The last signature goes before the next is composed: both could be large.
    if (!m_state.strSigFile.empty())
        std::string().swap(m_signature);
    SignatureUpdate update = updateSignature(m_state, m_random);
    lblCurrentSig->setText(QString::fromStdString(update.label));
    if (!update.composed)
        return;
    m_signature = std::move(update.signature);
    txtSig->setPlainText(previewText(m_signature));
    if (update.write.ok()) {
        m_reportedFailure.reset();
        return;
    }
    reportWriteFailure(update.write.error());
}

void SignatureTab::reportWriteFailure(const Error& failure) {
    if (failure.code == ErrorCode::SameFile || failure.code == ErrorCode::NoReader) {
        // Every tick would fail the same way: one log line (and for a source file one
        // message) until the output path changes or a write succeeds. A named pipe
        // nobody reads is skipped quietly: its reader may come back at any time.
        ReportedFailure key{failure.code, m_state.strSigFile};
        if (m_reportedFailure == key)
            return;
        m_reportedFailure = std::move(key);
        LogError("subUpdateSig", failure.message);
        if (failure.code == ErrorCode::SameFile)
            m_prompter.message(
                this, QStringLiteral("The signature was not written: ") + textFromBytes(failure.message),
                kProgramTitle, Prompter::Icon::Critical);
        return;
    }
    // Other failures (a read-only file, a device or socket) are logged at every attempt.
    LogError("subUpdateSig", failure.message);
    // A tick can come while the message is still open; one message at a time is enough.
    if (failure.code != ErrorCode::PathNotFound || m_showingWriteError)
        return;
    m_showingWriteError = true;
    m_prompter.message(this,
                       QStringLiteral("There was a problem writing out your signature file:\r\r") +
                           textFromBytes(m_state.strSigFile) +
                           QStringLiteral("\r\rPlease check where you are trying to output it to"),
                       QStringLiteral("Sorry..."), Prompter::Icon::Critical);
    m_showingWriteError = false;
    emit outputFolderMissing();
}

void SignatureTab::cmdUpdate_Click() {
    tmr1->stop();
    subUpdateSig();
    tmr1->start();
}

QString SignatureTab::sigText() const {
    // The whole signature, also where the preview shows only its beginning.
    return m_signature.empty() ? txtSig->toPlainText() : textFromBytes(m_signature);
}

void SignatureTab::subCopySigToClipBoard() {
    putOnClipboard(sigText());
}

void SignatureTab::tmr1_Timer() {
    const TickDecision decision =
        decideTick(intervalValue(txtInterval1->text().toStdString()), m_stamps, m_clock());
    m_stamps = decision.stamps;
    if (decision.periodMs)
        tmr1->setInterval(*decision.periodMs);
    if (decision.refreshTitle)
        emit titleChanged(
            QString::fromStdString(lastUpdateTitle(localTime(static_cast<std::time_t>(m_clock())))));
    if (decision.writeNow)
        subUpdateSig();
}

} // namespace quillmark
