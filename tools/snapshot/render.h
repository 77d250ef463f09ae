// Renders the viewer's real scene code offscreen as the options say and reads the picture back.
#pragma once

#include "options.h"

#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // top row first, 3 bytes a pixel
};

// Needs a current context of options.width x options.height; returns the last frame drawn and
// adds one line per step to *log.
Picture render_snapshot(const SnapshotOptions &options, std::string *log);

// Reads the current read buffer, top row first, without alpha.
Picture read_picture(int width, int height);
