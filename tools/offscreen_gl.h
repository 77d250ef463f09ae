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

// What create_offscreen_gl builds on: desktop OpenGL (compatibility profile) or OpenGL ES 2.0.
// The build's OpenGL decides which (offscreen_fixed.cpp or offscreen_subset.cpp).
enum class OffscreenApi { desktop, es2 };
bool create_offscreen_context(int width, int height, int depth_bits, OffscreenApi api,
                              std::string *error);
void destroy_offscreen_context();
