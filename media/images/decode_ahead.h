// Pictures of a numbered run that the game loads one a frame ("19\1.png",
// "19\2.png", ... for an animation) are decoded a step ahead on the worker
// into the decoded cache, so the load that asks for one finds it ready. A
// load still reads its file and takes the picture only when the bytes are
// the same (cached_pictures.h), so what it returns and logs is what a load
// of its own would.
#pragma once

#include <string>

namespace media::images {

// Called after `fileName` (relative to `directory`) was loaded. Once two
// numbers of a run were loaded one after the other, and the second was
// decoded (not found in the cache) or decoded ahead, the next number's file
// is read and decoded on the worker (quietly: it may not exist). A run found
// in the cache is most likely there as a whole: nothing is read ahead for it.
void NoteLoaded(const std::string& fileName, const std::string& directory, bool decoded);

// The file name with its last number one higher ("19\9.png" -> "19\10.png",
// "a07.bmp" -> "a08.bmp"), and that number; empty when it has none.
std::string NextInRun(const std::string& fileName, long* number = nullptr);

// A load of fileName begins: the worker need not decode it ahead any more.
void NoteLoading(const std::string& fileName);
// On the worker: true, once, when the next picture of a run given to it has
// not been loaded meanwhile.
bool StillWanted(const std::string& fileName);

// Forgets the runs followed so far.
void ForgetRuns();

}  // namespace media::images
