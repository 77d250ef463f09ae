// OpenGL 1.1 as the viewer uses it; Windows' <GL/gl.h> needs <windows.h> first.
#pragma once

#include "platform/win32.h"

#include <GL/gl.h>
