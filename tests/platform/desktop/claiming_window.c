// SPDX-License-Identifier: GPL-3.0-or-later
// Another program on the desktop, for the foreground guard's tests: an X
// client with one window that claims to belong to some other process
// (_NET_WM_PID) and, when told, to another host (WM_CLIENT_MACHINE). It
// prints the window's id once the window is mapped, then waits until it is
// ended or its standard input closes.
//
// usage: claiming_window DISPLAY CLAIMED_PID [MACHINE]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: claiming_window DISPLAY CLAIMED_PID [MACHINE]\n");
        return 2;
    }
    Display* display = XOpenDisplay(argv[1]);
    if (!display)
        return 1;
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 30, 200, 100, 0, 0, 0);

    char name[] = "claiming";
    char className[] = "Claiming";
    XClassHint hint = {name, className};
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, "claiming window");

    const unsigned long claimed = strtoul(argv[2], NULL, 10);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, (const unsigned char*)&claimed, 1);

    char host[256] = {0};
    char* machine = argc > 3 ? argv[3] : host;
    if (argc <= 3)
        gethostname(host, sizeof host - 1);
    XTextProperty text;
    if (XStringListToTextProperty(&machine, 1, &text)) {
        XSetWMClientMachine(display, window, &text);
        XFree(text.value);
    }

    XMapWindow(display, window);
    XSync(display, False);
    printf("%lu\n", (unsigned long)window);
    fflush(stdout);

    char c;
    while (read(0, &c, 1) > 0) {
    }
    XCloseDisplay(display);
    return 0;
}
