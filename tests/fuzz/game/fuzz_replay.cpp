// The replay reader: any bytes as a replay file; a replay it takes is played
// on the built-in room, as the runner and the game's --replay do.
#include "game/shell/replay.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay replay;
    std::string error;
    if (!decodeReplay(data, size, replay, error)) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    // Whatever it takes writes back to the same bytes.
    const std::vector<unsigned char> again = encodeReplay(replay);
    Replay back;
    if (!decodeReplay(again.data(), again.size(), back, error) || back.ticks != replay.ticks) std::abort();
    return 0;
}
