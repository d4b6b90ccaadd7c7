// Start-up, the main loop and shut-down.
#pragma once

// Runs the whole program; returns 0 after a normal run, -1 when the media
// layer could not start.
int runGame();
