// Starting and stopping the media layer, the log, the single-instance rule and
// the message pump.
#include "media/core/api_lock.h"
#include "media/core/instance_lock.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::HeadlessMedia;
using testing_support::readWholeFile;
using testing_support::writeWholeFile;
using testing_support::ScratchDirectory;
using namespace std::chrono_literals;

TEST(Log, RecreatedInTheStartDirectoryWithTimesTabsAndCrLf) {
    ScratchDirectory dir("log");
    {
        FILE* f = std::fopen("Log.txt", "wb");
        std::fputs("old run\n", f);
        std::fclose(f);
    }
    {
        HeadlessMedia media;
        ASSERT_TRUE(media.ok());
        // Later lines still go to the directory of the start.
        std::filesystem::create_directory("elsewhere");
        std::filesystem::current_path("elsewhere");
        ChangeWindowMode(1);
        ChangeWindowMode(0);
        std::filesystem::current_path(dir.path());
    }
    const std::string log = readWholeFile("Log.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.find("old run"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("elsewhere/Log.txt"));
    EXPECT_NE(log.find("ChangeWindowMode実行 \r\n"), std::string::npos);
    EXPECT_NE(log.find("ウインドウモードフラグが倒されました\r\n"), std::string::npos);
    EXPECT_NE(log.find("Renderer: "), std::string::npos);

    // Every line: milliseconds, a colon, tabs for the nesting, text, CR LF.
    const std::regex line("^[0-9]+:\t*[^\t\r\n][^\r\n]*$");
    size_t start = 0;
    int lines = 0;
    bool nested = false;
    while (start < log.size()) {
        const size_t end = log.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "unterminated last line";
        const std::string text = log.substr(start, end - start);
        EXPECT_TRUE(std::regex_match(text, line)) << text;
        if (text.find(":\t") != std::string::npos) nested = true;
        start = end + 2;
        ++lines;
    }
    EXPECT_GT(lines, 5);
    EXPECT_TRUE(nested) << "window start-up lines are nested";
    // No bare LF.
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\n') {
            EXPECT_TRUE(i > 0 && log[i - 1] == '\r');
        }
    }
}

TEST(Media, StartsAgainAfterEnd) {
    ScratchDirectory dir("restart");
    for (int round = 0; round < 3; ++round) {
        HeadlessMedia media;
        ASSERT_TRUE(media.ok()) << "round " << round;
        EXPECT_EQ(ProcessMessage(), 0);
        EXPECT_EQ(ClearScreen(), 0);
        EXPECT_EQ(FlipScreen(), 0);
    }
    EXPECT_EQ(FlipScreen(), -1);  // graphics are not running
    EXPECT_EQ(SetDrawTarget(kDrawTargetBack), -1);
    EXPECT_EQ(EndMedia(), 0);     // a second end is harmless
}

TEST(Media, WithoutADisplayStartFailsCleanlyAndTheNextStartWorks) {
    ScratchDirectory dir("no-display");
    SetAllowSecondInstance(1);  // other tests may be running at the same time
    const std::string previousDriver = std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "";
    const char* display = std::getenv("DISPLAY");
    const std::string previousDisplay = display ? display : "";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    unsetenv("DISPLAY");
    EXPECT_EQ(InitMedia(), -1);
    EXPECT_EQ(FlipScreen(), -1);
    EXPECT_EQ(ProcessMessage(), 0);  // not running: nothing to report
    EXPECT_EQ(EndMedia(), 0);
    const std::string log = readWholeFile("Log.txt");
    EXPECT_NE(log.find("No display could be opened"), std::string::npos) << log;
    EXPECT_NE(log.find("The media layer could not start\r\n"), std::string::npos) << log;

    if (previousDriver.empty()) unsetenv("SDL_VIDEODRIVER");
    else setenv("SDL_VIDEODRIVER", previousDriver.c_str(), 1);
    if (display) setenv("DISPLAY", previousDisplay.c_str(), 1);
    // Nothing of the failed start is left behind: the instance lock, SDL.
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_EQ(FlipScreen(), 0);
}

