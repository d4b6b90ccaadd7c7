// Helpers shared by the tests.
#pragma once

#include <string>

namespace testing_support {

// A fresh, empty directory under the test's working directory, made current
// for the life of the object.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

// Starts the media layer headless (second instances allowed, no pacing) and
// ends it again.
class HeadlessMedia {
public:
    HeadlessMedia();
    ~HeadlessMedia();
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Where the corpus of real-world media files lives; empty when absent.
std::string corpusDirectory();

}  // namespace testing_support
