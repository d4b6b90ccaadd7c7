// JPEG through libjpeg, fed by a source manager over the byte source:
// baseline, progressive and arithmetic-coded, grey, YCbCr, CMYK and YCCK.
#include "media/images/decoders.h"

#include "media/core/log.h"

#include <cstdio>
#include <csetjmp>

#include <jpeglib.h>

namespace media::images {
namespace {

// A progressive file may ask for any number of scans; real ones use a few
// dozen. Far more than that is a file built to stall the decoder.
constexpr int kMaxScans = 1000;

struct ErrorManager {
    jpeg_error_mgr pub{};
    jmp_buf jump;
};

struct SourceManager {
    jpeg_source_mgr pub{};
    ByteSource* source = nullptr;
    JOCTET buffer[4096];
    bool ranDry = false;     // the data ended before the picture did
    bool pictureRead = false;
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    auto* src = reinterpret_cast<SourceManager*>(info->src);
    size_t got = src->source->Read(src->buffer, sizeof src->buffer);
    if (got == 0) {
        src->ranDry = true;
        // A file cut short is refused: stop at once rather than decode the
        // rest of the picture from nothing.
        if (!src->pictureRead) {
            log::Write("JPEG: the file is cut short\n");
            longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
        }
        // Only the end marker is missing: hand libjpeg one.
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    auto* src = reinterpret_cast<SourceManager*>(info->src);
    while (count > 0) {
        if (src->pub.bytes_in_buffer == 0) FillInputBuffer(info);
        const long step = count < static_cast<long>(src->pub.bytes_in_buffer)
                              ? count : static_cast<long>(src->pub.bytes_in_buffer);
        src->pub.next_input_byte += step;
        src->pub.bytes_in_buffer -= static_cast<size_t>(step);
        count -= step;
        if (src->ranDry) return;
    }
}

void TermSource(j_decompress_ptr) {}

void ErrorExit(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    log::Write("JPEG: %s\n", message);
    longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OutputMessage(j_common_ptr) {}

void CountScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        log::Write("JPEG: too many scans\n");
        longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
    }
}

struct Decompressor {
    jpeg_decompress_struct info{};
    bool created = false;
    ~Decompressor() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

}  // namespace

DecodeResult DecodeJpeg(ByteSource& source, Picture& picture) {
    uint8_t marker[3];
    if (!source.ReadExact(marker, 3) || marker[0] != 0xFF || marker[1] != 0xD8 || marker[2] != 0xFF)
        return DecodeResult::NotMine;
    source.Seek(0);

    Decompressor d;
    ErrorManager errors;
    SourceManager src;
    jpeg_progress_mgr progress{};
    std::vector<uint8_t> row;
    d.info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.output_message = OutputMessage;
    if (setjmp(errors.jump)) {
        picture = Picture{};
        return DecodeResult::Broken;
    }
    jpeg_create_decompress(&d.info);
    d.created = true;
    src.source = &source;
    src.pub.init_source = InitSource;
    src.pub.fill_input_buffer = FillInputBuffer;
    src.pub.skip_input_data = SkipInputData;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = TermSource;
    d.info.src = &src.pub;
    progress.progress_monitor = CountScans;
    d.info.progress = &progress;

    jpeg_save_markers(&d.info, JPEG_APP0 + 14, 0);
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return DecodeResult::Broken;
    if (!PictureSizeAllowed(d.info.image_width, d.info.image_height)) return DecodeResult::Broken;

    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK
                             : d.info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&d.info);
    if (!AllocatePicture(picture, d.info.output_width, d.info.output_height)) {
        jpeg_abort_decompress(&d.info);
        return DecodeResult::Broken;
    }
    const int channels = d.info.output_components;
    // Adobe's writers store CMYK inverted; their marker says so.
    const bool inverted = cmyk && d.info.saw_Adobe_marker;
    row.resize(static_cast<size_t>(d.info.output_width) * channels);
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const int y = static_cast<int>(d.info.output_scanline);
        if (jpeg_read_scanlines(&d.info, rows, 1) != 1) break;
        uint32_t* out = &picture.pixels[static_cast<size_t>(y) * picture.width];
        const uint8_t* p = row.data();
        for (int x = 0; x < picture.width; ++x, p += channels) {
            if (channels == 1) {
                out[x] = PackArgb(255, p[0], p[0], p[0]);
            } else if (channels == 3) {
                out[x] = PackArgb(255, p[0], p[1], p[2]);
            } else {
                uint32_t c = p[0], m = p[1], yl = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yl = 255 - yl;
                    k = 255 - k;
                }
                out[x] = PackArgb(255, (c * k + 127) / 255, (m * k + 127) / 255, (yl * k + 127) / 255);
            }
        }
    }
    src.pictureRead = true;
    jpeg_finish_decompress(&d.info);
    return DecodeResult::Decoded;
}

}  // namespace media::images
