// Writing the game's own files (saved files, lumotta.ini, replays) and
// saying so when it fails: on standard error, in Log.txt, and in the exit
// status, which counts every failure.
#pragma once

#include <cstddef>
#include <string>

// Replaces `path` whole: the bytes go to "<path>.new" beside it, which is
// then renamed over the old file, so a crash or a full disk leaves the old
// file whole; the folder is synced after the rename, so the new file is
// there after a power loss too. False with the reason when it could not be
// done.
bool replaceFile(const std::string& path, const void* bytes, size_t size, std::string& reason);

// Makes `folder` and the folders above it when missing. False with the reason
// when it is not there afterwards.
bool makeFolder(const std::string& folder, std::string& reason);

// "Lumotta: <what> could not be saved to <path>: <reason>", on standard error
// and in Log.txt, and counted.
void reportFailedWrite(const std::string& what, const std::string& path, const std::string& reason);

// The failures reported so far, in one message box for a player who started
// the game from the desktop and sees no standard error (ShowMessageBox:
// nothing when standard error is a terminal).
void tellFailedWrites();

// Failed writes reported since the start (or since the last reset).
int failedWrites();
void resetFailedWrites();
