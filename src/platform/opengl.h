// OpenGL 1.1 as the viewer uses it: the platform's own, or our subset over OpenGL ES 2.0 when
// the build selects it. Windows' <GL/gl.h> needs <windows.h> first.
#pragma once

#include "platform/win32.h"

#ifdef HELICOID_GL_SUBSET
#include "platform/gles/gl11.h"
#else
#include <GL/gl.h>
#endif
