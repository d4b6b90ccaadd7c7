// The master volume and muting: one gain over everything the mixer sends to
// the device. The percentage follows the ear rather than the amplitude: the
// gain is its square, so each step of ten sounds about as large as the next.
#include "media/core/api_lock.h"
#include "media/media.h"
#include "media/sound/mixer.h"

namespace {

int gPercent = 100;
bool gMuted = false;

void applyGain() {
    const float level = static_cast<float>(gPercent) / 100.0f;
    media::sound::mixer::SetMasterGain(gMuted ? 0.0f : level * level);
}

}  // namespace

int SetMasterVolume(int percent) {
    media::ApiLockGuard lock;
    if (percent < 0 || percent > 100) return -1;
    gPercent = percent;
    applyGain();
    return 0;
}

int SetSoundMute(int muted) {
    media::ApiLockGuard lock;
    gMuted = muted != 0;
    applyGain();
    return 0;
}
