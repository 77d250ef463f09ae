// A lost display ends the program at once, on X11 and on Wayland alike, from SDL's first
// connection to the last frame: one line on stderr naming the display, and exit code 1.
// - Xlib's default I/O error handler calls exit(), whose handlers destroy the windows through
//   the dead connection, and Xlib then waits for ever for a reply that cannot come.
// - Mesa's GLX reads its replies through xcb without Xlib's handler and dereferences the null
//   reply of a dead connection (SIGSEGV while the window is made).
// - SDL turns a lost Wayland connection into SDL_QUIT, a close request (exit code 0), or loops
//   in libwayland or libdecor with a core busy.
// So a thread sleeps in poll() on SDL's own connections and wakes only when one hangs up, and
// a fault handler tells a crash caused by the loss from a real one. Nothing the display held can
// be released any more, so the program leaves with _exit.
#include "platform/sdl/state.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace {

// Everything a signal handler reads is made before SDL's video starts: it cannot format text
// or allocate.
struct Place {
    sockaddr_un address{};
    socklen_t length = 0;
};
constexpr int most_connections = 4;
struct Watch {
    char lost_line[320] = {};  // "helicoid: lost the connection to the display ..."
    char crash_line[320] = {}; // said when SDL crashes while it connects to a live display
    Place places[2];           // the server's listening socket: abstract and path
    int place_count = 0;
    int connections[most_connections] = {-1, -1, -1, -1}; // SDL's, found once it has connected
    int connection_count = 0;
    std::atomic<bool> connecting{false};
    pid_t program = 0;
    int stop_pipe[2] = {-1, -1};
    pthread_t thread{};
    bool watching = false;
};
Watch watch;

#if defined(POLLRDHUP)
constexpr short hang_up_events = POLLRDHUP; // also a peer that only shuts its side (TCP)
#else
constexpr short hang_up_events = 0; // POLLHUP and POLLERR are always reported
#endif

bool hung_up(short revents) {
    return (revents & (POLLHUP | POLLERR | hang_up_events)) != 0;
}

// ==== Saying it: async-signal-safe ====

[[noreturn]] void report_lost() {
    // A box's child process (SDL forks one for its X11 box) leaves quietly: the program itself
    // finds the display gone when the box fails, and says so once.
    static std::atomic_flag said = ATOMIC_FLAG_INIT;
    if (getpid() != watch.program)
        _exit(1);
    // Two threads may find the loss at once (this watch and Xlib's handler): one line only, and
    // the other waits for the first one's _exit.
    if (said.test_and_set())
        for (;;)
            pause();
    const ssize_t ignored = write(STDERR_FILENO, watch.lost_line, std::strlen(watch.lost_line));
    (void)ignored;
    _exit(1);
}

// Gone when one of SDL's connections has hung up; before SDL has one, when the server's socket
// refuses a connection. A server that is full still accepts at this level (and then refuses in
// its own protocol), so it is not gone; nor is one that cannot be asked.
bool display_gone() {
    if (watch.connection_count > 0) {
        for (int i = 0; i < watch.connection_count; ++i) {
            pollfd probe{watch.connections[i], hang_up_events, 0};
            if (poll(&probe, 1, 0) == 1 && hung_up(probe.revents))
                return true;
        }
        return false;
    }
    const int saved_errno = errno;
    bool refused = watch.place_count > 0;
    for (int i = 0; i < watch.place_count && refused; ++i) {
        const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (probe < 0) {
            refused = false;
            break;
        }
        const Place &place = watch.places[i];
        const bool connected =
            connect(probe, reinterpret_cast<const sockaddr *>(&place.address), place.length) == 0;
        refused = !connected && (errno == ECONNREFUSED || errno == ENOENT);
        close(probe);
    }
    errno = saved_errno;
    return refused;
}

// ==== The display's place ====

