#include "app/preferences_tab.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmark {

PreferencesTab::PreferencesTab(QWidget* parent) : QWidget(parent) {
    txtSeparator = new QLineEdit(this);
    txtSeparator->setObjectName(QStringLiteral("txtSeparator"));
    txtSeparator->setMaxLength(1);
    txtSeparator->setMaximumWidth(40);
    txtSeparator->setToolTip(
        tr("Each signature in your text files must be separated by a symbol - the default character is `%'"));
    txtSigPath = new QLineEdit(this);
    txtSigPath->setObjectName(QStringLiteral("txtSigPath"));
    cmdBrowseSigPathDir = new QPushButton(tr("&Browse"), this);
    cmdBrowseSigPathDir->setObjectName(QStringLiteral("cmdBrowseSigPathDir"));

    auto box = [this](const char* name, const QString& caption) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(name));
        return check;
    };
    chkStartUp = box("chkStartUp", tr("Start Quillmark when I log in"));
    chkShowSplashScreen = box("chkShowSplashScreen", tr("Show Splash Screen"));
    chkWallpaperOnStartup = box("chkWallpaperOnStartup", tr("Change the wallpaper at start-up"));
    chkProportional = box("chkProportional", tr("Display Proportional Fonts"));
    chkBoring = box("chkBoring", tr("Boring Colour Scheme"));

    auto* folder = new QHBoxLayout;
    folder->addWidget(txtSigPath, 1);
    folder->addWidget(cmdBrowseSigPathDir);
    auto* form = new QFormLayout;
    form->addRow(tr("Signature separator:"), txtSeparator);
    form->addRow(tr("Signature folder:"), folder);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (QCheckBox* check :
         {chkStartUp, chkShowSplashScreen, chkWallpaperOnStartup, chkProportional, chkBoring})
        layout->addWidget(check);
    layout->addStretch(1);
}

} // namespace quillmark
