// helicoid-bench: measures the native viewer's own loop against a bare loop on the same kind of
// context. One mode per process, so that peak memory is each mode's own:
//   --viewer SECONDS  the real WinMain, spinning from the first frame; reports frames per second,
//                     start-up time and input latency (a key command pushed into SDL's queue from
//                     a timer thread, to the SwapBuffers of the frame drawn after it was handled)
//   --bare SECONDS    a window and context of the same kind: clear, the same 10584 normals
//                     and vertices in the same sequence of poses as the spinning viewer, swap
//   --bare-lit SECONDS  the bare loop with the viewer's lights, materials and depth test switched
//                     on once: what is left between it and the viewer is the loop's own cost
//   --quiet SECONDS   the real WinMain, stopped by a click; reports its CPU time over SECONDS
//   --viewer|--bare|--bare-lit --frames N [--count-from K]
//                     exactly N frames of the same poses and then exit, with no clock read, no
//                     input and no tracer: for counting instructions under callgrind
//                     (bench/count.sh, bench/guard.sh), from frame K (4) to the last
// Under callgrind the viewer modes also dump the counts at the information box and at the first
// frame, counted runs drop what they counted before frame K, and the quiet mode counts only its
// quiet seconds. Prints one line of key=value pairs.
#include "context/pixel_format.h"
#include "platform/opengl.h"
#include "platform/sdl/sdl_win32.h"
#include "platform/sdl/test_support.h"
#include "scene/frame.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"

#include <SDL.h>
#include <sys/resource.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name)
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

long peak_resident_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr int warm_up_frames = 30;

struct Run {
    double duration = 5;
    long frame_limit = 0; // --frames: stop after exactly this many frames, and time nothing
    // Counted runs count from this frame (--count-from) to their last: llvmpipe compiles its
    // shader variants in the first frames, and what a compile costs varies with the heap's
    // layout, as does what freeing the heap costs at exit. A run under callgrind
    // --instr-atstart=no also starts instrumenting there.
    long count_from = 4;
    GLint depth_bits = 0;
    HWND window = nullptr;
    Clock::time_point box_answered;
    double startup_ms = -1;
    std::atomic<long> frames{0};
    long measured_frames = 0;
    Clock::time_point measuring_since;
    bool done = false;
    // Input latency: when a text event was pushed and when its WM_CHAR was dispatched (0: none).
    std::atomic<long long> pushed_at_ns{0};
    long long dispatched_at_ns = 0;
    std::vector<double> latencies_ms;
    std::vector<double> handled_ms; // from the WM_CHAR's dispatch to the swap
    // Quiet mode
    std::atomic<bool> stopped{false}; // the last frame before the loop blocks has been presented
    Clock::time_point stopped_at;
    double counted_seconds = -1; // from the last frame to the close request, as counted
    std::atomic<double> quiet_cpu{-1};
};

Run run;

long long now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

void start_counting() {
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
}

int answer_box(HWND, LPCSTR, LPCSTR, UINT) {
    CALLGRIND_DUMP_STATS_AT("process start to information box");
    run.box_answered = Clock::now();
    return IDOK;
}

void trace(const char *event, HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message == WM_CREATE && run.window == nullptr)
        run.window = hwnd;
    if (std::strcmp(event, "dispatch") == 0 && message == WM_CHAR)
        run.dispatched_at_ns = now_ns();
    if (std::strcmp(event, "dispatch") == 0 && message == WM_CLOSE && run.stopped) {
        CALLGRIND_DUMP_STATS_AT("quiet viewer");
        run.counted_seconds = seconds_since(run.stopped_at);
    }
}

void on_present() {
    ++run.frames;
    if (run.frames == 1)
        CALLGRIND_DUMP_STATS_AT("information box to first frame");
    if (run.frame_limit > 0) {
        if (run.frames == 1)
            glGetIntegerv(GL_DEPTH_BITS, &run.depth_bits);
        if (run.frames == run.count_from)
            start_counting();
        if (run.frames == run.frame_limit) {
            CALLGRIND_TOGGLE_COLLECT;
            PostQuitMessage(0);
        }
        return;
    }
    // idle_redraw removes itself before its last frame. Callgrind zeroes only the calling thread's
    // counts, so the main thread's count starts here and is dumped at the close request.
    if (viewer.idle_function == nullptr && !run.stopped) {
        CALLGRIND_ZERO_STATS;
        run.stopped_at = Clock::now();
        run.stopped = true;
    }
    if (run.frames == 1)
        run.startup_ms =
            std::chrono::duration<double, std::milli>(Clock::now() - run.box_answered).count();
    if (run.dispatched_at_ns != 0) {
        const long long presented = now_ns();
        const long long pushed = run.pushed_at_ns.exchange(0);
        if (pushed != 0) {
            run.latencies_ms.push_back((presented - pushed) / 1e6);
            run.handled_ms.push_back((presented - run.dispatched_at_ns) / 1e6);
        }
        run.dispatched_at_ns = 0;
    }
    if (run.frames == warm_up_frames)
        run.measuring_since = Clock::now();
    if (run.frames > warm_up_frames) {
        ++run.measured_frames;
        if (!run.done && seconds_since(run.measuring_since) >= run.duration) {
            run.done = true;
            PostQuitMessage(0);
        }
    }
}

