// Comparing the back buffer with a reference picture kept beside the tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace scene_test {

// The last frame drawn, compared pixel by pixel with
// tests/scenes/golden/<name>.png. A few pixels may differ slightly (driver
// rounding); anything more fails and writes the frame as <name>.actual.png
// into the working directory. With LUMOTTA_UPDATE_GOLDEN=1 in the
// environment the reference is written instead.
::testing::AssertionResult matchesGoldenPicture(const std::string& name);

}  // namespace scene_test
