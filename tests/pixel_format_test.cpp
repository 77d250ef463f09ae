// setup_pixel_format: the request field by field, and the two fatal failures.
#include "context/pixel_format.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <cstring>

namespace {

using win32_double::script;

class PixelFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        viewer = ViewerState{};
        win32_double::reset();
    }

    // The request as ChoosePixelFormat saw it, checked to be the one SetPixelFormat got too.
    static PIXELFORMATDESCRIPTOR request() {
        const auto &requests = win32_double::pixel_format_requests();
        EXPECT_EQ(requests.size(), 2u);
        if (requests.size() == 2) {
            EXPECT_EQ(std::memcmp(&requests[0], &requests[1], sizeof requests[0]), 0);
        }
        return requests.empty() ? PIXELFORMATDESCRIPTOR{} : requests[0];
    }
};

// Everything but the two fields the switches decide: the same in every variant.
void expect_fixed_fields(const PIXELFORMATDESCRIPTOR &pfd) {
    EXPECT_EQ(pfd.nSize, 40);
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(pfd.cColorBits, 8);
    PIXELFORMATDESCRIPTOR rest = pfd;
    rest.nSize = rest.nVersion = 0;
    rest.dwFlags = 0;
    rest.cColorBits = rest.cDepthBits = 0;
    const PIXELFORMATDESCRIPTOR zero = {};
    EXPECT_EQ(std::memcmp(&rest, &zero, sizeof rest), 0)
        << "a field other than size, version, flags, colour and depth bits is not 0";
}

TEST_F(PixelFormatTest, AsksForADoubleBufferedWindowFormatWithSixteenDepthBits) {
    setup_pixel_format(win32_double::device_context);
    EXPECT_TRUE(same_sequence({"ChoosePixelFormat(dc, 0x25, 16)", "SetPixelFormat(dc, 7, pfd)"},
                              win32_double::log()));
    const PIXELFORMATDESCRIPTOR pfd = request();
    EXPECT_EQ(pfd.dwFlags, 0x25u);
    EXPECT_EQ(pfd.cDepthBits, 16);
    expect_fixed_fields(pfd);
}

TEST_F(PixelFormatTest, TheSwitchesChangeOnlyTheirOwnFields) {
    viewer.double_buffered = 0;
    setup_pixel_format(win32_double::device_context);
    PIXELFORMATDESCRIPTOR pfd = request();
    EXPECT_EQ(pfd.dwFlags, 0x24u);
    EXPECT_EQ(pfd.cDepthBits, 16);
    expect_fixed_fields(pfd);

    win32_double::reset();
    viewer.double_buffered = 2; // any non-zero value is on
    viewer.depth_buffered = 0;
    setup_pixel_format(win32_double::device_context);
    pfd = request();
    EXPECT_EQ(pfd.dwFlags, 0x25u);
    EXPECT_EQ(pfd.cDepthBits, 0);
    expect_fixed_fields(pfd);
}

TEST_F(PixelFormatTest, ReturnsOnceTheFormatIsSet) {
    script().chosen_format = 1;
    setup_pixel_format(win32_double::device_context);
    EXPECT_EQ(win32_double::log().back(), "SetPixelFormat(dc, 1, pfd)");
}

// The child prints every call on stderr as it happens, so the match covers the calls, their
// order, the box and that nothing follows the box but the exit.
using PixelFormatDeathTest = PixelFormatTest;

TEST_F(PixelFormatDeathTest, ChooseFailureShowsAnErrorBoxAndExitsWithOne) {
    script().chosen_format = 0;
    script().echo = true;
    EXPECT_EXIT(setup_pixel_format(win32_double::device_context), ::testing::ExitedWithCode(1),
                R"(^ChoosePixelFormat\(dc, 0x25, 16\)
WindowFromDC\(dc\)
MessageBoxA\(window, "ChoosePixelFormat failed\\n", "Error", 16\)
MessageBoxA "Error" "ChoosePixelFormat failed\\n"
$)");
}

TEST_F(PixelFormatDeathTest, SetFailureShowsAnErrorBoxAndExitsWithOne) {
    script().set_pixel_format = FALSE;
    script().echo = true;
    EXPECT_EXIT(setup_pixel_format(win32_double::device_context), ::testing::ExitedWithCode(1),
                R"(^ChoosePixelFormat\(dc, 0x25, 16\)
SetPixelFormat\(dc, 7, pfd\)
WindowFromDC\(dc\)
MessageBoxA\(window, "SetPixelFormat failed", "Error", 16\)
MessageBoxA "Error" "SetPixelFormat failed"
$)");
}

// Only exactly TRUE is success.
TEST_F(PixelFormatDeathTest, ASetResultOtherThanTrueIsAFailure) {
    script().set_pixel_format = 2;
    EXPECT_EXIT(setup_pixel_format(win32_double::device_context), ::testing::ExitedWithCode(1),
                R"(MessageBoxA "Error" "SetPixelFormat failed")");
}

} // namespace
