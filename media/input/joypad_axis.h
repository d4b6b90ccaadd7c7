// Joypad axis scaling: SDL's -32768..32767 to -1000..1000, with a dead zone
// of 25 % of the travel around the centre that reads as 0.
#pragma once

namespace media::input {

constexpr int kAxisDeadZone = 8192;  // 25 % of 32768

// Past the dead zone the travel is scaled to 1..1000, so any position past it
// reads as a direction, however small.
constexpr int ScaleAxis(int raw) {
    if (raw < -32768) raw = -32768;
    if (raw > 32767) raw = 32767;
    if (raw >= -kAxisDeadZone && raw <= kAxisDeadZone) return 0;
    if (raw > 0) {
        const int scaled = (raw - kAxisDeadZone) * 1000 / (32767 - kAxisDeadZone);
        return scaled < 1 ? 1 : scaled;
    }
    const int scaled = (raw + kAxisDeadZone) * 1000 / (32768 - kAxisDeadZone);
    return scaled > -1 ? -1 : scaled;
}

}  // namespace media::input
