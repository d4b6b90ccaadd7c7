#include "tests/support/test_support.h"

#include "media/media.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

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
    else  // a whole suite's set-up: one folder per process
        folder += "-process" + std::to_string(getpid());
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

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool writeWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool writeBmp(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& colour) {
    std::error_code ignored;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) fs::create_directories(parent, ignored);
    const int stride = (w * 3 + 3) & ~3;
    std::string file(54 + static_cast<size_t>(stride) * h, '\0');
    auto put32 = [&file](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y) {
        char* row = &file[54 + static_cast<size_t>(stride) * (h - 1 - y)];
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            row[3 * x] = static_cast<char>(c);
            row[3 * x + 1] = static_cast<char>(c >> 8);
            row[3 * x + 2] = static_cast<char>(c >> 16);
        }
    }
    return writeWholeFile(path, file);
}

void waitNextMillisecond() {
    const uint32_t start = GetTimeMs();
    while (GetTimeMs() == start) SDL_Delay(1);
}

namespace {
void pushKey(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    SDL_PushEvent(&event);
    ProcessMessage();
    waitNextMillisecond();
}
}  // namespace

void pressKey(SDL_Scancode scancode) { pushKey(scancode, true); }
void releaseKey(SDL_Scancode scancode) { pushKey(scancode, false); }

void pushWindowEvent(SDL_WindowEventID which) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = which;
    SDL_PushEvent(&event);
}

}  // namespace testing_support
