// The machine, as written to the log at start-up.
#pragma once

namespace media::core {

// Before SDL's video starts: version, system, processor, memory.
void LogSystem();
// After it starts: video driver and desktop.
void LogVideo();

}  // namespace media::core
