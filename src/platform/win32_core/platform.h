// What a platform provides: the hooks the core calls (the clock, pumping and waiting for events,
// and the surface of a window). Each layer defines every one of them; the core never calls its
// layer any other way. The other direction, the layer's events, goes through report.h.
#pragma once

#include "platform/win32_core/core.h"

#include <cstdint>
#include <memory>

namespace win32_core::platform {

std::uint64_t now_ms();
// Moves the platform's events into the queues; without `poll`, only those already received.
void pump_events(bool poll);
// Sleeps until an event arrives or `timeout_ms` passes (-1: no limit).
void wait_for_events(int timeout_ms);
// The platform's record for a new window (null refuses it, after one line on stderr) and what
// is to happen once its fields are set, before WM_CREATE (false fails the creation).
std::unique_ptr<Window> new_window();
bool window_created(Window &window);
// ShowWindow: makes the surface visible, or restores it; false when it cannot be shown.
bool show_surface(Window &window, int show);
void hide_surface(Window &window);
// SetWindowPos: false refuses the move; resize_surface runs before the WM_SIZE.
bool move_surface(Window &window, int x, int y);
void raise_surface(Window &window);
void resize_surface(Window &window, int width, int height);
// SetCapture and ReleaseCapture; `anew` when the capture moves to another window.
void take_pointer(bool anew);
void let_pointer_go();

} // namespace win32_core::platform
