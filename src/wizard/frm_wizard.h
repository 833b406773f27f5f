#pragma once
// The first-run wizard: three pages that lead a new user from an empty profile list to a
// working signature (a profile name; name, e-mail and web page for a small header file;
// one of the sample footer files). Not modal: the main window stays usable meanwhile.
// Controls are built by hand; the pages share one place in the window.

#include <QWidget>
#include <array>
#include <string>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillmark {

class Prompter;
class WizardHost;

class frmWizard : public QWidget {
    Q_OBJECT
public:
    frmWizard(WizardHost& host, Prompter& prompter, QWidget* parent = nullptr);

    int intStep() const { return m_step; }
    bool blnFinished() const { return m_finished; }

    void cmdNext_Click(int index);
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showStep();
    bool checkProfileName();
    bool subSave();
    bool refuse(const QString& text);
    std::string profileName() const;

    WizardHost& m_host;
    Prompter& m_prompter;
    int m_step = 1;
    bool m_finished = false;
    std::string m_sigFile; // the new profile's output file, for the closing message

    QLabel* lblInfo;
    QFrame* pnlProfile;
    QFrame* pnlHeader;
    QFrame* pnlFooter;
    QLineEdit* txtProfile;
    QLineEdit* txtName;
    QLineEdit* txtEmail;
    QLineEdit* txtURL;
    QComboBox* cmbFooter;
    std::array<QPushButton*, 2> cmdNext{}; // 0 Next, 1 Back
    QPushButton* cmdClose;
    QPushButton* cmdHelp;
    QLabel* Image1;
};

} // namespace quillmark
