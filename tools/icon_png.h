// Writing the icon's RGBA pictures as PNG files for Linux icon themes.
#pragma once

#include <string>
#include <vector>

// `rgba` holds side * side pixels, top row first, four bytes each, alpha not premultiplied.
// Returns false and sets *error to "cannot write PATH: reason" when the file cannot be written.
bool write_rgba_png(const char *path, int side, const std::vector<unsigned char> &rgba,
                    std::string *error);
