// What the snapshot tool's words mean: the options, their defaults and the checks of each value.
#include "options.h"

#include "scene/viewer_state.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int max_side = 16384; // what GL implementations allocate at most

// Digits only, with a leading '-' where negative values belong: no blanks, no '+', nothing after.
bool parse_int(const std::string &text, int *out, bool negative_allowed = false) {
    const size_t digits = negative_allowed && !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits || text.size() - digits > 9 ||
        text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    *out = std::stoi(text);
    return true;
}

// A finite decimal number: no blanks, no '+', no hexadecimal, no inf or nan.
bool parse_float(const std::string &text, float *out) {
    if (text.empty() || text.find_first_not_of("0123456789.-eE") != std::string::npos)
        return false;
    char *end = nullptr;
    errno = 0;
    const float value = std::strtof(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

// "WxH", both sides from 1 to max_side.
bool parse_size(const std::string &text, int *w, int *h) {
    const auto x = text.find('x');
    return x != std::string::npos && parse_int(text.substr(0, x), w) &&
           parse_int(text.substr(x + 1), h) && *w > 0 && *h > 0 && *w <= max_side && *h <= max_side;
}

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

bool parse_trackball(const std::string &script, std::vector<TrackballEvent> *events) {
    for (const std::string &step : split(script, ';')) {
        std::stringstream words(step);
        std::string verb, a, b, extra;
        words >> verb >> a >> b >> extra;
        if (verb.empty() && a.empty())
            continue; // an empty step, e.g. after a trailing ';'
        TrackballEvent event{};
        if (verb == "frames") {
            event.kind = TrackballEvent::frames;
            if (!parse_int(a, &event.x) || event.x < 0 || !b.empty())
                return false;
        } else {
            if (verb == "press")
                event.kind = TrackballEvent::press;
            else if (verb == "move")
                event.kind = TrackballEvent::move;
            else if (verb == "release")
                event.kind = TrackballEvent::release;
            else
                return false;
            // Window points travel as signed 16-bit values in pointer messages.
            if (!parse_int(a, &event.x, true) || !parse_int(b, &event.y, true) || !extra.empty() ||
                event.x < -32768 || event.x > 32767 || event.y < -32768 || event.y > 32767)
                return false;
        }
        events->push_back(event);
    }
    return !events->empty();
}

#ifdef HELICOID_SNAPSHOT_BUILT_WITH
bool parse_built_with(const std::string &list, SnapshotOptions *options) {
    auto &w = options->built_with;
    for (const std::string &name : split(list, ',')) {
        bool *setting = name == "texture"           ? &w.texture
                        : name == "texture-replace" ? &w.texture_replace
                        : name == "cull"            ? &w.cull_faces
                        : name == "perspective"     ? &w.perspective
                        : name == "unlit"           ? &w.unlit
                                                    : nullptr;
        if (setting == nullptr)
            return false;
        *setting = true;
    }
    return true;
}
#endif

} // namespace

const Tool &snapshot_tool() {
    static const Tool tool = [] {
        const SnapshotOptions d;
        const ViewerState viewer_defaults;
        char increment[64];
        std::snprintf(increment, sizeof increment, "%g,%g,%g,%g", viewer_defaults.spin_angle,
                      viewer_defaults.spin_axis[0], viewer_defaults.spin_axis[1],
                      viewer_defaults.spin_axis[2]);
        const auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
        Tool t{
            "helicoid-snapshot",
            {"--output FILE.png [OPTION]..."},
            "Draws the viewer's scene on an offscreen context and writes it as a PNG.",
            {{"--output", "FILE.png", "where the picture goes, - for standard output (required)"},
             {"--size", "WxH", "the drawing area (default " + size(d.width, d.height) + ")"},
             {"--window", "WxH",
              "the window the projection and the trackball use (default " +
                  size(d.window_width, d.window_height) + ")"},
             {"--depth-bits", "N", "16, 24 or 32 (default " + std::to_string(d.depth_bits) + ")"},
             {"--fog", "", "fog on (default off)"},
             {"--wireframe", "", "polygons as lines (default off)"},
             {"--spin", "N",
              "N frames spinning, the last one saved (default " + std::to_string(d.spin_frames) +
                  ")"},
             {"--increment", "ANGLE,X,Y,Z",
              std::string("the turn of each spin frame (default ") + increment + ")"},
             {"--trackball", "\"press X Y; move X Y; release X Y; frames N\"",
              "a drag in window pixels, played as the viewer would (default none)"}}};
#ifdef HELICOID_SNAPSHOT_BUILT_WITH
        t.options.push_back({"--built-with", "LIST",
                             "texture, texture-replace, cull, perspective, unlit (default none)"});
#endif
        return t;
    }();
    return tool;
}

std::optional<SnapshotOptions> snapshot_options(const CommandLine &line, std::string *error) {
    SnapshotOptions options;
    bool spin_given = false;
    auto bad = [&](const std::string &message) {
        *error = message;
        return std::nullopt;
    };
    if (!line.operands.empty())
        return bad("unexpected argument '" + line.operands.front() + "'; see --help");
    for (const auto &[arg, value] : line.options) {
        if (arg == "--fog") {
            options.fog = true;
        } else if (arg == "--wireframe") {
            options.wireframe = true;
        } else if (arg == "--output") {
            // "-" is standard output; any other name starting with '-' was meant as an option.
            if (value.empty() || (value[0] == '-' && value != "-"))
                return bad("--output needs a file name (./" + value + " for one starting with -)");
            options.output = value;
        } else if (arg == "--size") {
            if (!parse_size(value, &options.width, &options.height))
                return bad("--size needs WxH with sides from 1 to " + std::to_string(max_side) +
                           ", e.g. 614x614");
        } else if (arg == "--window") {
            if (!parse_size(value, &options.window_width, &options.window_height))
                return bad("--window needs WxH with sides from 1 to " + std::to_string(max_side) +
                           ", e.g. 614x614");
        } else if (arg == "--depth-bits") {
            if (!parse_int(value, &options.depth_bits) ||
                (options.depth_bits != 16 && options.depth_bits != 24 && options.depth_bits != 32))
                return bad("--depth-bits needs 16, 24 or 32");
        } else if (arg == "--spin") {
            spin_given = true;
            if (!parse_int(value, &options.spin_frames) || options.spin_frames < 0)
                return bad("--spin needs a frame count from 0 to 999999999");
        } else if (arg == "--increment") {
            const auto parts = split(value, ',');
            float angle = 0;
            if (parts.size() != 4 || !parse_float(parts[0], &angle) ||
                !parse_float(parts[1], &options.increment_axis[0]) ||
                !parse_float(parts[2], &options.increment_axis[1]) ||
                !parse_float(parts[3], &options.increment_axis[2]))
                return bad("--increment needs four finite numbers ANGLE,X,Y,Z, e.g. 2,0.3,0.2,0.4");
            options.increment_angle = angle;
        } else if (arg == "--trackball") {
            if (!parse_trackball(value, &options.trackball))
                return bad("--trackball needs steps like \"press X Y; move X Y; release X Y; "
                           "frames N\", points from -32768 to 32767");
#ifdef HELICOID_SNAPSHOT_BUILT_WITH
        } else if (arg == "--built-with") {
            if (!parse_built_with(value, &options))
                return bad("--built-with needs texture, texture-replace, cull, perspective or "
                           "unlit, separated by commas");
#endif
        }
    }
    if (options.output.empty())
        return bad("--output FILE.png is required; see --help");
    if (spin_given && !options.trackball.empty())
        return bad("--spin and --trackball cannot be combined");
    return options;
}

std::optional<SnapshotOptions> parse_snapshot_options(const std::vector<std::string> &args,
                                                      std::string *error) {
    CommandLine line;
    if (!split_command_line(snapshot_tool(), args, &line, error))
        return std::nullopt;
    return snapshot_options(line, error);
}
