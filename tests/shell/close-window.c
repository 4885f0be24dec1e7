/* Asks every top-level window whose class is the one named to close, the way
 * a window manager's close button does: a WM_DELETE_WINDOW client message. */
#include <stdio.h>
#include <string.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

static int CloseMatching(Display* display, Window window, Atom protocols, Atom deleteWindow,
                         const char* wanted)
{
    int closed = 0;
    XClassHint hint;
    if (XGetClassHint(display, window, &hint)) {
        if ((hint.res_class && strcmp(hint.res_class, wanted) == 0) ||
            (hint.res_name && strcmp(hint.res_name, wanted) == 0)) {
            XEvent event;
            memset(&event, 0, sizeof event);
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = (long)deleteWindow;
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, window, False, NoEventMask, &event);
            closed++;
        }
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    Window root, parent, *children = NULL;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; i++)
            closed += CloseMatching(display, children[i], protocols, deleteWindow, wanted);
        if (children)
            XFree(children);
    }
    return closed;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW-CLASS\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "no display\n");
        return 2;
    }
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    int closed = CloseMatching(display, DefaultRootWindow(display), protocols, deleteWindow, argv[1]);
    XCloseDisplay(display);
    return closed > 0 ? 0 : 1;
}
