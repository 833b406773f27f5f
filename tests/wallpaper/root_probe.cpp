// Reads the X display for the wallpaper's end-to-end test:
//   root_probe X Y [X Y ...]  prints the colour of each root window pixel as "x,y RRGGBB"
//   root_probe pixmap ID      prints the pixmap's size as "WxH", or "gone" once the server freed it
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
bool g_failed = false;
int recordError(Display*, XErrorEvent*) {
    g_failed = true;
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display || argc < 3)
        return 2;
    XSetErrorHandler(recordError);
    if (std::string(argv[1]) == "pixmap") {
        Window root = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        const Pixmap pixmap = std::strtoul(argv[2], nullptr, 0);
        if (!XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth) || g_failed)
            return std::puts("gone") > 0;
        std::printf("%ux%u\n", width, height);
        return 0;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const int x = std::atoi(argv[i]), y = std::atoi(argv[i + 1]);
        XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return 1;
        std::printf("%d,%d %06lX\n", x, y, XGetPixel(image, 0, 0) & 0xffffffUL);
        XDestroyImage(image);
    }
    return 0;
}