void add_place(const char *path, bool abstract) {
    Place &place = watch.places[watch.place_count];
    const std::size_t length = std::strlen(path);
    const std::size_t start = abstract ? 1 : 0; // an abstract name starts with a zero byte
    if (length + start >= sizeof place.address.sun_path)
        return;
    place.address = {};
    place.address.sun_family = AF_UNIX;
    std::memcpy(place.address.sun_path + start, path, length);
    place.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + start + length +
                                          (abstract ? 0 : 1));
    ++watch.place_count;
}

// The local sockets of an X display ":N", ":N.S" or "unix:N" (libxcb tries the abstract one
// first on Linux); remote displays have none here.
void x11_places(const std::string &display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos || (colon != 0 && display.compare(0, colon, "unix") != 0))
        return;
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return;
    const std::string path = "/tmp/.X11-unix/X" + number;
#if defined(__linux__)
    add_place(path.c_str(), true);
#endif
    add_place(path.c_str(), false);
}

// A Wayland display is a socket in XDG_RUNTIME_DIR, or a path of its own.
void wayland_places(const std::string &display) {
    if (!display.empty() && display[0] == '/') {
        add_place(display.c_str(), false);
        return;
    }
    if (const char *runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime)
        add_place((std::string(runtime) + "/" + display).c_str(), false);
}

// Learns where the display of `driver` is and what to say when it goes. Like Xlib and
// libwayland, the layer reads the variables that name the display.
void learn_place(const char *driver) {
    const bool wayland = driver != nullptr && std::strncmp(driver, "wayland", 7) == 0;
    const char *variable = std::getenv(wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
    std::string name = variable != nullptr ? variable : "";
    watch.place_count = 0;
    if (wayland) {
        if (name.empty())
            name = "wayland-0";
        wayland_places(name);
    } else if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
        x11_places(name);
    }
    std::snprintf(watch.lost_line, sizeof watch.lost_line,
                  "helicoid: lost the connection to the display \"%s\"\n", name.c_str());
    std::snprintf(watch.crash_line, sizeof watch.crash_line,
                  "helicoid: SDL crashed while connecting to the display \"%s\", which still "
                  "answers (SDL 2.26 does so on a Wayland compositor without a seat)\n",
                  name.c_str());
}

bool same_place(const sockaddr_un &peer, socklen_t length, const Place &place) {
    if (length == place.length && std::memcmp(&peer, &place.address, length) == 0)
        return true;
    // A path may be spelt another way by the server (a link, a doubled slash).
    if (peer.sun_path[0] == '\0' || place.address.sun_path[0] == '\0' || length >= sizeof peer)
        return false;
    char peer_path[PATH_MAX], place_path[PATH_MAX];
    return realpath(peer.sun_path, peer_path) != nullptr &&
           realpath(place.address.sun_path, place_path) != nullptr &&
           std::strcmp(peer_path, place_path) == 0;
}

// SDL keeps its connections to itself, so they are found among the process's descriptors: the
// sockets whose peer is the display's listening socket.
void find_connections() {
    watch.connection_count = 0;
    const long open_max = sysconf(_SC_OPEN_MAX);
    const int last = open_max > 0 && open_max < 4096 ? static_cast<int>(open_max) : 4096;
    for (int fd = 0; fd < last && watch.connection_count < most_connections; ++fd) {
        struct stat status;
        if (fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode))
            continue;
        sockaddr_un peer{};
        socklen_t length = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &length) != 0 ||
            peer.sun_family != AF_UNIX)
            continue;
        for (int i = 0; i < watch.place_count; ++i)
            if (same_place(peer, length, watch.places[i])) {
                watch.connections[watch.connection_count++] = fd;
                break;
            }
    }
}

// ==== The watch ====

