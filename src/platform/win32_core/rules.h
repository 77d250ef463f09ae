// What only the core's own files see: the writable state and the helpers its rules share. A layer
// includes core.h, platform.h and report.h instead.
#pragma once

#include "platform/win32_core/core.h"
#include "platform/win32_core/platform.h"
#include "platform/win32_core/report.h"

#include <string>

namespace win32_core {

State &state();

// Calls the window procedure directly, as Win32 does for sent messages. The window may be gone
// afterwards: callers look it up again by handle.
LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Records a new client size, invalidates as the class styles say, and sends WM_SIZE.
void client_resized(HWND hwnd, int width, int height, WPARAM kind);

// A message stamped with the current time and pointer position.
MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Queues input, merging a pointer move into a pointer move at the end of the queue.
void queue_input(const MSG &msg);
void queue_posted(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The character Windows translates a key into by itself; 0 for none.
char control_character(WPARAM virtual_key, report::Modifiers modifiers);

} // namespace win32_core
