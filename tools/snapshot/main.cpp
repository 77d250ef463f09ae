// helicoid-snapshot: renders the viewer's scene offscreen and saves the picture as a PNG.
#include "offscreen_gl.h"
#include "options.h"
#include "output_file.h"
#include "platform/opengl.h"
#include "png_file.h"
#include "render.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <new>

namespace {

// Whether the picture goes where standard output goes ("-", /dev/stdout, /proc/self/fd/1, the
// file stdout is redirected to): the summary must not follow it there. Asked before the write,
// which may put a new file in the old one's place.
bool on_standard_output(const std::string &output) {
    struct stat file, out;
    return output == "-" || (stat(output.c_str(), &file) == 0 && fstat(STDOUT_FILENO, &out) == 0 &&
                             file.st_dev == out.st_dev && file.st_ino == out.st_ino);
}

int run(int argc, char **argv) {
    // Before the GL context opens its devices, which could otherwise take a closed stdout's number.
    keep_standard_streams_open();
    const Tool &tool = snapshot_tool();
    CommandLine line;
    if (const auto answered = read_command_line(tool, argc, argv, &line))
        return *answered;
    std::string error;
    const auto options = snapshot_options(line, &error);
    if (!options)
        return tool_error(tool, error, exit_usage);
    if (!create_offscreen_gl(options->width, options->height, options->depth_bits, &error))
        return tool_error(tool, "no OpenGL context: " + error, exit_failure);
    std::string frames;
    const Picture picture = render_snapshot(*options, &frames);
    const std::string renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    destroy_offscreen_gl();
    const bool summary_on_stderr = on_standard_output(options->output);
    if (!write_png(options->output, picture, &error))
        return tool_error(tool, error, exit_failure);
    std::fprintf(summary_on_stderr ? stderr : stdout,
                 "helicoid-snapshot: wrote %s: %dx%d, window %dx%d, %d depth bits, fog %s, "
                 "wireframe %s, %s, on %s\n",
                 options->output.c_str(), options->width, options->height, options->window_width,
                 options->window_height, options->depth_bits, options->fog ? "on" : "off",
                 options->wireframe ? "on" : "off", frames.c_str(), renderer.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        // A large --size under a memory limit: the picture buffers do not fit.
        return tool_error(snapshot_tool(), "out of memory", exit_failure);
    }
}
