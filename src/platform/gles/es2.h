// The OpenGL ES 2.0 functions the subset draws with, reached only through pointers (the plain
// names belong to the subset's own OpenGL 1.1 entry points), and the ES constants it needs
// beyond those that OpenGL 1.1 shares with ES.
#pragma once

#include "platform/gles/gl11.h"

#include <cstddef>

typedef char GLchar;
typedef std::ptrdiff_t GLsizeiptr;

#define GL_FALSE 0
#define GL_ARRAY_BUFFER 0x8892
#define GL_STREAM_DRAW 0x88E0
#define GL_FLOAT 0x1406
#define GL_LINES 0x0001
#define GL_FRAGMENT_SHADER 0x8B30
#define GL_VERTEX_SHADER 0x8B31
#define GL_COMPILE_STATUS 0x8B81
#define GL_LINK_STATUS 0x8B82
#define GL_TEXTURE0 0x84C0
#define GL_UNPACK_ALIGNMENT 0x0CF5

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

struct Es2 {
#define GL_SUBSET_ES2_MEMBER(result, name, parameters) result(*name) parameters = nullptr;
    GL_SUBSET_ES2_FUNCTIONS(GL_SUBSET_ES2_MEMBER)
#undef GL_SUBSET_ES2_MEMBER
};