// Without a display and without a driver named, SDL would fall back to its
// offscreen driver and the game would run unseen: it must refuse instead.
TEST(Media, WithoutADisplayTheInvisibleDriversAreNotTakenUnlessNamed) {
    ScratchDirectory dir("no-display-unnamed");
    SetAllowSecondInstance(1);
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    } saved[] = {{"SDL_VIDEODRIVER", "", false}, {"DISPLAY", "", false}, {"WAYLAND_DISPLAY", "", false}};
    for (Saved& s : saved) {
        if (const char* v = std::getenv(s.name)) s.value = v, s.set = true;
        unsetenv(s.name);
    }
    EXPECT_EQ(InitMedia(), -1);
    EXPECT_EQ(EndMedia(), 0);
    const std::string log = readWholeFile("Log.txt");
    EXPECT_NE(log.find("No display could be opened"), std::string::npos) << log;
    EXPECT_NE(log.find("SDL_VIDEODRIVER=offscreen"), std::string::npos) << log;
    EXPECT_NE(log.find("The media layer could not start\r\n"), std::string::npos) << log;

    // Named, the offscreen driver is taken.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_EQ(InitMedia(), 0);
    EXPECT_EQ(FlipScreen(), 0);
    EXPECT_EQ(EndMedia(), 0);
    for (const Saved& s : saved) {
        if (s.set) setenv(s.name, s.value.c_str(), 1);
        else unsetenv(s.name);
    }
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
        SetWindowCaption("LumottaInstanceTest");
    }
    void TearDown() override {
        SetAllowSecondInstance(1);
        SetWindowCaption("Lumotta");
    }
    // Holds the lock as a running copy would.
    int holdLock() {
        const std::string path = media::core::InstanceLockPath("LumottaInstanceTest");
        EXPECT_EQ(path, dir_.path() + "/LumottaInstanceTest.lock");
        const int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
        return fd;
    }
    ScratchDirectory dir_{"instance"};
};

// The message boxes asked for, through the media layer's seam.
std::vector<std::string> gBoxes;
int noteBox(const char* title, const char* text) {
    gBoxes.push_back(std::string(title) + ": " + text);
    return 0;
}

TEST_F(SingleInstance, FirstCopyStartsAndSaysSo) {
    SetAllowSecondInstance(0);
    gBoxes.clear();
    SetMessageBoxShower(noteBox);
    ASSERT_EQ(InitMedia(), 0);
    EndMedia();
    SetMessageBoxShower(nullptr);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_NE(readWholeFile("Log.txt").find("二重起動はされていませんでした\r\n"), std::string::npos);
}

// The running copy's log is its record: the second copy says why it ends on
// standard error, in English too, and in a message box for a player who
// started it from the desktop menu, and leaves Log.txt alone.
TEST_F(SingleInstance, SecondCopyIsRefusedAndKeepsTheFirstCopysLog) {
    const int fd = holdLock();
    writeWholeFile("Log.txt", "the running copy's log\r\n");
    SetAllowSecondInstance(0);
    gBoxes.clear();
    SetMessageBoxShower(noteBox);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(InitMedia(), -1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    SetMessageBoxShower(nullptr);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0], "LumottaInstanceTest: LumottaInstanceTest is already running.");  // the caption
    EXPECT_EQ(ProcessMessage(), 0);  // not running: nothing to report
    close(fd);
    EXPECT_EQ(readWholeFile("Log.txt"), "the running copy's log\r\n");
    EXPECT_NE(said.find("二重起動されています、ソフトを終了します"), std::string::npos) << said;
    EXPECT_NE(said.find("another copy of the game is already running"), std::string::npos) << said;
}

TEST_F(SingleInstance, SecondCopyMayRunWhenAllowed) {
    const int fd = holdLock();
    SetAllowSecondInstance(1);
    EXPECT_EQ(InitMedia(), 0);
    EndMedia();
    close(fd);
    EXPECT_NE(readWholeFile("Log.txt").find("二重起動されていますが続行します\r\n"), std::string::npos);
}

