// Recording a replay of every stage played, when the environment variable
// LUMOTTA_RECORD names a folder: one file "NN-K.rep" per attempt at stage NN
// (K counts up, existing files are never overwritten).
#pragma once

// Reads LUMOTTA_RECORD and, when it is set, starts watching play.
void startReplayRecordingFromEnvironment();
// Records into `folder` from now on (nullptr or "" stops).
void startReplayRecording(const char* folder);
// Writes the attempt still open, e.g. when the program ends mid-stage.
void finishReplayRecording();
