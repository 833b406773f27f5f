#pragma once
// Whether a window system is there to show the program's windows. Asked before the GUI
// starts: without one the toolkit would abort the program.

namespace quillmark {

// True when the window system that the GUI would use (the "-platform" argument, then the
// QT_QPA_PLATFORM variable, then the desktop's own) can be reached.
bool desktopSessionAvailable(int argc, char** argv);

} // namespace quillmark
