// Recording a replay of every stage played, into the folder that --record
// or the environment variable LUMOTTA_RECORD names (made when missing): one
// file "NN-K.rep" per attempt at the stage the game shows as STAGE NN (stage
// file NN - 1; K counts up, existing files are never overwritten). A replay that cannot be written is reported
// (file_writing.h).
#pragma once

// Records into `folder` from now on (nullptr or "" stops).
void startReplayRecording(const char* folder);
// Writes the attempt still open, e.g. when the program ends mid-stage.
void finishReplayRecording();
