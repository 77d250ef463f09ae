// The subset's pictures against Mesa's fixed function: the same snapshot tool built both ways
// draws each state, and few pixels may differ by more than 2 in any of R, G and B. Both draw on
// the same rasterizer with 16 depth bits, so what differs is the subset's own arithmetic.
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
    std::string arguments;
};

const std::string drag =
    " --trackball 'press 300 300; move 320 306; move 345 318; release 352 321; frames 60'";

// What a user reaches: the keys' states, turned by spinning and by a drag, and each setting the
// viewer fixes when it is built; together they take every path of the subset.
const State states[] = {
    {"default", ""},
    {"fog", "--fog"},
    {"spin-90", "--spin 90"},
    {"drag", drag},
    {"wireframe", "--wireframe"},
    {"wireframe-spin-90", "--wireframe --spin 90"},
    {"wireframe-drag", "--wireframe" + drag},
    {"fog-wireframe", "--fog --wireframe"},
    {"fog-wireframe-spin-90", "--fog --wireframe --spin 90"},
    {"fog-wireframe-drag", "--fog --wireframe" + drag},
    {"texture", "--built-with texture --spin 30"},
    {"texture-wireframe", "--built-with texture --wireframe --fog --spin 30"},
    {"texture-replace", "--built-with texture,texture-replace --fog --spin 30"},
    {"cull", "--built-with cull --spin 60"},
    {"cull-wireframe", "--built-with cull --wireframe --spin 60"},
    {"perspective", "--built-with perspective --spin 45"},
    {"perspective-wireframe", "--built-with perspective --wireframe --fog --spin 45"},
    {"unlit", "--built-with unlit --fog --spin 20"},
    {"unlit-wireframe", "--built-with unlit --wireframe --spin 20"},
};

// Both draw on the same rasterizer: on llvmpipe no pixel differs. The cap leaves room for
// another Mesa's rounding without letting a wrong facing or colour through.
constexpr int cap_pixels = 150;

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
        std::printf("%-22s %6d of %d pixels differ by more than 2, %6d at all\n", state.name,
                    beyond_2, pixels, differing_pixels(fixed, subset, 0));
        EXPECT_LE(beyond_2, cap_pixels) << state.name << ": pictures in " << dir.string();
    }
}
