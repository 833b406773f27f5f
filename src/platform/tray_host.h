#pragma once
// Tells the program when the desktop's tray host may have gone away (on Linux its window was
// destroyed; on Windows Explorer's task bar was made anew), so that a window hidden to the
// tray can come back into the task bar. The check runs on the event loop; nothing polls in
// between.

#include <functional>

class QObject;

namespace quillmark {

void onTrayHostMayHaveGone(QObject* context, std::function<void()> handler);

} // namespace quillmark
