#pragma once
// Tells the program when the system asks it to stop (SIGTERM, SIGINT or SIGHUP on Linux),
// on the event loop, so it can save and leave in order.

#include <functional>

class QObject;

namespace quillmark {

void onTerminationRequest(QObject* context, std::function<void()> handler);

} // namespace quillmark
