// Writing a picture as an 8-bit RGB PNG.
#pragma once

#include "render.h"

#include <string>

// Writes to a temporary file beside `path` and renames it into place, so a failure never leaves a
// partial file. Returns false and sets *error on failure.
bool write_png(const std::string &path, const Picture &picture, std::string *error);

// Reads an 8-bit RGB or RGBA PNG (alpha dropped). Returns false and sets *error on failure.
bool read_png(const std::string &path, Picture *picture, std::string *error);