// Timer thread: pushes a "j" as typed text about every 97 ms, once the previous one is handled.
// "j" requests a frame like every key command but leaves the picture's cost alone ("f" would not).
Uint32 push_key(Uint32 interval, void *) {
    if (run.window != nullptr && run.frames > warm_up_frames && !run.done &&
        run.pushed_at_ns.load() == 0) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = SDL_GetWindowID(sdl_win32_sdl_window(run.window));
        std::strcpy(event.text.text, "j");
        run.pushed_at_ns = now_ns();
        SDL_PushEvent(&event);
    }
    return interval;
}

void push_mouse(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    event.button.windowID = SDL_GetWindowID(sdl_win32_sdl_window(run.window));
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = 300;
    event.button.y = 300;
    SDL_PushEvent(&event);
}

// Timer thread for the quiet mode: a click once frames flow, then, once the last frame is out, CPU
// time over the duration, then the window manager's close request. Waiting on frames rather than
// on the clock keeps it right under callgrind, where a frame can take seconds.
Uint32 quiet_script(Uint32, void *) {
    static int step = 0;
    static double cpu_at_start = 0;
    switch (step) {
    case 0:
        if (run.window == nullptr || run.frames < 2)
            return 100;
        push_mouse(SDL_MOUSEBUTTONDOWN);
        push_mouse(SDL_MOUSEBUTTONUP);
        step = 1;
        return 100;
    case 1:
        if (!run.stopped)
            return 100;
        step = 2;
        CALLGRIND_ZERO_STATS; // this thread's own count
        cpu_at_start = cpu_seconds();
        return static_cast<Uint32>(run.duration * 1000);
    default: {
        run.quiet_cpu = cpu_seconds() - cpu_at_start;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return 0;
    }
    }
}

int viewer_mode(bool quiet) {
    sdl_win32_set_message_box_hook(answer_box);
    sdl_win32_set_present_hook(on_present);
    if (run.frame_limit > 0) {
        viewer.spin_active = 1;
        WinMain(sdl_win32_module(), nullptr, const_cast<char *>(""), SW_SHOWDEFAULT);
        std::printf("mode=viewer frames=%ld depth_bits=%d\n", run.frames.load(), run.depth_bits);
        return 0;
    }
    sdl_win32_set_tracer(trace);
    if (quiet) {
        run.duration = std::max(run.duration, 1.0);
        SDL_AddTimer(1000, quiet_script, nullptr);
    } else {
        viewer.spin_active = 1; // spinning with the start-up increment from the first frame
        SDL_AddTimer(97, push_key, nullptr);
    }
    WinMain(sdl_win32_module(), nullptr, const_cast<char *>(""), SW_SHOWDEFAULT);
    if (quiet) {
        // The window and its context are gone by now: there is no renderer to name.
        std::printf(
            "mode=quiet seconds=%.1f cpu_seconds=%.4f cpu_percent=%.3f counted_seconds=%.2f\n",
            run.duration, run.quiet_cpu.load(), 100.0 * run.quiet_cpu.load() / run.duration,
            run.counted_seconds);
        return 0;
    }
    std::sort(run.latencies_ms.begin(), run.latencies_ms.end());
    std::sort(run.handled_ms.begin(), run.handled_ms.end());
    const double seconds = seconds_since(run.measuring_since);
    const double fps = run.measured_frames / seconds;
    const double median_latency =
        run.latencies_ms.empty() ? -1 : run.latencies_ms[run.latencies_ms.size() / 2];
    const double max_latency = run.latencies_ms.empty() ? -1 : run.latencies_ms.back();
    const double median_handled =
        run.handled_ms.empty() ? -1 : run.handled_ms[run.handled_ms.size() / 2];
    const char *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    std::printf("mode=viewer fps=%.2f frame_ms=%.3f startup_ms=%.1f latency_median_ms=%.3f "
                "latency_max_ms=%.3f handled_median_ms=%.3f latency_samples=%zu peak_rss_kib=%ld "
                "renderer=\"%s\"\n",
                fps, 1000.0 / fps, run.startup_ms, median_latency, max_latency, median_handled,
                run.latencies_ms.size(), peak_resident_kib(), renderer ? renderer : "?");
    return 0;
}

