/* Presses Ctrl+Enter through XTest and prints the milliseconds until the window's title starts
   with "*", as an editor shows a changed text. Usage: hotkey_press_ms WINDOW-ID */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int Changed(Display* d, Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    int changed = 0;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 64, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data) {
        changed = count > 0 && data[0] == '*';
        XFree(data);
    }
    return changed;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    Display* d = XOpenDisplay(NULL);
    if (!d) return 2;
    const Window w = (Window)strtoul(argv[1], NULL, 0);
    XSelectInput(d, w, PropertyChangeMask);
    const KeyCode ctrl = XKeysymToKeycode(d, XK_Control_L), ret = XKeysymToKeycode(d, XK_Return);
    XSync(d, False);
    const double start = Now();
    XTestFakeKeyEvent(d, ctrl, True, CurrentTime);
    XTestFakeKeyEvent(d, ret, True, CurrentTime);
    XTestFakeKeyEvent(d, ret, False, CurrentTime);
    XTestFakeKeyEvent(d, ctrl, False, CurrentTime);
    XFlush(d);
    while (!Changed(d, w)) {
        XEvent e;
        XNextEvent(d, &e);
    }
    printf("%.0f\n", Now() - start);
    XCloseDisplay(d);
    return 0;
}
