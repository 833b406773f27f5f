#pragma once
// The first-run wizard: a profile name; name, e-mail and web page for a header; a sample footer.
// Not modal: the main window stays usable meanwhile.

#include "base/result.h"

#include <QWidget>
#include <memory>
#include <string>

namespace Ui {
class FirstRunWizard;
}

namespace quillmark {

class Prompter;
class WizardHost;

class FirstRunWizard : public QWidget {
    Q_OBJECT
public:
    FirstRunWizard(WizardHost& host, Prompter& prompter, QWidget* parent = nullptr);
    ~FirstRunWizard() override;

    int currentStep() const { return m_step; }
    bool isFinished() const { return m_finished; }

    void onNextClicked(int index);
    void onHelpClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showStep();
    bool checkProfileName();
    bool save();
    bool refuse(const QString& text);
    bool refuseNotCreated(const Status& why);
    std::string profileName() const;

    std::unique_ptr<Ui::FirstRunWizard> m_ui;
    WizardHost& m_host;
    Prompter& m_prompter;
    int m_step = 1;
    bool m_finished = false;
    std::string m_sigFile; // the new profile's output file, for the closing message
};

} // namespace quillmark
