// What tests and benchmarks reach into the SDL layer for; a program needs none of it.
#pragma once

#include "platform/win32.h"

struct SDL_Window;

// Every window-procedure call and every queue movement, for message-sequence tests. `event` is
// "send" (called by the layer directly), "dispatch" (DispatchMessageA), "post" (posted queue or
// the quit flag), "input" (input queue), "get" (removed by GetMessageA or PeekMessageA) or "peek"
// (seen and left by PeekMessageA). Null switches it off.
using SdlWin32Tracer = void (*)(const char *event, HWND hwnd, UINT message, WPARAM wparam,
                                LPARAM lparam);
void sdl_win32_set_tracer(SdlWin32Tracer tracer);

// For benchmarks: called after every SwapBuffers that presented a frame. Null switches it off.
void sdl_win32_set_present_hook(void (*hook)());

// For benchmarks: answers MessageBoxA in place of showing the box. Null switches it off.
using SdlWin32MessageBoxHook = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
void sdl_win32_set_message_box_hook(SdlWin32MessageBoxHook hook);

// The SDL window behind a window handle, for tests that feed SDL events; null if there is none.
SDL_Window *sdl_win32_sdl_window(HWND hwnd);
