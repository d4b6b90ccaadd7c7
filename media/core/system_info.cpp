#include "media/core/system_info.h"

#include "media/core/log.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

namespace media::core {
namespace {

// The first value of a "key : value" line of /proc/cpuinfo.
std::string cpuInfo(const char* key) {
    FILE* f = std::fopen("/proc/cpuinfo", "r");
    if (!f) return {};
    char line[512];
    std::string value;
    const size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, keyLength) != 0) continue;
        const char* colon = std::strchr(line, ':');
        if (!colon) continue;
        value = colon + 1;
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
        while (!value.empty() && (value.back() == '\n' || value.back() == ' ')) value.pop_back();
        break;
    }
    std::fclose(f);
    return value;
}

}  // namespace

void LogSystem() {
    log::Write("Media layer version 2.24c\n");
    SDL_version linked{};
    SDL_GetVersion(&linked);
    log::Write("SDL %d.%d.%d\n", linked.major, linked.minor, linked.patch);
    utsname names{};
    if (uname(&names) == 0)
        log::Write("System: %s %s %s (%s)\n", names.sysname, names.release, names.version, names.machine);
    const std::string model = cpuInfo("model name");
    const std::string vendor = cpuInfo("vendor_id");
    const std::string clock = cpuInfo("cpu MHz");
    log::Write("Processor: %s, vendor %s, %s MHz, %d logical cores\n",
               model.empty() ? "?" : model.c_str(), vendor.empty() ? "?" : vendor.c_str(),
               clock.empty() ? "?" : clock.c_str(), SDL_GetCPUCount());
    log::Write("SIMD: %s%s%s%s\n", SDL_HasSSE2() ? "SSE2 " : "", SDL_HasAVX() ? "AVX " : "",
               SDL_HasAVX2() ? "AVX2 " : "", SDL_HasNEON() ? "NEON " : "");
    struct sysinfo memory {};
    if (sysinfo(&memory) == 0) {
        const double unit = static_cast<double>(memory.mem_unit);
        log::Write("メモリ総量:%.2fMB  空きメモリ領域:%.2fMB \n",
                   memory.totalram * unit / (1024.0 * 1024.0),
                   (memory.freeram + memory.bufferram) * unit / (1024.0 * 1024.0));
    }
    log::Write("パフォーマンスカウンターを使用します タイマー分解能 : %lf KHz \n",
               static_cast<double>(SDL_GetPerformanceFrequency()) / 1000.0);
}

void LogVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    log::Write("Video driver: %s\n", driver ? driver : "?");
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
        log::Write("Desktop: %dx%d, %d bits, %d Hz, %d display(s)\n", mode.w, mode.h,
                   static_cast<int>(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate,
                   SDL_GetNumVideoDisplays());
}

}  // namespace media::core
