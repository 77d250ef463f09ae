/* What the native driver needs from the X server that xdotool and xwininfo do not give.
 *
 *   x_windows list        every top-level window: "ID<TAB>MAPPED<TAB>CLASS", ID in hex, MAPPED
 *                         1 or 0, CLASS the instance part of WM_CLASS (empty when unset, as on
 *                         SDL's message box, which xdotool's searches therefore never find)
 *   x_windows close ID    the close request a window manager sends: a WM_DELETE_WINDOW client
 *                         message. xdotool windowclose destroys the window instead, and the
 *                         program then dies of an X error rather than closing.
 *   x_windows hold FREE   takes all the server's client slots but FREE, prints how many it
 *                         holds, and sleeps until it is killed.
 *
 * Exit code 0 on success, 1 on failure (one line on stderr), 2 on bad usage.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* A window may be destroyed between XQueryTree and the questions about it: such a window is
 * simply left out of the list. */
static int vanished;
static int note_error(Display *display, XErrorEvent *error) {
    (void)display;
    if (error->error_code == BadWindow) {
        vanished = 1;
        return 0;
    }
    fprintf(stderr, "x_windows: X error %d (request %d)\n", error->error_code, error->request_code);
    exit(1);
}

static int list(Display *display) {
    Window root_return, parent, *children = NULL;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children,
                    &count)) {
        fprintf(stderr, "x_windows: cannot list the root window's children\n");
        return 1;
    }
    for (unsigned int i = 0; i < count; i++) {
        XWindowAttributes attributes;
        XClassHint hint = {NULL, NULL};
        vanished = 0;
        int have_attributes = XGetWindowAttributes(display, children[i], &attributes);
        int have_class = XGetClassHint(display, children[i], &hint);
        XSync(display, False);
        if (have_attributes && !vanished) {
            printf("0x%lx\t%d\t%s\n", (unsigned long)children[i],
                   attributes.map_state == IsViewable ? 1 : 0,
                   have_class && hint.res_name ? hint.res_name : "");
        }
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
    }
    if (children)
        XFree(children);
    return 0;
}

static int close_window(Display *display, Window window) {
    Atom protocols_atom = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom delete_atom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom *protocols = NULL;
    int count = 0, accepts = 0;
    vanished = 0;
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        for (int i = 0; i < count; i++)
            accepts |= protocols[i] == delete_atom;
        XFree(protocols);
    }
    XSync(display, False);
    if (vanished) {
        fprintf(stderr, "x_windows: window 0x%lx does not exist\n", (unsigned long)window);
        return 1;
    }
    /* A window manager would kill a client that does not take part in the protocol; that is not a
     * close request the program could answer, so it is a failure here. */
    if (!accepts) {
        fprintf(stderr, "x_windows: window 0x%lx does not accept WM_DELETE_WINDOW\n",
                (unsigned long)window);
        return 1;
    }
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols_atom;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)delete_atom;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return vanished ? 1 : 0;
}

static void hold(int free_slots) {
    Display *held[1024];
    int count = 0;
    while (count < 1024 && (held[count] = XOpenDisplay(NULL)) != NULL)
        ++count;
    while (free_slots-- > 0 && count > 0)
        XCloseDisplay(held[--count]);
    printf("%d\n", count);
    fflush(stdout);
    pause();
}

int main(int argc, char **argv) {
    int listing = argc == 2 && strcmp(argv[1], "list") == 0;
    int closing = argc == 3 && strcmp(argv[1], "close") == 0;
    if (argc == 3 && strcmp(argv[1], "hold") == 0) {
        hold(atoi(argv[2])); /* until a signal ends it */
        return 1;
    }
    if (!listing && !closing) {
        fprintf(stderr,
                "usage: x_windows list | x_windows close WINDOW_ID | x_windows hold FREE\n");
        return 2;
    }
    Window window = 0;
    if (closing) {
        char *end;
        window = (Window)strtoul(argv[2], &end, 0);
        if (*end != '\0' || window == 0) {
            fprintf(stderr, "x_windows: not a window id: %s\n", argv[2]);
            return 2;
        }
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "x_windows: cannot open display %s\n", XDisplayName(NULL));
        return 1;
    }
    XSetErrorHandler(note_error);
    int status = listing ? list(display) : close_window(display, window);
    XCloseDisplay(display);
    return status;
}
