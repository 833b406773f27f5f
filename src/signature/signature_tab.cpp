#include "signature/signature_tab.h"

#include "platform/error_handler.h"
#include "platform/local_time.h"
#include "settings/typed_settings.h"
#include "signature/compose.h"
#include "signature/entries.h"
#include "signature/random.h"
#include "ui/clipboard.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"

#include "ui_signature_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <utility>

namespace quillmark {

namespace {

// Until the first tick sets the period: short, so a new signature follows start-up at once.
constexpr int kFirstTickMs = 500;
// 64 KB each: see EntryFileLoader.
constexpr int kPiecesPerPart = 4;

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
    : QWidget(parent), m_ui(std::make_unique<Ui::SignatureTab>()), m_state(state), m_prompter(prompter),
      m_random(random), m_clock(systemSeconds) {
    m_ui->setupUi(this);
    m_ui->chkAddSigDashes->setChecked(m_state.addDashes);
    m_updateTimer = new QTimer(this);
    m_updateTimer->setObjectName(QStringLiteral("tmr1"));
    m_updateTimer->setInterval(kFirstTickMs);
    connectControls();
    // Quitting ends a load under way; the lists keep what they held.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &SignatureTab::stopLoading);
}

SignatureTab::~SignatureTab() = default;

void SignatureTab::connectControls() {
    connect(m_ui->cmdUpdate, &QPushButton::clicked, this, &SignatureTab::onUpdateClicked);
    connect(m_ui->cmdCopy, &QPushButton::clicked, this, &SignatureTab::copySignatureToClipboard);
    connect(m_ui->chkAddSigDashes, &QCheckBox::toggled, this, [this](bool on) { m_state.addDashes = on; });
    connect(m_ui->chkAddSigDashes, &QCheckBox::clicked, this, &SignatureTab::addDashesClicked);
    connect(m_ui->cmdPause, &QPushButton::clicked, this, [this] {
        m_paused = !m_paused;
        if (m_paused)
            m_updateTimer->stop();
        else
            m_updateTimer->start();
        m_ui->cmdPause->setText(m_paused ? kResume : kPause);
    });
    QLineEdit* interval = m_ui->txtInterval1;
    connect(interval, &QLineEdit::textEdited, this, &SignatureTab::intervalEdited);
    connect(interval, &QLineEdit::textChanged, this, &SignatureTab::intervalChanged);
    connect(interval, &QLineEdit::editingFinished, this, [interval] {
        if (!isNumericText(interval->text()))
            interval->setText(QStringLiteral("0"));
    });
    // Only a move by the user writes the box: a value typed beyond the slider's range
    // must stay as typed rather than be cut to the slider's end.
    connect(m_ui->sld1, &QSlider::valueChanged, this,
            [interval](int value) { interval->setText(QString::number(value)); });
    connect(m_updateTimer, &QTimer::timeout, this, &SignatureTab::onUpdateTimer);
}

// Only digits enter the interval box, however they come ("12ab3" pasted gives "123"); text set
// by the program is left as it is.
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
    m_ui->txtInterval1->setText(digits.isEmpty() ? QString(before)
                                                 : text.left(prefix) + digits + text.right(suffix));
    m_ui->txtInterval1->setCursorPosition(cursor);
}

void SignatureTab::intervalChanged() {
    // The box's own text: an edit whose letters were taken out still reports its
    // first text after the corrected one.
    const QString text = m_ui->txtInterval1->text();
    m_intervalText = text;
    m_ui->lblTimeUnits->setText(text == QStringLiteral("1") ? tr("second") : tr("seconds"));
    const double value = intervalValue(text.toStdString());
    QSignalBlocker block(m_ui->sld1);
    m_ui->sld1->setValue(
        static_cast<int>(std::clamp<double>(value, m_ui->sld1->minimum(), m_ui->sld1->maximum())));
}

void SignatureTab::loadSettings(Settings& settings) {
    m_ui->txtInterval1->setText(textFromBytes(readText(settings, keys::kInterval1)));
    m_ui->chkAddSigDashes->setChecked(readFlag(settings, keys::kAddDashes));
    m_state.addDashes = m_ui->chkAddSigDashes->isChecked();
}

void SignatureTab::saveSettings(Settings& settings) {
    writeText(settings, keys::kInterval1, bytesFromText(m_ui->txtInterval1->text()));
    writeFlag(settings, keys::kAddDashes, m_ui->chkAddSigDashes->isChecked());
}

void SignatureTab::startUpdates() {
    m_updateTimer->start();
}

void SignatureTab::setProportionalFont(bool proportional) {
    QFont font(proportional ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
    font.setStyleHint(proportional ? QFont::SansSerif : QFont::Monospace);
    m_ui->txtSig->setFont(font);
}

void SignatureTab::loadEntries() {
    // Another profile made current while a file loads: start over with its files. An
    // update asked for meanwhile still waits for them.
    m_loader.reset();
    m_nextFile = 0;
    m_load.start([this] { return loadPart(); });
}

void SignatureTab::stopLoading() {
    m_load.stop();
    m_loader.reset();
    m_updatePending = false;
}

// A few pieces per turn of the event loop: small files load at once, large ones in short parts.
bool SignatureTab::loadPart() {
    for (int read = 0; read < kPiecesPerPart;) {
        const LoadStep step = loadStep();
        if (step == LoadStep::Done) {
            m_load.stop();
            if (std::exchange(m_updatePending, false))
                updateSignature();
            return false;
        }
        // A failure's message lets events run, which may have stopped this load or started another.
        if (!m_load.isRunning())
            return false;
        if (step == LoadStep::Read)
            ++read;
    }
    return true;
}

// Opens the next file, or reads a piece of the open one. A list is replaced only once its whole
// file was read; a missing or failing file leaves it as it was.
SignatureTab::LoadStep SignatureTab::loadStep() {
    if (m_nextFile > 1)
        return LoadStep::Done;
    const bool header = m_nextFile == 0;
    if (!m_loader) {
        m_loader = std::make_unique<EntryFileLoader>(header ? m_state.headerFile : m_state.footerFile,
                                                     m_state.separator);
        const Result<bool> opened = m_loader->open();
        if (opened && *opened)
            return LoadStep::Open;
        m_loader.reset();
        ++m_nextFile;
        if (!opened)
            reportLoadFailure(opened.error());
        return LoadStep::Open;
    }
    const Result<bool> more = m_loader->readPiece();
    if (more && *more)
        return LoadStep::Read;
    const std::unique_ptr<EntryFileLoader> loader = std::move(m_loader);
    ++m_nextFile;
    if (more)
        (header ? m_state.headers : m_state.footers) = loader->takeList();
    else
        reportLoadFailure(more.error());
    return LoadStep::Read;
}

void SignatureTab::reportLoadFailure(const Error& failure) {
    m_prompter.message(this, QStringLiteral("subLoadFiles: \r") + textFromBytes(failure.message));
    logError("subLoadFiles", failure.message);
}

void SignatureTab::updateSignature() {
    if (isLoading()) {
        // A tick or a button while a file loads: the signature follows once it is loaded.
        m_updatePending = true;
        return;
    }
    // The last signature goes before the next is composed: both could be large.
    if (!m_state.sigFile.empty())
        std::string().swap(m_signature);
    SignatureUpdate update = quillmark::updateSignature(m_state, m_random);
    m_ui->lblCurrentSig->setText(QString::fromStdString(update.label));
    if (!update.composed)
        return;
    m_signature = std::move(update.signature);
    m_ui->txtSig->setPlainText(previewText(m_signature));
    if (update.write.ok()) {
        m_reportedFailure.reset();
        return;
    }
    reportWriteFailure(update.write.error());
}

void SignatureTab::reportWriteFailure(const Error& failure) {
    const bool refused = failure.code == ErrorCode::SameFile || failure.code == ErrorCode::UntrustedLink;
    if (refused || failure.code == ErrorCode::NoReader) {
        // Every tick would fail the same way: one log line (and for a refused output one
        // message) until the output path changes or a write succeeds. A named pipe
        // nobody reads is skipped quietly: its reader may come back at any time.
        ReportedFailure key{failure.code, m_state.sigFile};
        if (m_reportedFailure == key)
            return;
        m_reportedFailure = std::move(key);
        logError("subUpdateSig", failure.message);
        if (refused)
            m_prompter.message(
                this, QStringLiteral("The signature was not written: ") + textFromBytes(failure.message),
                kProgramTitle, Prompter::Icon::Critical);
        return;
    }
    // Other failures (a read-only file, a device or socket) are logged at every attempt.
    logError("subUpdateSig", failure.message);
    // A tick can come while the message is still open; one message at a time is enough.
    if (failure.code != ErrorCode::PathNotFound || m_showingWriteError)
        return;
    m_showingWriteError = true;
    m_prompter.message(this,
                       QStringLiteral("There was a problem writing out your signature file:\r\r") +
                           textFromBytes(m_state.sigFile) +
                           QStringLiteral("\r\rPlease check where you are trying to output it to"),
                       QStringLiteral("Sorry..."), Prompter::Icon::Critical);
    m_showingWriteError = false;
    emit outputFolderMissing();
}

void SignatureTab::onUpdateClicked() {
    m_updateTimer->stop();
    updateSignature();
    m_updateTimer->start();
}

QString SignatureTab::sigText() const {
    // The whole signature, also where the preview shows only its beginning.
    return m_signature.empty() ? m_ui->txtSig->toPlainText() : textFromBytes(m_signature);
}

void SignatureTab::copySignatureToClipboard() {
    putOnClipboard(sigText());
}

void SignatureTab::onUpdateTimer() {
    const TickDecision decision =
        decideTick(intervalValue(m_ui->txtInterval1->text().toStdString()), m_stamps, m_clock());
    m_stamps = decision.stamps;
    if (decision.periodMs)
        m_updateTimer->setInterval(*decision.periodMs);
    if (decision.refreshTitle)
        emit titleChanged(
            QString::fromStdString(lastUpdateTitle(localTime(static_cast<std::time_t>(m_clock())))));
    if (decision.writeNow)
        updateSignature();
}

} // namespace quillmark
