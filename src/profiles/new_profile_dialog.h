#pragma once
// Asks for the name of a new profile; refuses, with a message and staying open, a name the settings
// file could not give back unchanged and one already listed in any letter case.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class NewProfileDialog;
}

namespace quillmark {

class Prompter;

class NewProfileDialog : public QDialog {
    Q_OBJECT
public:
    NewProfileDialog(Prompter& prompter, std::vector<std::string> existingNames, QWidget* parent = nullptr);
    ~NewProfileDialog() override;

    // The first-profile prompt's wording and suggestion, the suggestion selected.
    void setPrompt(const QString& prompt, const QString& suggestion);
    // The accepted name as the bytes to store; empty when cancelled or left empty.
    const std::string& chosenName() const { return m_chosen; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onOkClicked();

    std::unique_ptr<Ui::NewProfileDialog> m_ui;
    Prompter& m_prompter;
    std::vector<std::string> m_existing;
    std::string m_chosen;
};

} // namespace quillmark
