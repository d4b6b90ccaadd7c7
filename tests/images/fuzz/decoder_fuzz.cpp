// libFuzzer target for one picture decoder (chosen with -DDECODER=Bmp, Png,
// Jpeg, Tga, Dds or Bgra) or, with -DDECODER=Picture, all of them in turn.
// Built and run by run_fuzz.sh, never by the normal build.
#include "media/images/decoders.h"

#include <cstdint>
#include <cstdlib>

#define LUMOTTA_JOIN2(a, b) a##b
#define LUMOTTA_JOIN(a, b) LUMOTTA_JOIN2(a, b)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    media::images::MemorySource source(data, size);
    media::images::Picture picture;
    const auto result = media::images::LUMOTTA_JOIN(Decode, DECODER)(source, picture);
    if (result == media::images::DecodeResult::Decoded) {
        // A decoded picture is whole: every pixel there, sizes in bounds.
        if (picture.width <= 0 || picture.height <= 0 ||
            picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height ||
            static_cast<int64_t>(picture.pixels.size()) > media::images::kMaxPicturePixels)
            std::abort();
    }
    return 0;
}
