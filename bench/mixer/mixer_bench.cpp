// mixer_bench cost [seconds]   cost of mixing 24 looping effects and one
//                              streamed Ogg, as a fraction of one core
// mixer_bench soak [seconds]   music streamed through the real (dummy) device
//                              while the game thread is busy 300 ms every 2 s;
//                              counts underruns (default 600 s)
#include "media/media.h"
#include "media/sound/mixer.h"
#include "tests/sound/sound_fixtures.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
namespace mixer = media::sound::mixer;
using namespace sound_fixtures;

namespace {

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// 24 effects at the rates and layouts game sounds come in, and 30 s of music.
void MakeFiles() {
    const int rates[] = {11025, 22050, 44100, 48000};
    for (int i = 0; i < 24; ++i) {
        const int rate = rates[i % 4];
        const int channels = 1 + (i / 4) % 2;
        const int frames = rate * (3 + i % 5) / 10;
        WriteWav16("fx" + std::to_string(i) + ".wav", Sine(200.0 + 97.0 * i, rate, frames, channels, 0.05), channels, rate);
    }
    WriteOgg("music.ogg", Chord(44100, 44100 * 30, 2), 2, 44100);
}

int LoadMusic() {
    SetSoundLoadMode(2);
    const int music = LoadSound("music.ogg", 3, -1);
    SetSoundLoadMode(0);
    return music;
}

int Cost(double seconds) {
    if (InitMedia() != 0 || !mixer::DeviceOpen()) {
        std::fprintf(stderr, "no media layer or no audio device\n");
        return 1;
    }
    mixer::HoldDevice(true);
    std::vector<int> effects;
    for (int i = 0; i < 24; ++i) effects.push_back(LoadSound(("fx" + std::to_string(i) + ".wav").c_str(), 3, -1));
    const int music = LoadMusic();
    for (int h : effects) PlaySound(h, kPlayLoop, 1);
    PlaySound(music, kPlayLoop, 1);
    std::printf("voices sounding: %d (24 effects + 1 stream)\n", mixer::SoundingVoices());

    constexpr size_t kPiece = 1024;  // one device period
    std::vector<float> out(kPiece * 2);
    const size_t total = static_cast<size_t>(seconds * mixer::kRate);
    double mixCpu = 0.0, upkeepCpu = 0.0;
    size_t sinceUpkeep = 0;
    const uint64_t underruns = mixer::Underruns();
    for (size_t done = 0; done < total; done += kPiece) {
        double t = ThreadCpuSeconds();
        mixer::Pull(out.data(), kPiece);
        mixCpu += ThreadCpuSeconds() - t;
        sinceUpkeep += kPiece;
        while (sinceUpkeep >= 750) {  // the 17 ms upkeep period
            sinceUpkeep -= 750;
            t = ThreadCpuSeconds();
            ProcessMessage();
            upkeepCpu += ThreadCpuSeconds() - t;
        }
    }
    std::printf("audio mixed: %.1f s\n", seconds);
    std::printf("mixing:        %.4f s cpu = %.3f%% of one core\n", mixCpu, 100.0 * mixCpu / seconds);
    std::printf("stream upkeep: %.4f s cpu = %.3f%% of one core (Ogg decoding)\n", upkeepCpu,
                100.0 * upkeepCpu / seconds);
    std::printf("total:         %.3f%% of one core\n", 100.0 * (mixCpu + upkeepCpu) / seconds);
    std::printf("underruns: %llu\n", static_cast<unsigned long long>(mixer::Underruns() - underruns));
    EndMedia();
    return 0;
}

int Soak(double seconds) {
    if (InitMedia() != 0 || !mixer::DeviceOpen()) {
        std::fprintf(stderr, "no media layer or no audio device\n");
        return 1;
    }
    std::vector<int> effects;
    for (int i = 0; i < 24; ++i) effects.push_back(LoadSound(("fx" + std::to_string(i) + ".wav").c_str(), 3, -1));
    const int music = LoadMusic();
    PlaySound(music, kPlayLoop, 1);
    const uint64_t underruns = mixer::Underruns();
    const double start = Now();
    double nextBusy = start + 2.0, nextReport = start + 60.0;
    int frames = 0, busySpells = 0;
    while (Now() - start < seconds) {
        if (ProcessMessage() != 0) break;
        if (frames % 20 == 0) PlaySound(effects[static_cast<size_t>(frames / 20) % effects.size()], kPlayOnce, 1);
        ++frames;
        if (Now() >= nextBusy) {
            // A stage load: the game thread holds the media layer for 300 ms.
            EnterMediaLock();
            const double until = Now() + 0.3;
            volatile double sink = 0.0;
            while (Now() < until) sink = sink + 1.0;
            LeaveMediaLock();
            ++busySpells;
            nextBusy += 2.0;
        }
        if (Now() >= nextReport) {
            std::printf("%4.0f s: underruns %llu\n", Now() - start,
                        static_cast<unsigned long long>(mixer::Underruns() - underruns));
            std::fflush(stdout);
            nextReport += 60.0;
        }
        SDL_Delay(16);
    }
    std::printf("soak: %.0f s of music, %d busy spells of 300 ms, %d frames, underruns %llu\n", Now() - start,
                busySpells, frames, static_cast<unsigned long long>(mixer::Underruns() - underruns));
    const bool clean = mixer::Underruns() == underruns;
    EndMedia();
    return clean ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "cost";
    const double seconds = argc > 2 ? std::atof(argv[2]) : what == "soak" ? 600.0 : 60.0;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "opengl", 0);
    const fs::path work = fs::temp_directory_path() / ("lumotta_mixer_bench_" + std::to_string(getpid()));
    fs::create_directories(work);
    fs::current_path(work);
    MakeFiles();
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    const int result = what == "soak" ? Soak(seconds) : Cost(seconds);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
    return result;
}
