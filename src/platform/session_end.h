#pragma once
// Tells the program when the system asks it to stop, so it can save and leave in order:
// SIGTERM, SIGINT or SIGHUP on Linux, told on the event loop; the session's end on Windows,
// told before Windows may stop the program.

#include <functional>

class QObject;

namespace quillmark {

void onTerminationRequest(QObject* context, std::function<void()> handler);

} // namespace quillmark
