// An OpenGL context without a window: Mesa's surfaceless EGL platform with a pbuffer, used by the
// snapshot tool, the benchmarks and the tests in place of the window's WGL context.
#pragma once

#include <string>

// Creates the context with an RGBA8 pbuffer of width x height pixels and exactly depth_bits of
// depth, and makes it current on this thread. Like a window's context made current for the first
// time, the viewport covers the whole pbuffer. Returns false and sets *error on failure.
bool create_offscreen_gl(int width, int height, int depth_bits, std::string *error);

// Releases the context made by create_offscreen_gl; harmless when there is none.
void destroy_offscreen_gl();
