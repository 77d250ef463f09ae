// The scene code against committed pictures, checked by eye when they were made. The end-to-end
// runs compare the programs with the snapshot tool, which shares their scene code, so only these
// see a fault in it. A scene change that moves pixels fails here until the new picture has been
// looked at and committed on purpose:
//   helicoid-snapshot --output tests/reference/NAME.png ARGS   (ARGS as in the table below)
#include "offscreen_gl.h"
#include "options.h"
#include "png_file.h"
#include "render.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The end-to-end tolerance: a pixel differs when a channel is more than 8 off, and at most two
// per mille of the pixels may differ (the slack is for another Mesa build).
constexpr int channel_tolerance = 8;
constexpr int cap_per_mille = 2;

struct Reference {
    const char *name;
    std::vector<std::string> args;
};

const Reference references[] = {
    {"default", {}},
    {"fog", {"--fog"}},
    {"wireframe", {"--wireframe"}},
    {"spin-90", {"--spin", "90"}},
    // The drag's increments change axis, so the order of the products shows.
    {"drag-then-spin", {"--trackball", "press 300 300; move 340 320; release 350 330; frames 30"}},
};

} // namespace

TEST(Reference, TheSceneDrawsTheCommittedPictures) {
    for (const Reference &reference : references) {
        SCOPED_TRACE(reference.name);
        std::vector<std::string> args = {"--output", "-"};
        args.insert(args.end(), reference.args.begin(), reference.args.end());
        std::string error;
        const auto options = parse_snapshot_options(args, &error);
        ASSERT_TRUE(options) << error;
        ASSERT_TRUE(
            create_offscreen_gl(options->width, options->height, options->depth_bits, &error))
            << error;
        std::string log;
        Picture actual = render_snapshot(*options, &log);
        destroy_offscreen_gl();

        Picture expected;
        const std::string file = std::string(REFERENCE_DIR "/") + reference.name + ".png";
        ASSERT_TRUE(read_png(file, &expected, &error)) << error;
        ASSERT_EQ(actual.width, expected.width);
        ASSERT_EQ(actual.height, expected.height);
        // On a mismatch, the picture as drawn, with differing pixels white, for a look.
        Picture difference = actual;
        int differing = 0;
        for (size_t i = 0; i < actual.rgb.size(); i += 3) {
            bool differs = false;
            for (size_t c = i; c < i + 3; ++c)
                differs = differs || std::abs(actual.rgb[c] - expected.rgb[c]) > channel_tolerance;
            differing += differs;
            for (size_t c = i; c < i + 3; ++c)
                difference.rgb[c] = differs ? 255 : 0;
        }
        const int cap = actual.width * actual.height * cap_per_mille / 1000;
        EXPECT_LE(differing, cap) << "see " << reference.name << "-actual.png and -diff.png in "
                                  << ACTUAL_DIR;
        if (differing > cap) {
            write_png(std::string(ACTUAL_DIR "/") + reference.name + "-actual.png", actual, &error);
            write_png(std::string(ACTUAL_DIR "/") + reference.name + "-diff.png", difference,
                      &error);
        }
    }
}
