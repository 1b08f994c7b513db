#include "x_close.h"

#include <X11/Xlib.h>

bool closeLikeTitleBar(const QByteArray& displayName, unsigned long window) {
    Display* display = XOpenDisplay(displayName.constData());
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display); // flushes the request
    return sent;
}
