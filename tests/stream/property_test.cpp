// Long random message streams through the window procedure on a real GL context: whatever
// arrives, the pose stays a rotation, key_level stays in range, and frames clean up after
// themselves.
#include "gl_fixture.h"
#include "message_stream.h"
#include "win32_double.h"

#include <random>
#include <vector>

using MessageStreamTest = GlTest;

TEST_F(MessageStreamTest, RandomStreamsKeepEveryInvariant) {
    std::mt19937 random(20261207);
    for (int stream = 0; stream < 25; ++stream) {
        SetUp(); // fresh viewer, double and context for every stream
        std::vector<std::uint8_t> bytes(3000);
        for (auto &b : bytes)
            b = static_cast<std::uint8_t>(random());
        const std::string broken = run_message_stream(bytes.data(), bytes.size());
        ASSERT_EQ(broken, "") << "stream " << stream;
        TearDown();
    }
}
