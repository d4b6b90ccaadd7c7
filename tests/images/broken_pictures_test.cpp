// A picture that a picture decoder knows and refuses is a failed load with
// the load-failure line, never a movie: the movie decoder would show a cut
// JPEG with its missing rows filled in, or a damaged PNG without its alpha.
// Only a file that no picture decoder claims is tried as a movie.
#include "tests/images/encoded_pictures.h"
#include "tests/images/image_test_support.h"

using namespace image_tests;

namespace {

constexpr const char* kFailureLine = "右記のグラフィックファイルのロードに失敗しました：";
constexpr const char* kMovieFailureLine = "ムービーファイルオープン処理時にエラーが発生しました";

// A picture a movie decoder would show too: colour bands, half transparent.
std::vector<uint32_t> Bands(int w, int h, uint32_t alpha) {
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out[static_cast<size_t>(y) * w + x] = alpha << 24 | (x * 4) << 16 | (y * 4) << 8 | 0x80;
    return out;
}

// Offset of the data of the first chunk named `type` in a PNG.
size_t ChunkData(const Bytes& png, const char* type) {
    for (size_t at = 8; at + 8 <= png.size();) {
        const size_t length = static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::equal(type, type + 4, png.begin() + static_cast<ptrdiff_t>(at + 4))) return at + 8;
        at += 12 + length;
    }
    return 0;
}

class BrokenPictures : public MediaFixture {};

}  // namespace

TEST_F(BrokenPictures, ARefusedPictureIsNotTriedAsAMovie) {
    const std::vector<uint32_t> bands = Bands(64, 48, 0x80);
    // The good files load: the decoders and the files are sound.
    ASSERT_GE(LoadFromBytes("good.png", EncodePngRgba(64, 48, bands)), 0);
    const Bytes jpeg = EncodeJpeg(64, 48, bands);
    ASSERT_GE(LoadFromBytes("good.jpg", jpeg), 0);

    Bytes badCrc = EncodePngRgba(64, 48, bands);
    const size_t idat = ChunkData(badCrc, "IDAT");
    ASSERT_GT(idat, 0u);
    badCrc[idat + 5] ^= 0x01;   // the chunk's checksum no longer matches
    const Bytes cutJpeg(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(jpeg.size() * 6 / 10));
    const Bytes png = EncodePngRgba(64, 48, bands);
    const Bytes cutPng(png.begin(), png.begin() + static_cast<ptrdiff_t>(png.size() * 6 / 10));

    const std::pair<const char*, const Bytes*> broken[] = {
        {"crc.png", &badCrc}, {"cut.jpg", &cutJpeg}, {"cut.png", &cutPng}};
    for (const auto& [name, bytes] : broken) {
        EXPECT_EQ(LoadFromBytes(name, *bytes), -1) << name;
        int handles[4] = {};
        EXPECT_EQ(LoadImageTiles(name, 4, 2, 2, 32, 24, handles, 0), -1) << name;
        EXPECT_NE(Log().find(std::string(kFailureLine) + name), std::string::npos) << name;
    }
    EXPECT_EQ(Log().find(kMovieFailureLine), std::string::npos) << "a refused picture was tried as a movie";
}

TEST_F(BrokenPictures, AFileNoPictureDecoderKnowsIsStillTriedAsAMovie) {
    WriteFile("noise.dat", Bytes(4096, 0x5A));
    EXPECT_EQ(LoadImage("noise.dat", 0), -1);
    EXPECT_NE(Log().find(kMovieFailureLine), std::string::npos);
    EXPECT_NE(Log().find(std::string(kFailureLine) + "noise.dat"), std::string::npos);
}