// Sleeps until one of SDL's connections hangs up (then reports) or the layer stops it. poll()
// asks for no input at all, so the thread costs nothing while the display lives.
void *watch_connections(void *) {
    pollfd waits[most_connections + 1];
    for (int i = 0; i < watch.connection_count; ++i)
        waits[i] = {watch.connections[i], hang_up_events, 0};
    waits[watch.connection_count] = {watch.stop_pipe[0], POLLIN, 0};
    for (;;) {
        if (poll(waits, static_cast<nfds_t>(watch.connection_count + 1), -1) < 0)
            continue; // EINTR
        for (int i = 0; i < watch.connection_count; ++i) {
            if (hung_up(waits[i].revents))
                report_lost();
            if ((waits[i].revents & POLLNVAL) != 0)
                waits[i].fd = -1; // closed under the watch: nothing more to learn from it
        }
        if (waits[watch.connection_count].revents != 0)
            return nullptr;
    }
}

void start_watch() {
    if (watch.connection_count == 0 || pipe2(watch.stop_pipe, O_CLOEXEC) != 0)
        return;
    // Signals stay with the main thread, as a single-threaded Win32 program has them.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    watch.watching = pthread_create(&watch.thread, nullptr, watch_connections, nullptr) == 0;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!watch.watching) {
        close(watch.stop_pipe[0]);
        close(watch.stop_pipe[1]);
    }
}

void stop_watch() {
    if (!watch.watching)
        return;
    const ssize_t ignored = write(watch.stop_pipe[1], "", 1);
    (void)ignored;
    pthread_join(watch.thread, nullptr);
    close(watch.stop_pipe[0]);
    close(watch.stop_pipe[1]);
    watch.watching = false;
}

// ==== Crashes and broken pipes ====

constexpr int faults[] = {SIGSEGV, SIGBUS, SIGPIPE};
struct sigaction previous_actions[sizeof faults / sizeof faults[0]];

// A library that reads from a dead connection may crash, or write to it and get SIGPIPE: that
// is the loss. Anything else is a real crash and keeps what it did before: the previous handler
// (a sanitizer's) or the default action, a core dump.
void on_fault(int signal, siginfo_t *info, void *) {
    if (display_gone())
        report_lost();
    if (watch.connecting.load() && signal != SIGPIPE) {
        const ssize_t ignored =
            write(STDERR_FILENO, watch.crash_line, std::strlen(watch.crash_line));
        (void)ignored;
    }
    for (std::size_t i = 0; i < sizeof faults / sizeof faults[0]; ++i)
        if (faults[i] == signal)
            sigaction(signal, &previous_actions[i], nullptr);
    // A fault happens again when the handler returns; a signal that was sent has to be raised.
    if (info == nullptr || info->si_code <= 0 || signal == SIGPIPE)
        raise(signal);
}

void catch_faults() {
    static bool caught = false;
    if (caught)
        return;
    caught = true;
    struct sigaction action {};
    action.sa_sigaction = on_fault;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < sizeof faults / sizeof faults[0]; ++i)
        sigaction(faults[i], &action, &previous_actions[i]);
}

#if defined(SDL_VIDEO_DRIVER_X11)
[[noreturn]] int x11_connection_lost(Display *) {
    report_lost();
}
#endif

} // namespace

// ==== Entry points ====

void sdl_layer::opening_display(const char *driver) {
    watch.program = getpid();
    learn_place(driver);
    catch_faults();
#if defined(SDL_VIDEO_DRIVER_X11)
    // Before SDL's first request: a server that dies at once is reported as any later loss.
    XSetIOErrorHandler(x11_connection_lost);
#endif
    watch.connecting = true;
}

void sdl_layer::display_opened(const char *driver) {
    watch.connecting = false;
    if (driver == nullptr)
        return;
    learn_place(driver); // SDL_VIDEODRIVER may have offered SDL a choice
#if defined(SDL_VIDEO_DRIVER_X11)
    XSetIOErrorHandler(x11_connection_lost);
#endif
    find_connections();
    start_watch();
}

void sdl_layer::display_closing() {
    stop_watch();
    watch.connection_count = 0;
}

void sdl_layer::watch_during_box(bool on) {
    if (!on)
        stop_watch();
    else if (!watch.watching)
        start_watch();
}

void sdl_layer::exit_if_display_gone() {
    if (watch.program != 0 && display_gone())
        report_lost();
}
