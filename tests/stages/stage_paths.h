// Where the stage tests find the built data set and the stage sources: the
// environment names them, the build's own folders are the fallback.
#pragma once

#include "tools/runner/input_script.h"
#include "tools/stagec/stage_io.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace stage_paths {

inline std::string dataDir() {
    const char* dir = std::getenv("LUMOTTA_DATA_DIR");
    return dir ? dir : LUMOTTA_TEST_DATA_DIR;
}

inline std::string sourceDir() {
    const char* source = std::getenv("LUMOTTA_SOURCE_DIR");
    return source ? source : LUMOTTA_TEST_SOURCE_DIR;
}

// The stages with a source in content/stages (the shipped ones), from
// `first` on, in order.
inline std::vector<int> shippedStages(int first = 0) {
    std::vector<int> stages;
    std::filesystem::path dir = std::filesystem::path(sourceDir()) / "content" / "stages";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (auto n = stagec::stageNumberOfSource(entry.path().string());
            n && *n >= first && entry.path().extension() == ".stage")
            stages.push_back(*n);
    std::sort(stages.begin(), stages.end());
    return stages;
}

// The shipped solution of a stage, compiled; its errors are in the result.
inline input_script::Result solution(int stage) {
    char name[32];
    std::snprintf(name, sizeof name, "/content/replays/%02d.script", stage);
    std::string path = sourceDir() + name, text;
    if (!stagec::readTextFile(path, text)) {
        input_script::Result missing;
        missing.errors.push_back(path + ": cannot read the file");
        return missing;
    }
    input_script::Result r = input_script::compile(text, path);
    if (!r.stageGiven) r.replay.start.stage = stage;
    return r;
}

}  // namespace stage_paths
