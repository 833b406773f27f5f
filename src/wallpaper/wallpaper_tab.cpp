#include "wallpaper/wallpaper_tab.h"

#include "settings/setting_keys.h"
#include "settings/typed_settings.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace quillmark {

WallpaperTab::WallpaperTab(QWidget* parent) : QWidget(parent) {
    chkShrinkWallpaper = new QCheckBox(tr("Shrink to fit screen"), this);
    chkShrinkWallpaper->setObjectName(QStringLiteral("chkShrinkWallpaper"));
    chkStretchWallpaper = new QCheckBox(tr("Stretch to fit screen"), this);
    chkStretchWallpaper->setObjectName(QStringLiteral("chkStretchWallpaper"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkShrinkWallpaper);
    layout->addWidget(chkStretchWallpaper);
    layout->addStretch(1);
}

void WallpaperTab::loadSettings(Settings& settings) {
    chkShrinkWallpaper->setChecked(readFlag(settings, keys::kShrinkToFit));
    chkStretchWallpaper->setChecked(readFlag(settings, keys::kStretchToFit));
}

void WallpaperTab::saveSettings(Settings& settings) {
    writeFlag(settings, keys::kShrinkToFit, chkShrinkWallpaper->isChecked());
    writeFlag(settings, keys::kStretchToFit, chkStretchWallpaper->isChecked());
}

} // namespace quillmark
