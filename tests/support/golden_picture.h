// Comparing the back buffer with a reference picture kept in the source tree.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

// How far a frame may stray from its reference: a channel may differ by
// `channelSlack` without counting, and up to `pixelsAllowed` pixels may count.
struct GoldenTolerance {
    int channelSlack = 2;
    int pixelsAllowed = 0;
};

// The back buffer compared pixel by pixel with <folder>/<name>.png, `folder`
// relative to the source tree (e.g. "tests/scenes/golden"). A frame that
// differs, or has no reference yet, is written as <name>.actual.png into the
// folder the test program started in, for review. With
// LUMOTTA_UPDATE_GOLDEN=1 in the environment the reference is written
// instead.
::testing::AssertionResult matchesGoldenPicture(const std::string& folder, const std::string& name,
                                                GoldenTolerance tolerance = {});

}  // namespace testing_support
