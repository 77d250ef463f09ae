// The null platform's hooks: a clock of its own, scripted events, surfaces that are only records.
// A wait with nothing scripted and no timer would never end, and neither would a loop that keeps
// pumping; both throw instead, so that a test that would hang fails at once.
#include "platform/win32_core/null/null_platform.h"

#include "platform/win32_core/platform.h"
#include "platform/win32_core/report.h"

#include <deque>
#include <stdexcept>

namespace {

struct NullState {
    std::uint64_t now_ms = 0;
    std::deque<std::function<void()>> events;
    std::vector<std::string> calls;
    long pumps = 0;
};

// Far more rounds than any test's loop takes: the core is spinning without end.
constexpr long pump_limit = 100000;

NullState &null_state() {
    static NullState the_state;
    return the_state;
}

void record(std::string call) {
    null_state().calls.push_back(std::move(call));
}

} // namespace

namespace null_platform {

void advance(std::uint64_t ms) {
    null_state().now_ms += ms;
}

void script(std::function<void()> event) {
    null_state().events.push_back(std::move(event));
}

const std::vector<std::string> &calls() {
    return null_state().calls;
}

void clear_calls() {
    null_state().calls.clear();
}

void reset() {
    win32_core::report::process_ended();
    null_state() = NullState{};
}

} // namespace null_platform

namespace win32_core::platform {

std::uint64_t now_ms() {
    return null_state().now_ms;
}

void pump_events(bool) {
    if (++null_state().pumps > pump_limit)
        throw std::logic_error("the core pumps without end");
    auto &events = null_state().events;
    while (!events.empty()) {
        const std::function<void()> event = std::move(events.front());
        events.pop_front();
        event();
    }
}

void wait_for_events(int timeout_ms) {
    if (!null_state().events.empty())
        return;
    if (timeout_ms < 0)
        throw std::logic_error("the core waits for an event that no script will bring");
    record("wait " + std::to_string(timeout_ms));
    null_platform::advance(static_cast<std::uint64_t>(timeout_ms));
}

std::unique_ptr<Window> new_window() {
    return std::make_unique<Window>();
}

bool window_created(Window &) {
    return true;
}

bool show_surface(Window &, int) {
    record("show");
    return true;
}

void hide_surface(Window &) {
    record("hide");
}

bool move_surface(Window &, int, int) {
    return true;
}

void raise_surface(Window &) {}

void resize_surface(Window &, int, int) {}

void take_pointer(bool anew) {
    record(anew ? "take pointer anew" : "take pointer");
}

void let_pointer_go() {
    record("let pointer go");
}

} // namespace win32_core::platform
