// helicoid-snapshot as a user runs it: the PNG it writes, and how it refuses bad input.
#include "gl_fixture.h"
#include "offscreen_gl.h"
#include "options.h"
#include "png_file.h"
#include "render.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using Args = std::vector<std::string>;

struct SnapshotRun {
    int exit_code = -1;
    std::string err;
};

fs::path scratch(const std::string &name);

SnapshotRun run_snapshot(const Args &args) {
    const fs::path err_file = scratch("stderr.txt");
    std::string command = SNAPSHOT_EXE;
    for (const std::string &arg : args)
        command += " '" + arg + "'";
    command += " >/dev/null 2>" + err_file.string();
    const int status = std::system(command.c_str());
    SnapshotRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(err_file);
    std::stringstream text;
    text << in.rdbuf();
    run.err = text.str();
    fs::remove(err_file);
    return run;
}

// CTest runs these tests as parallel processes: each gets its own scratch directory.
fs::path scratch(const std::string &name) {
    const fs::path dir =
        fs::temp_directory_path() / ("helicoid-snapshot-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir / name;
}

Picture render_in_process(const Args &args) {
    std::string error;
    const auto options = parse_snapshot_options(args, &error);
    EXPECT_TRUE(options) << error;
    if (!options)
        return {};
    EXPECT_TRUE(create_offscreen_gl(options->width, options->height, options->depth_bits, &error))
        << error;
    std::string log;
    Picture picture = render_snapshot(*options, &log);
    destroy_offscreen_gl();
    return picture;
}

} // namespace

TEST(Snapshot, WritesTheSizeAskedForWithTheSamePixelsAsTheFrameInProcess) {
    const fs::path png = scratch("shot.png");
    for (Args args :
         {Args{"--size", "200x150", "--window", "614x614"}, Args{"--fog", "--wireframe"},
          Args{"--trackball", "press 300 300; move 330 310; release 340 310; frames 3"}}) {
        args.insert(args.begin(), {"--output", png.string()});
        fs::remove(png);
        const SnapshotRun run = run_snapshot(args);
        ASSERT_EQ(run.exit_code, 0) << run.err;

        Picture written;
        std::string error;
        ASSERT_TRUE(read_png(png.string(), &written, &error)) << error;
        const Picture expected = render_in_process(args);
        EXPECT_EQ(written.width, expected.width) << args[2];
        EXPECT_EQ(written.height, expected.height) << args[2];
        EXPECT_TRUE(written.rgb == expected.rgb) << args[2];
    }
    ASSERT_EQ(run_snapshot({"--output", png.string(), "--size", "200x150"}).exit_code, 0);
    Picture small;
    std::string error;
    ASSERT_TRUE(read_png(png.string(), &small, &error)) << error;
    EXPECT_EQ(small.width, 200);
    EXPECT_EQ(small.height, 150);
}

TEST(Snapshot, ADragLeavesTheModelTurnedAndAClickLeavesItStill) {
    const Picture still = render_in_process({"--output", "x.png"});
    const Picture turned = render_in_process(
        {"--output", "x.png", "--trackball", "press 300 300; move 330 300; release 331 300"});
    const Picture clicked = render_in_process(
        {"--output", "x.png", "--trackball", "press 300 300; release 300 300; frames 5"});
    EXPECT_FALSE(still.rgb == turned.rgb);
    // After a click the start-up increment was applied once, by the frame after the press.
    EXPECT_FALSE(still.rgb == clicked.rgb);
    const Picture clicked_later = render_in_process(
        {"--output", "x.png", "--trackball", "press 300 300; release 300 300; frames 50"});
    EXPECT_TRUE(clicked.rgb == clicked_later.rgb);
}

TEST(Snapshot, RefusesBadInputWithOneLineAndExitCodeTwoAndNoFile) {
    const fs::path png = scratch("refused.png");
    const std::string out = png.string();
    for (const Args &args :
         {Args{"--output", out, "--bogus"}, Args{"--output", out, "--size", "0x614"},
          Args{"--output", out, "--size", "614"}, Args{"--output", out, "--size", "-5x5"},
          Args{"--output", out, "--size", "12xab"}, Args{"--output", out, "--window", "614x0"},
          Args{"--output", out, "--depth-bits", "12"}, Args{"--output", out, "--spin", "-1"},
          Args{"--output", out, "--increment", "2,0.3,0.2"},
          Args{"--output", out, "--trackball", "jump 1 2"}, Args{"--output", out, "--size"},
          Args{"--fog"}, Args{"--output", "/nonexistent-dir/shot.png"}}) {
        fs::remove(png);
        const SnapshotRun run = run_snapshot(args);
        const std::string said = args.back();
        EXPECT_EQ(run.exit_code, 2) << said;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << said << run.err;
        EXPECT_EQ(run.err.rfind("helicoid-snapshot: ", 0), 0u) << run.err;
        EXPECT_FALSE(fs::exists(png)) << said;
        EXPECT_FALSE(fs::exists(png.string() + ".partial")) << said;
    }
}
