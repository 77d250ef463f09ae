// Choosing and setting the window's pixel format; a failure ends the process with status 1.
#pragma once

#include "platform/win32.h"

void setup_pixel_format(HDC dc);
