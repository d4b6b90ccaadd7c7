// One loaded sound: a memory sound (decoded whole, played through several
// copies) or a stream sound (decoded while it plays, through a ring).
#pragma once

#include "media/sound/decoder.h"
#include "media/sound/mixer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace media::sound {

// The decoded data's format as a wave-format record describes it.
struct WaveFormat {
    uint16_t formatTag = 1;  // PCM
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t bytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 16;

    static WaveFormat Pcm16(int channels, int rate);
    bool operator==(const WaveFormat&) const = default;
};

class Sound {
public:
    virtual ~Sound() = default;
    virtual bool IsStream() const = 0;
    // fromStart as PlaySound; looping for play type 3.
    virtual void Play(bool looping, bool fromStart) = 0;
    virtual void Stop() = 0;
    virtual bool Sounding() const = 0;
    virtual void Upkeep() {}

    WaveFormat format;
    std::string fileName;
    uint32_t lastStartMs = 0;
};

// A memory sound's decoded data: the whole sound at the mixer's rate, shared
// by every sound loaded from the same bytes (cached_sounds.cpp).
struct DecodedSound {
    std::vector<int16_t> samples;
    int channels = 0;
    int rate = 0;   // the file's
};

std::unique_ptr<Sound> MakeMemorySound(std::shared_ptr<const DecodedSound> decoded, int copies);

// The decoded data of a file's bytes: from the decoded cache when the same
// bytes were decoded before (reused is set), else decoded and kept. Null
// when they cannot be decoded; why then says why.
std::shared_ptr<const DecodedSound> DecodeMemorySound(std::vector<uint8_t> bytes, std::string& why, bool& reused);
// The file read and decoded into the cache on the worker thread.
void DecodeSoundAhead(const std::string& fileName);

// Brings frames of a decoder to the mixer's rate and channels (1 or 2)
// in one go; false when memory runs out.
bool DecodeForMixer(Decoder& decoder, std::vector<int16_t>& out);

// A stream sound plays through a ring of its own, or through the ring of
// another stream sound of the same format when sharedWith is given.
class StreamSound;
std::unique_ptr<Sound> MakeStreamSound(std::unique_ptr<Decoder> decoder, Sound* sharedWith);

// Sounds loaded and not yet released (for soak runs and tests).
int LiveSoundCount();

}  // namespace media::sound
