// The sample the archive benchmarks work on.
#pragma once

#include <string>
#include <vector>

// The folders named on the command line, or the data directory's asset folders.
std::vector<std::string> SampleFolders(int argc, char** argv);

// Every regular file below folder, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder);
