// The OpenGL ES 2.0 functions the subset draws with, reached only through pointers (the plain
// names belong to the subset's own OpenGL 1.1 entry points), and the ES constants it needs
// beyond those that OpenGL 1.1 shares with ES.
#pragma once

#include "platform/gles/gl11.h"
#include "platform/gles/gl_subset.h"

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

struct Es2 {
#define GL_SUBSET_ES2_MEMBER(result, name, parameters) result(*name) parameters = nullptr;
    GL_SUBSET_ES2_FUNCTIONS(GL_SUBSET_ES2_MEMBER)
#undef GL_SUBSET_ES2_MEMBER
};
