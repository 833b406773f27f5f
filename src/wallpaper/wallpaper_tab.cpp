#include "wallpaper/wallpaper_tab.h"

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

} // namespace quillmark
