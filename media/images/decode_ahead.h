// Pictures of a numbered run that the game loads one a frame ("19\1.png",
// "19\2.png", ... for an animation) are read and decoded a step ahead on a
// worker thread, so the load that asks for one finds it ready. A load still
// reads its file; it takes the picture decoded ahead only when the bytes are
// the same and their decoding wrote nothing to the log, so what it returns
// and logs is what a load of its own would.
#pragma once

#include "media/images/picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace media::images {

// Called after `fileName` (relative to `directory`) was loaded. Once two
// numbers of a run were loaded one after the other, the next number's file
// is read now (quietly: it may not exist) and decoded on the worker.
void NoteLoaded(const std::string& fileName, const std::string& directory);

// The picture decoded ahead from exactly `bytes` for this file, waiting for
// the worker when it is at it; false when there is none (the caller decodes).
bool TakeDecodedAhead(const std::string& fileName, const std::string& directory,
                      const std::vector<uint8_t>& bytes, Picture& picture);

// The file name with its last number one higher ("19\9.png" -> "19\10.png",
// "a07.bmp" -> "a08.bmp"), and that number; empty when it has none.
std::string NextInRun(const std::string& fileName, long* number = nullptr);

// Stops the worker and forgets everything decoded ahead.
void StopDecodingAhead();

// Pictures decoded ahead and taken, for tests.
int DecodedAheadTaken();

}  // namespace media::images
