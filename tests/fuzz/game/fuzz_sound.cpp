// The WAV or Ogg Vorbis decoder (FUZZ_OGG chooses Ogg): any bytes opened as
// a sound, read through to the end as the mixer would (bounded), with a seek
// back to the start as a looping sound makes.
#include "media/sound/byte_source.h"
#include "media/sound/decoder.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Enough for any seed; beyond it a file is only read further.
constexpr size_t kMaxFramesRead = size_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<media::sound::ByteSource> source =
        media::sound::MakeMemorySource(std::vector<uint8_t>(data, data + size));
    std::string why;
#ifdef FUZZ_OGG
    std::unique_ptr<media::sound::Decoder> decoder = media::sound::OpenOggDecoder(source, why);
#else
    std::unique_ptr<media::sound::Decoder> decoder = media::sound::OpenWavDecoder(source, why);
#endif
    if (!decoder) return 0;
    std::vector<int16_t> out(4096 * media::sound::kMaxFileChannels);
    size_t total = 0;
    for (int pass = 0; pass < 2; ++pass) {
        while (total < kMaxFramesRead) {
            const size_t got = decoder->Read(out.data(), 4096);
            if (got == 0) break;
            if (got > 4096) std::abort();
            total += got;
        }
        if (!decoder->Seek(0)) break;
    }
    return 0;
}
