// The subset's pictures against Mesa's fixed function: the same snapshot tool built both ways
// draws each state, and few pixels may differ by more than 2 in any of R, G and B. Both draw on
// the same rasterizer with 16 depth bits, so what differs is the subset's own arithmetic; on
// llvmpipe the pictures agree to the pixel, and the limits leave room for another Mesa's
// rounding.
#include "png_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct State {
    const char *name;
    const char *arguments;
    double cap_per_cent; // of the 614 x 614 pixels
};

// 150 pixels for the filled states; 1 per cent for the wireframes.
const State states[] = {
    {"default", "", 150.0 * 100 / (614 * 614)},
    {"fog", "--fog", 150.0 * 100 / (614 * 614)},
    {"wireframe", "--wireframe", 1.0},
    {"fog-wireframe", "--fog --wireframe", 1.0},
    {"spin-90", "--spin 90", 150.0 * 100 / (614 * 614)},
    {"drag-then-spin",
     "--trackball 'press 300 300; move 320 306; move 345 318; release 352 321; frames 60'",
     150.0 * 100 / (614 * 614)},
};

Picture snapshot(const char *tool, const State &state, const fs::path &file) {
    const std::string command = std::string(tool) + " --output '" + file.string() +
                                "' --size 614x614 --depth-bits 16 " + state.arguments +
                                " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    Picture picture;
    std::string error;
    EXPECT_TRUE(read_png(file.string(), &picture, &error)) << error;
    return picture;
}

int differing_pixels(const Picture &a, const Picture &b, int tolerance) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        bool differs = false;
        for (int k = 0; k < 3; ++k)
            differs = differs || std::abs(a.rgb[i + k] - b.rgb[i + k]) > tolerance;
        count += differs ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Differential, EachStateDrawsAsMesasFixedFunctionDoes) {
    const fs::path dir = fs::path(PICTURE_DIR);
    fs::create_directories(dir);
    for (const State &state : states) {
        const Picture fixed =
            snapshot(FIXED_SNAPSHOT, state, dir / (std::string(state.name) + "-fixed.png"));
        const Picture subset =
            snapshot(SUBSET_SNAPSHOT, state, dir / (std::string(state.name) + "-subset.png"));
        ASSERT_EQ(fixed.rgb.size(), subset.rgb.size()) << state.name;
        const int pixels = fixed.width * fixed.height;
        const int beyond_2 = differing_pixels(fixed, subset, 2);
        std::printf("%-15s %6d of %d pixels differ by more than 2 (%.3f %%), %6d at all\n",
                    state.name, beyond_2, pixels, 100.0 * beyond_2 / pixels,
                    differing_pixels(fixed, subset, 0));
        EXPECT_LE(100.0 * beyond_2 / pixels, state.cap_per_cent)
            << state.name << ": pictures in " << dir.string();
    }
}
