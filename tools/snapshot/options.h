// The snapshot tool's command line.
#pragma once

#include "command_line.h"

#include <optional>
#include <string>
#include <vector>

struct TrackballEvent {
    enum Kind { press, move, release, frames } kind;
    int x = 0; // for frames: the count
    int y = 0;
};

struct SnapshotOptions {
    std::string output;
    int width = 614, height = 614;               // the drawing area (viewport)
    int window_width = 614, window_height = 614; // what the projection and the trackball use
    int depth_bits = 16;
    bool fog = false;
    bool wireframe = false;
    int spin_frames = 0;
    std::optional<float> increment_angle; // unset: the viewer's default increment
    float increment_axis[3] = {0, 0, 0};
    std::vector<TrackballEvent> trackball;
    // The settings the viewer fixes when it is built, as ViewerState's defaults have them. Only a
    // test build of the tool (HELICOID_SNAPSHOT_BUILT_WITH) takes --built-with to switch them.
    struct {
        bool texture = false, texture_replace = false, cull_faces = false, perspective = false,
             unlit = false;
    } built_with;
};

// The tool's options, their arguments and defaults, as --help lists them.
const Tool &snapshot_tool();
// What a split command line asks for; on bad input returns nullopt and sets *error to one line.
std::optional<SnapshotOptions> snapshot_options(const CommandLine &line, std::string *error);
// Both steps for a plain list of words (argv[1..]), where --help and --version mean nothing.
std::optional<SnapshotOptions> parse_snapshot_options(const std::vector<std::string> &args,
                                                      std::string *error);
