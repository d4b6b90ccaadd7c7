// Kills the real program (SIGKILL) at random moments around its save at
// exit, many times, and checks that each saved file is always either the old
// file whole or the new file whole.
//
//   save_killer PROGRAM GAME_FOLDER RUNS SEED
//   save_killer --unsaved PROGRAM GAME_FOLDER STDERR_FILE COMMAND
//
// The second form runs once, unkilled, and runs COMMAND (through the shell,
// in GAME_FOLDER) once the program is up, before it is asked to end: a disk
// filled or a folder made read-only under it. The save must then fail: exit
// status 1, the old files whole, the program's standard error in
// STDERR_FILE.
//
// GAME_FOLDER holds the game's data and its 01 (the program writes beside
// the data). Before each run the four saved files are put back to an "old"
// set the game will not write back as it is (values it brings into range, a
// short ranking), so the old and the new file differ. The program is
// started, asked to end as a player closing its window does (SIGTERM), and
// killed: at a random moment while it writes (the first new file it makes,
// seen through inotify, plus a random delay of up to what a whole save
// takes), or at a random moment between the request and its end. Prints the
// counts; exits 1 when any file was found damaged.
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kNames[] = {"K.dat", "S.dat", "B.dat", "H.dat"};
constexpr int kFiles = 4;

std::string readAll(const std::string& path, bool& present) {
    std::ifstream in(path, std::ios::binary);
    present = static_cast<bool>(in);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    return bytes.str();
}

bool writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

template <typename T>
void put(std::string& bytes, size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// The old set: a settings record with 150 lives (saved as 99), a ranking of
// one row (saved as ten), joypad 9 for player 1 (saved as 6), stage 60
// reached (saved as 51).
std::vector<std::string> oldSet() {
    std::string k(16, '\0'), s(8, '\0'), b(80, '\0'), h(4, '\0');
    put<int16_t>(k, 12, 150);
    put<int32_t>(s, 0, 4321);
    put<int32_t>(s, 4, 7);
    for (int pad = 0; pad < 2; ++pad)
        for (int i = 0; i < 8; ++i) put<int32_t>(b, pad * 40 + i * 4, 16 << i);
    put<int32_t>(b, 36, 9);
    put<int32_t>(b, 76, 1);
    put<int32_t>(h, 0, 60);
    return {k, s, b, h};
}

struct Folder {
    std::string saves;  // GAME_FOLDER/01
    std::string log;    // GAME_FOLDER/Log.txt

    void reset(const std::vector<std::string>& files) const {
        for (int f = 0; f < kFiles; ++f) {
            writeAll(saves + "/" + kNames[f], files[f]);
            ::unlink((saves + "/" + kNames[f] + ".new").c_str());
        }
        ::unlink(log.c_str());
        ::sync();
    }
    std::vector<std::string> read(std::vector<bool>& present) const {
        std::vector<std::string> files;
        present.assign(kFiles, false);
        for (int f = 0; f < kFiles; ++f) {
            bool here = false;
            files.push_back(readAll(saves + "/" + kNames[f], here));
            present[f] = here;
        }
        return files;
    }
};

// The program's main loop is running once its log names the folders.
bool startedUp(const Folder& folder) {
    bool present = false;
    return readAll(folder.log, present).find("Saved files: ") != std::string::npos;
}

std::string gStderrFile = "/dev/null";
std::string gBeforeEnd;  // a shell command run once the program is up

pid_t start(const std::string& program, const std::string& gameFolder) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(gameFolder.c_str()) != 0) _exit(126);
    const int quiet = open("/dev/null", O_WRONLY);
    const int errors = open(gStderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(quiet, 1);
    dup2(errors >= 0 ? errors : quiet, 2);
    // In a sanitized build, the libraries the sanitized game is run with
    // (tests/CMakeLists.txt); given to the game alone.
    if (const char* preload = std::getenv("LUMOTTA_SANITIZER_PRELOAD"); preload && *preload)
        setenv("LD_PRELOAD", preload, 1);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

// Starts the program, waits for its main loop, asks it to end and returns
// when it is told to be killed by `killAt` (or has ended). The status.
struct RunResult {
    int status = 0;
    bool killed = false;
    bool sawSaving = false;
    double termToEnd = 0;     // seconds from the request to the end (not killed)
    double savingToEnd = 0;   // seconds from the first new file to the end
};

enum class KillMode { None, WhileSaving, AfterRequest };

RunResult run(const std::string& program, const std::string& gameFolder, const Folder& folder, KillMode mode,
              double delaySeconds) {
    RunResult result;
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(watch, folder.saves.c_str(), IN_CREATE | IN_MOVED_TO);
    const pid_t pid = start(program, gameFolder);
    const auto began = Clock::now();
    while (!startedUp(folder)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            result.status = status;
            close(watch);
            return result;
        }
        if (Clock::now() - began > std::chrono::seconds(60)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Drop what the start-up made in the folder.
    char events[4096];
    while (read(watch, events, sizeof events) > 0) {
    }
    if (!gBeforeEnd.empty()) {
        const std::string command = "cd '" + gameFolder + "' && " + gBeforeEnd;
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "save_killer: '%s' failed\n", gBeforeEnd.c_str());
        while (read(watch, events, sizeof events) > 0) {
        }
    }
    kill(pid, SIGTERM);
    const auto requested = Clock::now();
    auto deadline = Clock::time_point::max();
    if (mode == KillMode::AfterRequest)
        deadline = requested + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delaySeconds));
    Clock::time_point savingSeen{};
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            result.status = status;
            break;
        }
        const auto now = Clock::now();
        if (!result.sawSaving) {
            pollfd p{watch, POLLIN, 0};
            if (poll(&p, 1, 0) > 0 && read(watch, events, sizeof events) > 0) {
                result.sawSaving = true;
                savingSeen = now;
                if (mode == KillMode::WhileSaving)
                    deadline = now + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(delaySeconds));
            }
        }
        if (now >= deadline && !result.killed) {
            kill(pid, SIGKILL);
            result.killed = true;
            continue;
        }
        if (now - requested > std::chrono::seconds(60)) {
            kill(pid, SIGKILL);
            result.killed = true;
        }
        // Spin while the save is close; sleep otherwise.
        if (!result.sawSaving && mode != KillMode::AfterRequest) std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    const auto ended = Clock::now();
    result.termToEnd = std::chrono::duration<double>(ended - requested).count();
    if (result.sawSaving) result.savingToEnd = std::chrono::duration<double>(ended - savingSeen).count();
    close(watch);
    return result;
}

}  // namespace

