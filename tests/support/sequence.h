// Message-sequence helpers shared by the recording double and the SDL layer's tests.
#pragma once

#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A readable message name, e.g. "WM_CHAR"; unknown messages as hexadecimal, e.g. "0x0024".
std::string message_name(UINT message);

// Compares a recorded sequence with the expected one and prints both side by side on a mismatch.
::testing::AssertionResult same_sequence(const std::vector<std::string> &expected,
                                         const std::vector<std::string> &actual);
