// Reading and writing a stage's files on disk for the stage tools.
#pragma once

#include "tools/stagec/stage_text.h"

#include <optional>
#include <string>
#include <vector>

namespace stagec {

// "NN.dat", "NN_.dat", "NN__.dat" for stage 0..99; never any other name, so
// the tools cannot touch the saved files that share the folder.
std::string stageFileBase(int stage, int file);

// The stage number a source file is named for ("07.stage" -> 7), if any.
std::optional<int> stageNumberOfSource(const std::string& path);

bool readFileBytes(const std::string& path, std::vector<unsigned char>& out);
bool readTextFile(const std::string& path, std::string& out);
// Writes through a temporary file and a rename, so a reader never sees half a file.
bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// The three files of `stage` in `folder`; a missing file reads as empty and
// is named in `note`.
StageData readStageFiles(const std::string& folder, int stage, std::string* note);
bool writeStageFiles(const std::string& folder, int stage, const StageData& data);

}  // namespace stagec