TEST_F(SingleInstance, TheLockIsLetGoAtEnd) {
    SetAllowSecondInstance(0);
    ASSERT_EQ(InitMedia(), 0);
    EndMedia();
    ASSERT_EQ(InitMedia(), 0);
    EndMedia();
}

TEST(ProcessMessage, WindowCloseEndsTheProgramForGood) {
    ScratchDirectory dir("close");
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_EQ(ProcessMessage(), 0);
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(ProcessMessage(), -1);
    EXPECT_EQ(ProcessMessage(), -1);
    EXPECT_EQ(ProcessMessage(), -1);
}

TEST(ProcessMessage, QuitEventEndsTheProgramForGood) {
    ScratchDirectory dir("quit");
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(ProcessMessage(), -1);
    EXPECT_EQ(ProcessMessage(), -1);
}

TEST(ProcessMessage, QuitIsForgottenByTheNextStart) {
    ScratchDirectory dir("quit-restart");
    {
        HeadlessMedia media;
        ASSERT_TRUE(media.ok());
        testing_support::pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
        EXPECT_EQ(ProcessMessage(), -1);
    }
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    EXPECT_EQ(ProcessMessage(), 0);
}

TEST(ProcessMessage, HoldsTheCallerWhileTheWindowIsInactive) {
    ScratchDirectory dir("inactive");
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    for (SDL_WindowEventID away : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED}) {
        const SDL_WindowEventID back =
            away == SDL_WINDOWEVENT_FOCUS_LOST ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_RESTORED;
        testing_support::pushWindowEvent(away);
        std::atomic<bool> released{false};
        std::thread other([&] {
            std::this_thread::sleep_for(60ms);
            // The lock is free while the caller is held.
            { media::ApiLockGuard lock; }
            released = true;
            testing_support::pushWindowEvent(back);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ProcessMessage(), 0);
        const auto held = std::chrono::steady_clock::now() - start;
        other.join();
        EXPECT_TRUE(released.load());
        EXPECT_GE(held, 55ms);
    }
}

TEST(ProcessMessage, CloseWhileInactiveStillEnds) {
    ScratchDirectory dir("inactive-close");
    HeadlessMedia media;
    ASSERT_TRUE(media.ok());
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    std::thread other([] {
        std::this_thread::sleep_for(30ms);
        testing_support::pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    });
    EXPECT_EQ(ProcessMessage(), -1);
    other.join();
}

TEST(UpkeepThread, TakesTheLockRegularlyAndStopsAtEnd) {
    ScratchDirectory dir("upkeep");
    {
        HeadlessMedia media;
        ASSERT_TRUE(media.ok());
        // Hold the lock longer than the upkeep period: the upkeep thread
        // queues for it.
        EnterMediaLock();
        bool queued = false;
        for (int i = 0; i < 200 && !queued; ++i) {
            std::this_thread::sleep_for(1ms);
            queued = media::lock::WaitingThreads() == 1;
        }
        LeaveMediaLock();
        EXPECT_TRUE(queued);
    }
    // After EndMedia nobody is left to queue.
    EnterMediaLock();
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(media::lock::WaitingThreads(), 0);
    LeaveMediaLock();
}

TEST(UpkeepThread, EndMediaWhileHoldingTheLockDoesNotDeadlock) {
    ScratchDirectory dir("upkeep-held");
    SetAllowSecondInstance(1);
    ASSERT_EQ(InitMedia(), 0);
    EnterMediaLock();
    std::this_thread::sleep_for(40ms);  // the upkeep thread is queued by now
    EXPECT_EQ(EndMedia(), 0);
    EXPECT_TRUE(media::lock::HeldByThisThread());
    LeaveMediaLock();
}

TEST(Timer, GetTimeMsRunsWithoutTheMediaLayerAndMovesOn) {
    const uint32_t a = GetTimeMs();
    std::this_thread::sleep_for(20ms);
    const uint32_t b = GetTimeMs();
    EXPECT_GE(static_cast<uint32_t>(b - a), 19u);
    EXPECT_LT(static_cast<uint32_t>(b - a), 5000u);
}

}  // namespace
