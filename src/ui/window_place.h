#pragma once
// Where the program's windows come up.

#include <QScreen>
#include <QWidget>

namespace quillmark {

// Shows a window that was hidden in the tray or minimised: normal size, in front, active. The
// tray icon, its "MAIN SCREEN" and a second copy's start all bring the main window back here.
inline void bringWindowBack(QWidget* window) {
    window->showNormal();
    window->raise();
    window->activateWindow();
}

// Puts `window` in the middle of `screen`; leaves it where it is without a screen.
inline void centreOn(QWidget* window, const QScreen* screen) {
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

} // namespace quillmark
