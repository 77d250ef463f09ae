// A platform without a display, for tests of the core's Win32 rules: a clock that moves only when
// the test advances it (or when the core waits for a timer), events that the test scripts through
// report.h, and a log of what the core asked of the platform. Nothing here sleeps.
#pragma once

#include "platform/win32_core/core.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace null_platform {

// Moves the clock on.
void advance(std::uint64_t ms);
// An event the platform will have at its next pump (a report:: call of the test's choosing).
void script(std::function<void()> event);
// What the core asked of the platform, in order: "show", "hide", "take pointer", "take pointer
// anew", "let pointer go", "wait 100" (the wait's limit in ms; the clock moves on by it).
const std::vector<std::string> &calls();
void clear_calls();
// Ends every window without messages and empties the queues: each test starts afresh.
void reset();

} // namespace null_platform
