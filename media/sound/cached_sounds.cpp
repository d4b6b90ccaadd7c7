// Memory sounds' decoded data in the decoded cache (media/core/decoded_cache.h),
// found by the file's bytes: loading an unchanged effect again, or one the
// worker decoded ahead, costs a lookup.
#include "media/core/decoded_cache.h"
#include "media/core/log.h"
#include "media/core/work_ahead.h"
#include "media/sound/sound.h"

#include <new>

namespace media::sound {
namespace {

cache::Key SoundKey(std::vector<uint8_t> bytes) {
    cache::Key key;
    key.kind = cache::Kind::Sound;
    key.settings = mixer::kRate;
    key.bytes = std::move(bytes);
    key.Seal();
    return key;
}

size_t SoundBytes(const DecodedSound& sound) { return sound.samples.size() * sizeof(int16_t); }

std::shared_ptr<DecodedSound> Decode(const std::vector<uint8_t>& bytes, std::string& why) {
    std::shared_ptr<DecodedSound> decoded;
    try {
        decoded = std::make_shared<DecodedSound>();
        std::unique_ptr<Decoder> decoder = OpenDecoder(MakeMemorySource(bytes), why);
        if (!decoder) return nullptr;
        if (!DecodeForMixer(*decoder, decoded->samples)) {
            why = "too long or out of memory";
            return nullptr;
        }
        decoded->channels = decoder->channels();
        decoded->rate = decoder->rate();
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return nullptr;
    }
    return decoded;
}

void DecodeOnWorker(const std::string& fileName) {
    log::Mute quiet;
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(fileName.c_str(), bytes) != ReadResult::kOk) return;
    cache::Key key = SoundKey(std::move(bytes));
    int flight = 0;
    if (!cache::BeginDecode(key, flight, false)) return;
    std::string why;
    log::Watch watch;   // a result is kept only when decoding wrote nothing
    std::shared_ptr<DecodedSound> decoded = Decode(key.bytes, why);
    if (watch.Written() != 0) decoded.reset();
    const size_t size = decoded ? SoundBytes(*decoded) : 0;
    cache::EndDecode(flight, std::move(key), std::move(decoded), size);
}

}  // namespace

std::shared_ptr<const DecodedSound> DecodeMemorySound(std::vector<uint8_t> bytes, std::string& why, bool& reused) {
    cache::Key key = SoundKey(std::move(bytes));
    if (cache::Value value = cache::Find(key)) {
        reused = true;
        return std::static_pointer_cast<const DecodedSound>(value);
    }
    log::Watch watch;
    std::shared_ptr<DecodedSound> decoded = Decode(key.bytes, why);
    if (decoded && watch.Written() == 0) cache::Keep(std::move(key), decoded, SoundBytes(*decoded));
    return decoded;
}

void DecodeSoundAhead(const std::string& fileName) {
    core::RunAhead([fileName] { DecodeOnWorker(fileName); }, false);
}

}  // namespace media::sound
