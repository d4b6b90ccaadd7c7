// The upkeep thread: every 17 ms it takes the API lock and runs
// ProcessMessage, which on this thread only refills the music streams and does
// the other upkeep (SDL's events belong to the thread that made the window).
// It ends when ProcessMessage reports the end or when it is told to stop.
#pragma once

namespace media::core {

bool StartUpkeepThread();
// Waits for the thread to end. The calling thread must not hold the API lock
// (StopUpkeepThread lets go of it for the wait when it does).
void StopUpkeepThread();

}  // namespace media::core
