// Drives the window procedure with a stream of messages decoded from bytes, drawing frames in
// between as the message loop would, and checks the viewer's invariants after every step. Shared
// by the randomised property test and the fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Returns an empty string when every invariant held, else the first broken one with its step.
// Needs a current GL context and a reset Win32 double.
std::string run_message_stream(const std::uint8_t *data, std::size_t size);
