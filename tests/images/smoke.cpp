#include "tests/images/image_test_support.h"
using namespace image_tests;
class Smoke : public MediaFixture {};
TEST_F(Smoke, DrawsAnImage) {
    const int h = LoadFromBytes("a.bgra", MakeBgra(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
    ASSERT_NE(h, -1);
    EXPECT_EQ(DrawImageQuad(10, 10, 12, 10, 12, 12, 10, 12, h, 1), 0);
    Screen s;
    EXPECT_EQ(s.At(10, 10), 0xFF0000u);
    EXPECT_EQ(s.At(11, 10), 0x00FF00u);
    EXPECT_EQ(s.At(10, 11), 0x0000FFu);
    EXPECT_EQ(s.At(11, 11), 0xFFFFFFu);
    EXPECT_EQ(s.At(12, 12), 0u);
    std::printf("%s\n", Log().c_str());
}
