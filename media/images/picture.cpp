#include "media/images/decoders.h"

#include "media/core/log.h"

#include <new>

namespace media::images {

bool PictureSizeAllowed(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) {
        log::Write("A picture of %lld x %lld pixels is refused\n", static_cast<long long>(width),
                   static_cast<long long>(height));
        return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        log::Write("A picture of %lld x %lld pixels is too large\n", static_cast<long long>(width),
                   static_cast<long long>(height));
        return false;
    }
    return true;
}

bool AllocatePicture(Picture& picture, int64_t width, int64_t height, uint32_t fill) {
    if (!PictureSizeAllowed(width, height)) return false;
    try {
        picture.pixels.assign(static_cast<size_t>(width * height), fill);
    } catch (const std::bad_alloc&) {
        log::Write("No memory for a picture of %lld x %lld pixels\n", static_cast<long long>(width),
                   static_cast<long long>(height));
        return false;
    }
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    return true;
}

void Palette::ReportMisses(const char* format) const {
    if (misses_ == 0) return;
    log::Write("%s: %llu pixels index past the %zu palette entries and show black\n", format,
               static_cast<unsigned long long>(misses_), colours.size());
}

namespace {

struct DecoderEntry {
    DecodeResult (*decode)(ByteSource&, Picture&);
};

// The order in which files are offered to the decoders.
constexpr DecoderEntry kDecoders[] = {
    {DecodeBmp}, {DecodeJpeg}, {DecodePng}, {DecodeBgra}, {DecodeTga}, {DecodeDds},
};

}  // namespace

DecodeResult DecodePicture(ByteSource& source, Picture& picture) {
    for (const DecoderEntry& entry : kDecoders) {
        picture = Picture{};
        if (!source.Seek(0)) return DecodeResult::Broken;
        const DecodeResult result = entry.decode(source, picture);
        if (result == DecodeResult::Decoded) return result;
        if (result == DecodeResult::Broken) {
            picture = Picture{};
            return result;
        }
    }
    picture = Picture{};
    return DecodeResult::NotMine;
}

}  // namespace media::images
