#include "tests/support/test_support.h"

#include "media/media.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace testing_support {

ScratchDirectory::ScratchDirectory(const std::string& name) {
    previous_ = fs::current_path().string();
    // The tests of one program run side by side, one process each: every
    // test gets a folder of its own (the same one again in a death test's
    // child process).
    std::string folder = name;
    if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info())
        folder += std::string("-") + test->test_suite_name() + "." + test->name();
    const fs::path path = fs::absolute(fs::path("scratch") / folder);
    fs::remove_all(path);
    fs::create_directories(path);
    path_ = path.string();
    fs::current_path(path);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

HeadlessMedia::HeadlessMedia() {
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    ok_ = InitMedia() == 0;
}

HeadlessMedia::~HeadlessMedia() {
    if (ok_) EndMedia();
}

std::string corpusDirectory() {
    const char* dir = std::getenv("LUMOTTA_CORPUS_DIR");
    if (dir && fs::is_directory(dir)) return dir;
    return {};
}

}  // namespace testing_support
