#pragma once
// Tells the program when the tray host may have gone (on Linux its window was destroyed; on
// Windows Explorer's task bar was made anew), so a window hidden to the tray can come back
// into the task bar. Checked on the event loop, never polled.

#include <functional>

class QObject;

namespace quillmark {

void onTrayHostMayHaveGone(QObject* context, std::function<void()> handler);

} // namespace quillmark
