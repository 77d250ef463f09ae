// Writing a picture as an 8-bit RGB PNG.
#pragma once

#include "render.h"

#include <string>

// Writes the picture to `path` as output_file.h says ("-" is standard output). Returns false and
// sets *error to one line with the system's reason on failure.
bool write_png(const std::string &path, const Picture &picture, std::string *error);

// Reads an 8-bit RGB or RGBA PNG (alpha dropped). Returns false and sets *error on failure.
bool read_png(const std::string &path, Picture *picture, std::string *error);
