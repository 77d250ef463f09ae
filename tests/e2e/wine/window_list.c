/* Lists the top-level windows of the Wine session as Windows itself sees them, for the
 * end-to-end driver: X11 shows only pixels and window names, but a message box's text, a
 * window's class, its client rectangle and where its close button sits are known only to
 * USER32. One line per window, fields separated by tabs:
 *
 *   top    HWND  VISIBLE  CLASS  WINDOW(x,y,w,h)  CLIENT(x,y,w,h)  CLOSE(x,y,w,h)  TITLE
 *   child  HWND  PARENT   CLASS  TEXT
 *
 * Rectangles are in screen pixels. CLOSE is the caption's close button, found only with the
 * argument --close-button (it costs a few hundred messages to each window); otherwise, and for
 * windows without one, it is 0,0,0,0. Every window is listed, shown or not: the caller filters.
 *
 * With --minimize HWND or --restore HWND it posts that window what its minimize button or the
 * taskbar sends: WM_SYSCOMMAND with SC_MINIMIZE or SC_RESTORE. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void print_rect(const RECT *r) {
    printf("\t%ld,%ld,%ld,%ld", r->left, r->top, r->right - r->left, r->bottom - r->top);
}

static LRESULT hit_test(HWND hwnd, LONG x, LONG y) {
    DWORD_PTR hit = HTNOWHERE;
    if (!SendMessageTimeoutA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 1000, &hit))
        return HTNOWHERE;
    return (LRESULT)hit;
}

/* Wine answers neither WM_GETTITLEBARINFOEX nor GetTitleBarInfo with button rectangles, so the
 * close button is found the way the window itself finds it: by hit-testing along the middle of
 * the caption, then up and down through the middle of what was found. */
static void close_button(HWND hwnd, const RECT *window, const RECT *client, RECT *out) {
    LONG x, y, mid_y = (window->top + client->top) / 2, mid_x;
    BOOL found = FALSE;
    SetRectEmpty(out);
    /* Only a shown window with a window menu has a close button; the others are left alone. */
    if (!IsWindowVisible(hwnd) || !(GetWindowLongA(hwnd, GWL_STYLE) & WS_SYSMENU) ||
        client->top <= window->top)
        return;
    for (x = window->left; x < window->right; ++x) {
        if (hit_test(hwnd, x, mid_y) != HTCLOSE)
            continue;
        if (!found)
            out->left = x;
        out->right = x + 1;
        found = TRUE;
    }
    if (!found)
        return;
    mid_x = (out->left + out->right) / 2;
    found = FALSE;
    for (y = window->top; y < client->top; ++y) {
        if (hit_test(hwnd, mid_x, y) != HTCLOSE)
            continue;
        if (!found)
            out->top = y;
        out->bottom = y + 1;
        found = TRUE;
    }
}

static BOOL CALLBACK print_child(HWND hwnd, LPARAM parent) {
    char cls[256] = "", text[2048] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, text, sizeof text);
    printf("child\t%p\t%p\t%s\t%s\n", (void *)hwnd, (void *)parent, cls, text);
    return TRUE;
}

static BOOL CALLBACK print_top(HWND hwnd, LPARAM find_close) {
    char cls[256] = "", title[2048] = "";
    RECT window, client, close;
    POINT origin = {0, 0};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    ClientToScreen(hwnd, &origin);
    OffsetRect(&client, origin.x, origin.y);
    SetRectEmpty(&close);
    if (find_close)
        close_button(hwnd, &window, &client, &close);
    printf("top\t%p\t%d\t%s", (void *)hwnd, IsWindowVisible(hwnd) ? 1 : 0, cls);
    print_rect(&window);
    print_rect(&client);
    print_rect(&close);
    printf("\t%s\n", title);
    EnumChildWindows(hwnd, print_child, (LPARAM)hwnd);
    return TRUE;
}

int main(int argc, char **argv) {
    if (argc == 3 && (strcmp(argv[1], "--minimize") == 0 || strcmp(argv[1], "--restore") == 0)) {
        HWND hwnd = (HWND)(UINT_PTR)strtoull(argv[2], NULL, 16);
        WPARAM command = strcmp(argv[1], "--minimize") == 0 ? SC_MINIMIZE : SC_RESTORE;
        return IsWindow(hwnd) && PostMessageA(hwnd, WM_SYSCOMMAND, command, 0) ? 0 : 1;
    }
    EnumWindows(print_top, argc > 1 && strcmp(argv[1], "--close-button") == 0);
    return fflush(stdout) == 0 ? 0 : 1;
}
