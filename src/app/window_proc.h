// The window procedure of the viewer's window class.
#pragma once

#include "platform/win32.h"

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// key_level's steps: 0.05 in double, bounded to 0.01 and 1.05, both inclusive.
void step_key_level_up();
void step_key_level_down();
