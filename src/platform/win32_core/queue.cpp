// The message queue: retrieval in Win32's order, the wait, dispatch and the timer.
#include "platform/win32_core/rules.h"

#include <algorithm>
#include <climits>

using namespace win32_core;

namespace {

constexpr UINT pm_noyield = 0x0002;
constexpr std::uint64_t user_timer_minimum = 10;
constexpr std::uint64_t user_timer_maximum = 0x7FFFFFFF;

struct DueTimer {
    Window *window = nullptr;
    Timer *timer = nullptr;
};

DueTimer earliest_timer() {
    DueTimer earliest;
    for (auto &entry : state().windows) {
        Window &window = *entry.second;
        for (Timer &timer : window.timers)
            if (earliest.timer == nullptr || timer.due_ms < earliest.timer->due_ms)
                earliest = DueTimer{&window, &timer};
    }
    return earliest;
}

// The next message in Win32's order. With `remove` it is taken out, except WM_PAINT, which stays
// until the window is validated.
bool next_message(MSG &msg, bool remove, bool poll = true) {
    platform::pump_events(poll);
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
            if (msg.message == WM_KEYDOWN)
                s.key_down = std::move(s.input.front());
            s.input.pop_front();
        }
        return true;
    }
    for (const auto &entry : s.windows) {
        const Window &window = *entry.second;
        if (window.visible && window.invalid) {
            msg = make_message(window.handle, WM_PAINT, 0, 0);
            return true;
        }
    }
    const DueTimer due = earliest_timer();
    const std::uint64_t now = platform::now_ms();
    if (due.timer != nullptr && due.timer->due_ms <= now) {
        msg = make_message(due.window->handle, WM_TIMER, due.timer->id, 0);
        // Missed ticks do not pile up: the next one is the first still ahead, in phase.
        if (remove)
            while (due.timer->due_ms <= now)
                due.timer->due_ms += due.timer->period_ms;
        return true;
    }
    return false;
}

// Sleeps until the platform has an event or the next timer is due.
void wait_for_event() {
    const DueTimer due = earliest_timer();
    int timeout_ms = -1;
    if (due.timer != nullptr) {
        const std::uint64_t now = platform::now_ms();
        const std::uint64_t left = due.timer->due_ms > now ? due.timer->due_ms - now : 0;
        timeout_ms = static_cast<int>(std::min<std::uint64_t>(left, INT_MAX));
    }
    platform::wait_for_events(timeout_ms);
}

bool filter_supported(const char *call, HWND hwnd, UINT filter_min, UINT filter_max) {
    if (hwnd == nullptr && filter_min == 0 && filter_max == 0)
        return true;
    unsupported(call, "a window or message filter");
    return false;
}

} // namespace

namespace win32_core {

MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return MSG{hwnd,          message, wparam, lparam, static_cast<DWORD>(platform::now_ms()),
               state().cursor};
}

void queue_posted(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    QueuedMessage queued;
    queued.msg = make_message(hwnd, message, wparam, lparam);
    state().posted.push_back(std::move(queued));
    trace("post", hwnd, message, wparam, lparam);
}

void queue_input(const MSG &msg) {
    auto &input = state().input;
    trace("input", msg.hwnd, msg.message, msg.wParam, msg.lParam);
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
    input.push_back(std::move(queued));
}

} // namespace win32_core

// ==== Retrieval, translation and dispatch ====

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
    if (msg == nullptr || !filter_supported("PeekMessageA", hwnd, filter_min, filter_max))
        return FALSE;
    if ((remove & ~(PM_REMOVE | pm_noyield)) != 0) {
        unsupported("PeekMessageA", "a queue-status filter");
        return FALSE;
    }
    const bool take = (remove & PM_REMOVE) != 0;
    state().peeked_after_poll = false;
    if (!next_message(*msg, take))
        return FALSE;
    state().peeked_after_poll = !take;
    trace(take ? "get" : "peek", msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max) {
    if (msg == nullptr || !filter_supported("GetMessageA", hwnd, filter_min, filter_max))
        return -1;
    // After a peek that found a message, as in the viewer's loop, the events were polled a moment
    // ago: polling again (a round of X11 calls) would only repeat that work.
    bool poll = !state().peeked_after_poll;
    state().peeked_after_poll = false;
    while (!next_message(*msg, true, poll)) {
        wait_for_event();
        poll = true;
    }
    trace("get", msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

void WINAPI PostQuitMessage(int exit_code) {
    state().quit_requested = true;
    state().quit_code = exit_code;
    trace("post", nullptr, WM_QUIT, static_cast<WPARAM>(exit_code), 0);
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    const Window *window = find_window(msg->hwnd);
    if (window == nullptr)
        return 0;
    trace("dispatch", msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return window->window_class->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// ==== The timer ====

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC func) {
    if (hwnd == nullptr || func != nullptr) {
        unsupported("SetTimer", "a thread timer or a timer procedure");
        return 0;
    }
    Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return 0;
    Timer timer;
    timer.id = id;
    timer.period_ms = std::clamp<std::uint64_t>(elapse_ms, user_timer_minimum, user_timer_maximum);
    timer.due_ms = platform::now_ms() + timer.period_ms;
    // Setting an existing identifier again restarts that timer.
    const auto same_id = [id](const Timer &t) { return t.id == id; };
    const auto existing = std::find_if(window->timers.begin(), window->timers.end(), same_id);
    if (existing != window->timers.end())
        *existing = timer;
    else
        window->timers.push_back(timer);
    return id != 0 ? id : 1;
}
