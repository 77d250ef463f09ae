// How a platform plugs its OpenGL ES 2.0 (or WebGL 1) context into the OpenGL 1.1 subset.
//
// The subset defines glEnable, glClear and the other OpenGL 1.1 names itself, so it must never
// reach ES 2.0 through those names (they would call back into the subset). It reaches ES 2.0
// only through function pointers that the platform's loader returns:
//
//   - after making its ES 2.0 context current, the platform calls
//         gl_subset_make_current(context, loader);
//     where context is any pointer that names that context (the EGLContext, SDL_GLContext or
//     WebGL context handle) and loader returns the address of an ES 2.0 entry point by its
//     ES name ("glDrawArrays"), or null:
//         EGL:         eglGetProcAddress (Mesa answers for core functions too)
//         SDL:         SDL_GL_GetProcAddress
//         Emscripten:  emscripten_webgl_get_proc_address, or a table of the emscripten_gl*
//                      functions by name
//   - the first call for a context loads its functions, builds the program and starts from
//     OpenGL's initial state; later calls for the same context only switch back to it;
//   - gl_subset_make_current(nullptr, nullptr) leaves no context current (the subset's calls
//     then report themselves and do nothing); gl_subset_forget(context) drops a context's
//     state once the platform has destroyed it.
//   - a context that can be lost (WebGL's webglcontextlost) is reported with
//         gl_subset_lost(context);
//     from then on draws are dropped and no ES object is made; once it is back and current,
//         gl_subset_restored(context);
//     makes the subset's ES objects again and hands ES what it had been handed (the texture,
//     the clear colour, the capabilities), so the next frame draws as before.
//
// Needs GLSL ES 1.00 and glDrawArrays without element indices: nothing beyond what WebGL 1
// guarantees. The platform keeps its own headers (EGL, SDL, Emscripten) on its side.
#pragma once

using GlSubsetLoader = void *(*)(const char *name);

// Returns false, after one line on stderr naming what is missing, when the loader lacks an
// ES 2.0 function or the program does not build; the context is then not current.
bool gl_subset_make_current(const void *context, GlSubsetLoader loader);
void gl_subset_forget(const void *context);
void gl_subset_lost(const void *context);
// False, after one line on stderr, when the program does not build again.
bool gl_subset_restored(const void *context);
