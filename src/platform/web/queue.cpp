// The message queue: retrieval in Win32's order, the wait that yields to the page, translation,
// dispatch and timers.
#include "platform/web/state.h"

#include <algorithm>
#include <cmath>

using namespace web_layer;

namespace {

constexpr UINT pm_noyield = 0x0002;
constexpr double user_timer_minimum = 10;
constexpr double user_timer_maximum = 0x7FFFFFFF;

Timer *earliest_timer() {
    Window *window = state().window.get();
    if (window == nullptr)
        return nullptr;
    Timer *earliest = nullptr;
    for (Timer &timer : window->timers)
        if (earliest == nullptr || timer.due_ms < earliest->due_ms)
            earliest = &timer;
    return earliest;
}

// The next message in Win32's order. With `remove` it is taken out, except WM_PAINT, which stays
// until the window is validated.
bool next_message(MSG &msg, bool remove) {
    State &s = state();
    if (!s.posted.empty()) {
        msg = s.posted.front().msg;
        if (remove)
            s.posted.pop_front();
        return true;
    }
    // The quit flag waits for the posted messages but not for input, paint or timers.
    if (s.quit_requested) {
        msg = make_message(nullptr, WM_QUIT, static_cast<WPARAM>(s.quit_code), 0);
        if (remove)
            s.quit_requested = false;
        return true;
    }
    if (!s.input.empty()) {
        msg = s.input.front().msg;
        if (remove) {
            if (msg.message == WM_KEYDOWN) {
                s.key_down = msg;
                s.key_down_chars = std::move(s.input.front().chars);
            }
            s.input.pop_front();
        }
        return true;
    }
    const Window *window = s.window.get();
    if (window != nullptr && window->visible && window->invalid) {
        msg = make_message(window->handle, WM_PAINT, 0, 0);
        return true;
    }
    Timer *due = earliest_timer();
    const double now = web_now_ms();
    if (due != nullptr && due->due_ms <= now) {
        msg = make_message(window->handle, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc));
        // Missed ticks do not pile up: the next one is the first still ahead, in phase.
        if (remove)
            due->due_ms += due->period_ms * (std::floor((now - due->due_ms) / due->period_ms) + 1);
        return true;
    }
    return false;
}

// Hands the page its turn until an event arrives or the next timer is due.
void wait_for_event() {
    const Timer *due = earliest_timer();
    int timeout_ms = -1;
    if (due != nullptr)
        timeout_ms = static_cast<int>(std::ceil(std::max(0.0, due->due_ms - web_now_ms())));
    web_wait(timeout_ms);
}

bool filter_supported(const char *call, HWND hwnd, UINT filter_min, UINT filter_max) {
    if (hwnd == nullptr && filter_min == 0 && filter_max == 0)
        return true;
    unsupported(call, "a window or message filter");
    return false;
}

bool same_message(const MSG &a, const MSG &b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam &&
           a.lParam == b.lParam && a.time == b.time;
}

} // namespace

namespace web_layer {

MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return MSG{hwnd, message, wparam, lparam, static_cast<DWORD>(web_now_ms()), state().cursor};
}

void queue_posted(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    QueuedMessage queued;
    queued.msg = make_message(hwnd, message, wparam, lparam);
    state().posted.push_back(std::move(queued));
}

void queue_input(const MSG &msg, std::string chars) {
    auto &input = state().input;
    web_wake();
    // Windows keeps only the latest of consecutive pointer moves.
    if (msg.message == WM_MOUSEMOVE && !input.empty()) {
        MSG &last = input.back().msg;
        if (last.message == WM_MOUSEMOVE && last.hwnd == msg.hwnd && last.wParam == msg.wParam) {
            last = msg;
            return;
        }
    }
    QueuedMessage queued;
    queued.msg = msg;
    queued.chars = std::move(chars);
    input.push_back(std::move(queued));
}

// DestroyWindow flushes the thread's queue of the window's messages.
void drop_queued(HWND hwnd) {
    const auto for_window = [hwnd](const QueuedMessage &queued) { return queued.msg.hwnd == hwnd; };
    auto &posted = state().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), for_window), posted.end());
    auto &input = state().input;
    input.erase(std::remove_if(input.begin(), input.end(), for_window), input.end());
    if (state().key_down.hwnd == hwnd)
        state().key_down = MSG{};
}

} // namespace web_layer

// ==== Retrieval ====

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
    if (msg == nullptr || !filter_supported("PeekMessageA", hwnd, filter_min, filter_max))
        return FALSE;
    if ((remove & ~(PM_REMOVE | pm_noyield)) != 0) {
        unsupported("PeekMessageA", "a queue-status filter");
        return FALSE;
    }
    return next_message(*msg, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max) {
    if (msg == nullptr || !filter_supported("GetMessageA", hwnd, filter_min, filter_max))
        return -1;
    while (!next_message(*msg, true))
        wait_for_event();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

void WINAPI PostQuitMessage(int exit_code) {
    state().quit_requested = true;
    state().quit_code = exit_code;
}

// ==== Translation and dispatch ====

BOOL WINAPI TranslateMessage(const MSG *msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP))
        return FALSE;
    State &s = state();
    // The characters belong to the key-down last taken from the queue; an older copy translates
    // to nothing, as the keyboard has moved on.
    if (msg->message == WM_KEYDOWN && s.key_down.message == WM_KEYDOWN &&
        same_message(s.key_down, *msg)) {
        const std::string chars = std::move(s.key_down_chars);
        s.key_down = MSG{};
        s.key_down_chars.clear();
        for (const char c : chars)
            queue_posted(msg->hwnd, WM_CHAR, static_cast<unsigned char>(c), msg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    const Window *window = find_window(msg->hwnd);
    if (window == nullptr)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        // Only a procedure that SetTimer registered for this window is called, as Win32 checks.
        for (const Timer &timer : window->timers) {
            if (reinterpret_cast<LPARAM>(timer.proc) == msg->lParam) {
                const TIMERPROC proc = timer.proc;
                proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
                return 0;
            }
        }
        return 0;
    }
    return window->window_class->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// ==== Timers ====

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC func) {
    if (hwnd == nullptr) {
        unsupported("SetTimer", "a thread timer (no window)");
        return 0;
    }
    Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return 0;
    Timer timer;
    timer.id = id;
    timer.period_ms =
        std::clamp(static_cast<double>(elapse_ms), user_timer_minimum, user_timer_maximum);
    timer.due_ms = web_now_ms() + timer.period_ms;
    timer.proc = func;
    // Setting an existing identifier again restarts that timer.
    const auto same_id = [id](const Timer &t) { return t.id == id; };
    const auto existing = std::find_if(window->timers.begin(), window->timers.end(), same_id);
    if (existing != window->timers.end())
        *existing = timer;
    else
        window->timers.push_back(timer);
    return id != 0 ? id : 1;
}
