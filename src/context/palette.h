// A logical palette for pixel formats that need one, spreading each colour field over 0..255.
#pragma once

#include "platform/win32.h"

void setup_palette(HDC dc);
