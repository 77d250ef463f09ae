// A test fixture with a fresh offscreen OpenGL context and fresh viewer state for every test.
#pragma once

#include <gtest/gtest.h>

class GlTest : public ::testing::Test {
protected:
    static constexpr int window_side = 614; // the window's side on a 768-pixel-high screen
    void SetUp() override;
    void TearDown() override;
};
