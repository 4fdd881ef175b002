// A window manager that takes the screen and then never maps a window: it prints "ready" once it
// manages the screen, then the id of every window that asks to be mapped, and maps none. It ends
// when it is killed or its display goes away.
#include <X11/Xlib.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    XSelectInput(display, DefaultRootWindow(display), SubstructureRedirectMask);
    XSync(display, False); // another window manager makes this fail with BadAccess
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            std::printf("%lu\n", event.xmaprequest.window);
            std::fflush(stdout);
        }
    }
}
