#pragma once
// The Signature tab: the preview, the next-signature and copy buttons, the dashes
// option, the update interval with its slider, pause, and the update timer itself.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/result.h"
#include "signature/update_policy.h"
#include "ui/chunked_work.h"

class QTimer;
namespace Ui {
class SignatureTab;
}

namespace quillmark {

class Prompter;
class Settings;
class EntryFileLoader;
class RandomSource;
struct SignatureState;

class SignatureTab : public QWidget {
    Q_OBJECT
public:
    SignatureTab(SignatureState& state, Prompter& prompter, RandomSource& random, QWidget* parent = nullptr);
    ~SignatureTab() override;

    // Seconds since the epoch; tests replace it to step through time without sleeping.
    void setClock(std::function<std::int64_t()> clock) { m_clock = std::move(clock); }

    // Reloads the lists: small files at once, a large one a part per turn of the event loop (an
    // update asked for meanwhile runs once both are loaded). A call during a load starts over.
    void loadEntries();
    // Ends a load under way (quitting does too); the lists keep what they held.
    void stopLoading();
    bool isLoading() const { return m_load.isRunning(); }
    void updateSignature();
    void onUpdateClicked();
    // The current signature, whole (the preview may show only its beginning).
    QString sigText() const;
    // Puts the current signature on the clipboard (the Copy button and the tray menu).
    void copySignatureToClipboard();
    void onUpdateTimer();
    void setProportionalFont(bool proportional);

    // Fills the interval box and the dashes option (and the add-dashes flag) from the settings.
    void loadSettings(Settings& settings);
    void saveSettings(Settings& settings);
    // Starts the update timer (the end of start-up).
    void startUpdates();

signals:
    // "Quillmark Last Update hh:mm:ss"
    void titleChanged(const QString& title);
    // The output file's folder is missing: the user should fix the path on the Profiles tab.
    void outputFolderMissing();
    // The user ticked or cleared "Add dashes".
    void addDashesClicked(bool on);

private:
    std::unique_ptr<Ui::SignatureTab> m_ui;
    QTimer* m_updateTimer;

    // A write failure that was already shown or logged, and for which output path.
    struct ReportedFailure {
        ErrorCode code;
        std::string sigFile;
        friend bool operator==(const ReportedFailure&, const ReportedFailure&) = default;
    };

    // What a step of the load did: opened (or skipped) a file, read a piece, or found both done.
    enum class LoadStep { Open, Read, Done };

    void connectControls();
    void intervalEdited(const QString& text);
    void intervalChanged();
    bool loadPart();
    LoadStep loadStep();
    void reportLoadFailure(const Error& failure);
    void reportWriteFailure(const Error& failure);

    SignatureState& m_state;
    Prompter& m_prompter;
    RandomSource& m_random;
    std::function<std::int64_t()> m_clock;
    TimerStamps m_stamps;
    bool m_showingWriteError = false;
    std::optional<ReportedFailure> m_reportedFailure;
    QString m_intervalText;  // the interval box's text before the edit under way
    std::string m_signature; // the last signature composed, whole (the preview may show a part)
    bool m_paused = false;
    ChunkedWork m_load;
    std::unique_ptr<EntryFileLoader> m_loader; // the file being read, if one is open
    int m_nextFile = 0; // that file or the next to open: 0 header, 1 footer, 2 both done
    bool m_updatePending = false;
};

} // namespace quillmark