// The bare loop's window and context come from the viewer's own pixel-format request, so that both
// draw on the same surface (16 depth bits, not GLX's deepest).
SDL_Window *bare_window() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = sdl_win32_module();
    wc.lpszClassName = "bare loop";
    const HWND hwnd =
        RegisterClassA(&wc) == 0
            ? nullptr
            : CreateWindowExA(0, "bare loop", "bare loop", WS_OVERLAPPEDWINDOW, 50, 50, 614, 614,
                              nullptr, nullptr, sdl_win32_module(), nullptr);
    if (hwnd == nullptr)
        return nullptr;
    const HDC dc = GetDC(hwnd);
    setup_pixel_format(dc); // the viewer's own request; a failure ends the process
    if (!wglMakeCurrent(dc, wglCreateContext(dc)))
        return nullptr;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    return sdl_win32_sdl_window(hwnd);
}

int bare_mode(bool lit) {
    SDL_Window *window = bare_window();
    if (window == nullptr) {
        std::fprintf(stderr, "helicoid-bench: no window and context for the bare loop\n");
        return 1;
    }
    // The same view of the model, set once: the loop itself does only a frame's essential work.
    glMatrixMode(GL_PROJECTION);
    glOrtho(-13, 13, -13, 13, -23, 23);
    glMatrixMode(GL_MODELVIEW);
    if (lit) {
        viewer.window_width = viewer.window_height = 614;
        init_scene();
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT2);
        glEnable(GL_DEPTH_TEST);
        apply_materials();
    }

    const Mesh &mesh = viewer.mesh;
    Clock::time_point since;
    long frames = 0, measured = 0;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The spinning viewer's n-th frame shows the model turned n increments about one axis:
        // the same poses cover the same pixels, so both loops rasterise the same work.
        glLoadIdentity();
        const double turned = std::fmod(double{viewer.spin_angle} * double(frames + 1), 360.0);
        glRotatef(static_cast<float>(turned), viewer.spin_axis[0], viewer.spin_axis[1],
                  viewer.spin_axis[2]);
        glTranslatef(0, -9, 0);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < mesh.face_count; ++i)
            for (int c = 0; c < 3; ++c) {
                const float *n = mesh.normals[mesh.faces[i].normal_index[c]];
                const float *p = mesh.positions[mesh.faces[i].position_index[c]];
                glNormal3f(n[0], n[1], n[2]);
                glVertex3f(p[0], p[1], p[2]);
            }
        glEnd();
        SDL_GL_SwapWindow(window);
        if (run.frame_limit > 0) {
            if (++frames == run.count_from)
                start_counting();
            if (frames == run.frame_limit) {
                CALLGRIND_TOGGLE_COLLECT;
                break;
            }
            continue;
        }
        if (++frames == warm_up_frames)
            since = Clock::now();
        if (frames > warm_up_frames && (++measured, seconds_since(since) >= run.duration))
            break;
    }
    if (run.frame_limit > 0) {
        GLint depth_bits = 0;
        glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
        std::printf("mode=%s frames=%ld depth_bits=%d renderer=\"%s\"\n", lit ? "bare-lit" : "bare",
                    frames, depth_bits, reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    } else {
        const double fps = measured / seconds_since(since);
        std::printf("mode=%s fps=%.2f frame_ms=%.3f peak_rss_kib=%ld renderer=\"%s\"\n",
                    lit ? "bare-lit" : "bare", fps, 1000.0 / fps, peak_resident_kib(),
                    reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool counted = (argc == 4 || (argc == 6 && std::string(argv[4]) == "--count-from")) &&
                         std::string(argv[2]) == "--frames" && mode != "--quiet";
    if ((argc != 3 && !counted) ||
        (mode != "--viewer" && mode != "--bare" && mode != "--bare-lit" && mode != "--quiet")) {
        std::fprintf(stderr, "usage: helicoid-bench --viewer|--bare|--bare-lit|--quiet SECONDS\n"
                             "       helicoid-bench --viewer|--bare|--bare-lit --frames N "
                             "[--count-from K]\n");
        return 2;
    }
    if (counted) {
        run.frame_limit = std::atol(argv[3]);
        if (argc == 6)
            run.count_from = std::atol(argv[5]);
        if (run.frame_limit < 1 || run.count_from < 1 || run.count_from >= run.frame_limit) {
            std::fprintf(stderr, "helicoid-bench: --frames needs a positive count, and "
                                 "--count-from one below it\n");
            return 2;
        }
    } else {
        run.duration = std::atof(argv[2]);
    }
    std::string error;
    if (!sdl_win32_start(error)) {
        std::fprintf(stderr, "helicoid-bench: %s\n", error.c_str());
        return 1;
    }
    const int result = mode == "--bare"       ? bare_mode(false)
                       : mode == "--bare-lit" ? bare_mode(true)
                                              : viewer_mode(mode == "--quiet");
    sdl_win32_stop();
    return result;
}
