// PNG through libpng, fed by read callbacks over the byte source: every
// colour type and bit depth, palette transparency and interlacing.
#include "media/images/decoders.h"

#include "media/core/log.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>

namespace media::images {
namespace {

void ReadCallback(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (source->Read(data, length) != length) png_error(png, "the file is cut short");
}

void ErrorCallback(png_structp png, png_const_charp message) {
    log::Write("PNG: %s\n", message);
    png_longjmp(png, 1);
}

void WarningCallback(png_structp, png_const_charp) {}

// Everything libpng must release, whatever way the decode ends.
struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

DecodeResult DecodePng(ByteSource& source, Picture& picture) {
    png_byte signature[8];
    if (!source.ReadExact(signature, sizeof signature) || png_sig_cmp(signature, 0, 8) != 0)
        return DecodeResult::NotMine;

    PngReader reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorCallback, WarningCallback);
    if (!reader.png) return DecodeResult::Broken;
    reader.info = png_create_info_struct(reader.png);
    if (!reader.info) return DecodeResult::Broken;
    // Rows are kept outside the jump buffer's frame so nothing leaks on error.
    std::vector<png_bytep> rows;
    std::vector<png_byte> indexes;   // palette pictures: one index per pixel
    Palette palette;
    volatile bool imageRead = false;
    if (setjmp(png_jmpbuf(reader.png))) {
        // Damage after the last picture row (a lost end chunk) costs nothing.
        if (imageRead) return DecodeResult::Decoded;
        picture = Picture{};
        return DecodeResult::Broken;
    }
    png_set_read_fn(reader.png, &source, ReadCallback);
    png_set_sig_bytes(reader.png, 8);
    png_set_user_limits(reader.png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(reader.png, 16 * 1024 * 1024);
    // Of the ancillary chunks only the transparency matters here. libpng
    // allocates a text chunk's whole declared length before reading it, so
    // the rest are skipped unread.
    static constexpr png_byte kIgnored[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0tIME\0pCAL\0sCAL\0hIST\0"
                                           "bKGD\0cHRM\0gAMA\0sRGB\0sBIT\0pHYs\0oFFs\0sTER";
    png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, kIgnored, sizeof kIgnored / 5);
    png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_read_info(reader.png, reader.info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(reader.png, reader.info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    if (!PictureSizeAllowed(width, height)) return DecodeResult::Broken;

    const bool transparency = png_get_valid(reader.png, reader.info, PNG_INFO_tRNS) != 0;
    picture.hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || transparency;
    // Palette pictures are read as indexes and looked up here, so that an
    // index past the palette follows the rule of every palette format.
    const bool indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    if (indexed) {
        png_set_packing(reader.png);       // one byte per index
    } else {
        png_set_expand(reader.png);        // small greys to 8 bits, tRNS to alpha
        png_set_strip_16(reader.png);      // keep the high byte of 16-bit samples
        png_set_gray_to_rgb(reader.png);
        png_set_bgr(reader.png);
        png_set_filler(reader.png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(reader.png);
    png_read_update_info(reader.png, reader.info);
    if (png_get_rowbytes(reader.png, reader.info) != static_cast<png_size_t>(width) * (indexed ? 1 : 4))
        png_error(reader.png, "unexpected row layout");

    if (!AllocatePicture(picture, width, height)) return DecodeResult::Broken;
    rows.resize(height);
    if (indexed) {
        png_colorp colours = nullptr;
        int count = 0;
        png_get_PLTE(reader.png, reader.info, &colours, &count);
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (transparency) png_get_tRNS(reader.png, reader.info, &alpha, &alphaCount, nullptr);
        palette.colours.resize(static_cast<size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i)
            palette.colours[i] = PackArgb(i < alphaCount ? alpha[i] : 255, colours[i].red, colours[i].green,
                                          colours[i].blue);
        indexes.resize(static_cast<size_t>(width) * height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = &indexes[static_cast<size_t>(y) * width];
    } else {
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = reinterpret_cast<png_bytep>(&picture.pixels[static_cast<size_t>(y) * width]);
    }
    png_read_image(reader.png, rows.data());
    if (indexed) {
        for (size_t i = 0; i < indexes.size(); ++i) picture.pixels[i] = palette.At(indexes[i]);
        palette.ReportMisses("PNG");
    }
    imageRead = true;
    png_read_end(reader.png, nullptr);
    // The bytes B, G, R, A in memory are 0xAARRGGBB on a little-endian machine.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
    return DecodeResult::Decoded;
}

}  // namespace media::images
