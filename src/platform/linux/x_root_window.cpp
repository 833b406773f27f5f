// Painting the root window of a bare X server, for sessions without a desktop that keeps
// its own wallpaper setting. The pixmap is published the way pseudo-transparent terminals
// and panels expect it (_XROOTPMAP_ID, ESETROOT_PMAP_ID) and kept by the server after the
// program exits.

#include "platform/wallpaper_setter.h"

#include <QImage>
#include <QPainter>
#include <QSysInfo>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// Xlib defines Status as a macro; the program's Status type is meant below.
#undef Status

namespace quillmark {

namespace {

bool g_xError = false;

int recordXError(Display*, XErrorEvent*) {
    g_xError = true;
    return 0;
}

// The pixmap named by a root window property, 0 when there is none.
Pixmap rootPixmapProperty(Display* display, Window root, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Pixmap result = 0;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data)
        result = *reinterpret_cast<Pixmap*>(data);
    if (data)
        XFree(data);
    return result;
}

class Connection {
public:
    explicit Connection(const std::string& name)
        : m_display(XOpenDisplay(name.empty() ? nullptr : name.c_str())) {
        if (m_display) {
            g_xError = false;
            m_oldHandler = XSetErrorHandler(recordXError);
        }
    }
    ~Connection() {
        if (!m_display)
            return;
        XCloseDisplay(m_display);
        XSetErrorHandler(m_oldHandler);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Display* get() const { return m_display; }

private:
    Display* m_display;
    int (*m_oldHandler)(Display*, XErrorEvent*) = nullptr;
};

// A copy of the canvas on the server; 0 when Xlib could not take it.
Pixmap serverPixmap(Display* display, Window root, Visual* visual, int depth, QImage& canvas) {
    const auto width = static_cast<unsigned>(canvas.width());
    const auto height = static_cast<unsigned>(canvas.height());
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(canvas.bits()), width, height, 32,
                                 static_cast<int>(canvas.bytesPerLine()));
    if (!image)
        return 0;
    const Pixmap pixmap = XCreatePixmap(display, root, width, height, static_cast<unsigned>(depth));
    // The pixels are in this machine's byte order; Xlib converts them for the server.
    image->byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(display, gc);
    image->data = nullptr; // owned by the QImage
    XDestroyImage(image);
    return pixmap;
}

// Names the pixmap in both root properties and shows it. The previous picture was kept by
// the server for a client that set it and left; when both properties name it, it is ours
// to free (the convention every root setter follows).
void publishRootPixmap(Display* display, Window root, Pixmap pixmap) {
    const Atom rootAtom = XInternAtom(display, "_XROOTPMAP_ID", False);
    const Atom esetrootAtom = XInternAtom(display, "ESETROOT_PMAP_ID", False);
    const Pixmap oldRoot = rootPixmapProperty(display, root, rootAtom);
    if (oldRoot != 0 && oldRoot == rootPixmapProperty(display, root, esetrootAtom)) {
        XKillClient(display, oldRoot);
        XSync(display, False);
        g_xError = false; // an old id whose client is already gone is no failure of ours
    }
    for (const Atom property : {rootAtom, esetrootAtom})
        XChangeProperty(display, root, property, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
}

} // namespace

Status paintRootWindow(const QImage& picture, const std::string& displayName) {
    if (picture.isNull())
        return Error{ErrorCode::InvalidInput, "there is no picture to show"};
    Connection connection(displayName);
    Display* display = connection.get();
    if (!display)
        return Error{ErrorCode::Other, "the X display cannot be opened"};
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int depth = DefaultDepth(display, screen);
    Visual* visual = DefaultVisual(display, screen);
    if (depth < 24 || visual->red_mask != 0xff0000 || visual->green_mask != 0xff00 ||
        visual->blue_mask != 0xff)
        return Error{ErrorCode::Other, "the X screen's colour format (" + std::to_string(depth) +
                                           " bit) is not supported for the root window"};

    QImage canvas(DisplayWidth(display, screen), DisplayHeight(display, screen), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter(&canvas).drawImage((canvas.width() - picture.width()) / 2,
                                (canvas.height() - picture.height()) / 2, picture);
    const Pixmap pixmap = serverPixmap(display, root, visual, depth, canvas);
    if (!pixmap)
        return Error{ErrorCode::Other, "the picture could not be handed to the X server"};

    publishRootPixmap(display, root, pixmap);
    XSync(display, False);
    if (g_xError) {
        XFreePixmap(display, pixmap);
        XSync(display, False);
        return Error{ErrorCode::Other, "the X server refused the new root window background"};
    }
    // Keep the pixmap after this connection closes.
    XSetCloseDownMode(display, RetainPermanent);
    return {};
}

} // namespace quillmark