// The second form: one run whose save must fail and keep the old files.
int unsaved(const std::string& program, const std::string& gameFolder) {
    const Folder folder{gameFolder + "/01", gameFolder + "/Log.txt"};
    const std::vector<std::string> before = oldSet();
    folder.reset(before);
    const RunResult result = run(program, gameFolder, folder, KillMode::None, 0);
    std::vector<bool> present;
    const std::vector<std::string> files = folder.read(present);
    int kept = 0;
    for (int f = 0; f < kFiles; ++f) {
        if (present[f] && files[f] == before[f])
            ++kept;
        else
            std::printf("save_killer: %s was not kept whole (%zu bytes)\n", kNames[f], files[f].size());
    }
    const int status = WIFEXITED(result.status) ? WEXITSTATUS(result.status) : 128 + WTERMSIG(result.status);
    std::printf("save_killer: exit status %d, %d of %d old files kept whole\n", status, kept, kFiles);
    return status == 1 && kept == kFiles ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--unsaved") {
        gStderrFile = argv[4];
        gBeforeEnd = argv[5];
        return unsaved(argv[2], argv[3]);
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: save_killer PROGRAM GAME_FOLDER RUNS SEED\n");
        return 2;
    }
    const std::string program = argv[1], gameFolder = argv[2];
    const int runs = std::atoi(argv[3]);
    std::mt19937 random(static_cast<unsigned>(std::atoi(argv[4])));
    const Folder folder{gameFolder + "/01", gameFolder + "/Log.txt"};
    const std::vector<std::string> before = oldSet();

    // A run left alone: what the game writes, and how long it takes.
    folder.reset(before);
    const RunResult reference = run(program, gameFolder, folder, KillMode::None, 0);
    std::vector<bool> present;
    const std::vector<std::string> after = folder.read(present);
    if (!WIFEXITED(reference.status) || WEXITSTATUS(reference.status) != 0 || !reference.sawSaving) {
        std::fprintf(stderr, "save_killer: the program did not end and save by itself (status %d)\n",
                     reference.status);
        return 1;
    }
    for (int f = 0; f < kFiles; ++f)
        if (after[f] == before[f]) {
            std::fprintf(stderr, "save_killer: %s came back unchanged; old and new cannot be told apart\n", kNames[f]);
            return 1;
        }
    std::printf("save_killer: a whole save takes %.1f ms; request to end %.1f ms\n", reference.savingToEnd * 1000,
                reference.termToEnd * 1000);

    int killedBefore = 0, killedDuring = 0, killedAfter = 0, ended = 0, damaged = 0, leftovers = 0;
    for (int r = 0; r < runs; ++r) {
        folder.reset(before);
        const bool whileSaving = r % 3 != 2;
        std::uniform_real_distribution<double> delay(0, whileSaving ? reference.savingToEnd : reference.termToEnd);
        const RunResult result = run(program, gameFolder, folder,
                                     whileSaving ? KillMode::WhileSaving : KillMode::AfterRequest, delay(random));
        const std::vector<std::string> files = folder.read(present);
        int asOld = 0, asNew = 0;
        for (int f = 0; f < kFiles; ++f) {
            if (present[f] && files[f] == before[f]) {
                ++asOld;
            } else if (present[f] && files[f] == after[f]) {
                ++asNew;
            } else {
                ++damaged;
                std::printf("run %d: %s damaged (%zu bytes%s)\n", r, kNames[f], files[f].size(),
                            present[f] ? "" : ", missing");
            }
            struct stat st {};
            if (::stat((folder.saves + "/" + kNames[f] + ".new").c_str(), &st) == 0) ++leftovers;
        }
        if (!result.killed || (WIFEXITED(result.status)))
            ++ended;
        else if (asNew == 0)
            ++killedBefore;
        else if (asNew == kFiles)
            ++killedAfter;
        else
            ++killedDuring;
    }
    folder.reset(before);
    std::printf("save_killer: %d runs: %d killed before the first file was replaced, %d between files, "
                "%d after the last, %d ended by themselves; %d unfinished .new files left beside; %d files damaged\n",
                runs, killedBefore, killedDuring, killedAfter, ended, leftovers, damaged);
    return damaged == 0 ? 0 : 1;
}
