#include "platform/desktop_session.h"

namespace quillmark {

// A program the user starts on Windows always runs on the desktop of the user's session,
// and Qt's Windows platform needs nothing more.
bool desktopSessionAvailable(int, char**) {
    return true;
}

} // namespace quillmark
