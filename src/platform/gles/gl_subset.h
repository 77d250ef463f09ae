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
//
// GL_SUBSET_ES2_FUNCTIONS lists what the loader must answer, for a platform that builds its loader
// as a table (expanded where the GL types are declared: platform/opengl.h in a subset build).
#pragma once

#include <cstddef>

typedef char GLchar;
typedef std::ptrdiff_t GLsizeiptr;

// X(result, name, parameters): every ES 2.0 function the subset calls, loaded by its ES name.
#define GL_SUBSET_ES2_FUNCTIONS(X)                                                                 \
    X(void, ActiveTexture, (GLenum))                                                               \
    X(void, AttachShader, (GLuint, GLuint))                                                        \
    X(void, BindAttribLocation, (GLuint, GLuint, const GLchar *))                                  \
    X(void, BindBuffer, (GLenum, GLuint))                                                          \
    X(void, BindTexture, (GLenum, GLuint))                                                         \
    X(void, BufferData, (GLenum, GLsizeiptr, const void *, GLenum))                                \
    X(void, Clear, (GLbitfield))                                                                   \
    X(void, ClearColor, (GLfloat, GLfloat, GLfloat, GLfloat))                                      \
    X(void, CompileShader, (GLuint))                                                               \
    X(GLuint, CreateProgram, (void))                                                               \
    X(GLuint, CreateShader, (GLenum))                                                              \
    X(void, DeleteShader, (GLuint))                                                                \
    X(void, Disable, (GLenum))                                                                     \
    X(void, DrawArrays, (GLenum, GLint, GLsizei))                                                  \
    X(void, Enable, (GLenum))                                                                      \
    X(void, EnableVertexAttribArray, (GLuint))                                                     \
    X(void, Finish, (void))                                                                        \
    X(void, Flush, (void))                                                                         \
    X(void, GenBuffers, (GLsizei, GLuint *))                                                       \
    X(void, GenTextures, (GLsizei, GLuint *))                                                      \
    X(void, GetProgramInfoLog, (GLuint, GLsizei, GLsizei *, GLchar *))                             \
    X(void, GetProgramiv, (GLuint, GLenum, GLint *))                                               \
    X(void, GetShaderInfoLog, (GLuint, GLsizei, GLsizei *, GLchar *))                              \
    X(void, GetShaderiv, (GLuint, GLenum, GLint *))                                                \
    X(const GLubyte *, GetString, (GLenum))                                                        \
    X(GLint, GetUniformLocation, (GLuint, const GLchar *))                                         \
    X(void, LineWidth, (GLfloat))                                                                  \
    X(void, LinkProgram, (GLuint))                                                                 \
    X(void, PixelStorei, (GLenum, GLint))                                                          \
    X(void, ReadPixels, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void *))                  \
    X(void, ShaderSource, (GLuint, GLsizei, const GLchar *const *, const GLint *))                 \
    X(void, TexImage2D,                                                                            \
      (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void *))               \
    X(void, TexParameteri, (GLenum, GLenum, GLint))                                                \
    X(void, Uniform1f, (GLint, GLfloat))                                                           \
    X(void, Uniform1i, (GLint, GLint))                                                             \
    X(void, Uniform3fv, (GLint, GLsizei, const GLfloat *))                                         \
    X(void, Uniform4fv, (GLint, GLsizei, const GLfloat *))                                         \
    X(void, UniformMatrix3fv, (GLint, GLsizei, GLboolean, const GLfloat *))                        \
    X(void, UniformMatrix4fv, (GLint, GLsizei, GLboolean, const GLfloat *))                        \
    X(void, UseProgram, (GLuint))                                                                  \
    X(void, VertexAttribPointer, (GLuint, GLint, GLenum, GLboolean, GLsizei, const void *))

using GlSubsetLoader = void *(*)(const char *name);

// Returns false, after one line on stderr naming what is missing, when the loader lacks an
// ES 2.0 function or the program does not build; the context is then not current.
bool gl_subset_make_current(const void *context, GlSubsetLoader loader);
void gl_subset_forget(const void *context);
void gl_subset_lost(const void *context);
// False, after one line on stderr, when the program does not build again.
bool gl_subset_restored(const void *context);
