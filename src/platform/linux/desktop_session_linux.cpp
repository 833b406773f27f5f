#include "platform/desktop_session.h"

#include "platform/app_folders.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>

namespace quillmark {

namespace {

bool xServerReachable() {
    if (environmentValue("DISPLAY").empty())
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XCloseDisplay(display);
    return true;
}

bool waylandReachable() {
    std::string socket = environmentValue("WAYLAND_DISPLAY");
    if (socket.empty())
        socket = "wayland-0";
    if (socket.front() != '/') {
        const std::string runtime = environmentValue("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        socket = runtime + "/" + socket;
    }
    std::error_code error;
    return std::filesystem::is_socket(socket, error);
}

// One platform name of a list such as "wayland;xcb", without its options ("xcb:opt=1").
bool platformReachable(std::string_view name) {
    name = name.substr(0, name.find(':'));
    if (name == "xcb")
        return xServerReachable();
    if (name.substr(0, 7) == "wayland")
        return waylandReachable();
    // offscreen, minimal, eglfs, linuxfb, vnc: they need no session.
    return !name.empty();
}

} // namespace

bool desktopSessionAvailable(int argc, char** argv) {
    std::string platforms = environmentValue("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "-platform" || std::string_view(argv[i]) == "--platform")
            platforms = argv[i + 1];
    if (platforms.empty())
        return xServerReachable() || waylandReachable();
    // Qt tries each name of the list in turn.
    for (std::size_t start = 0; start <= platforms.size();) {
        const std::size_t end = std::min(platforms.find(';', start), platforms.size());
        if (platformReachable(std::string_view(platforms).substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace quillmark
