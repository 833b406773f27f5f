// Prints the colour of root window pixels of the X display as "x,y RRGGBB", one a line:
//   root_probe X Y [X Y ...]
// or the size of a pixmap as "WxH", to tell whether the server still keeps it:
//   root_probe pixmap ID

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
    if (argc == 3 && std::string(argv[1]) == "pixmap") {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return 1;
        XSetErrorHandler(recordError);
        Window root = 0;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        const Pixmap pixmap = std::strtoul(argv[2], nullptr, 0);
        const bool ok =
            XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth) && !g_failed;
        XCloseDisplay(display);
        if (!ok) {
            std::printf("gone\n");
            return 1;
        }
        std::printf("%ux%u\n", width, height);
        return 0;
    }
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: root_probe X Y [X Y ...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    for (int i = 1; i + 1 < argc; i += 2) {
        const int x = std::atoi(argv[i]);
        const int y = std::atoi(argv[i + 1]);
        XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) {
            std::fprintf(stderr, "cannot read pixel %d,%d\n", x, y);
            return 1;
        }
        std::printf("%d,%d %06lX\n", x, y, XGetPixel(image, 0, 0) & 0xffffffUL);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return 0;
}
