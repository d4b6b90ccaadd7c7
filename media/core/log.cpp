#include "media/core/log.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace media::log {
namespace {

std::string gPath;
uint64_t gStartTicks = 0;
int gNesting = 0;
bool gAtLineStart = true;

void Append(const std::string& text) {
    if (gPath.empty()) return;
    if (FILE* f = std::fopen(gPath.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

}  // namespace

void Open() {
    gPath = "Log.txt";
    if (FILE* f = std::fopen(gPath.c_str(), "wb")) std::fclose(f);
    gStartTicks = SDL_GetTicks64();
    gNesting = 0;
    gAtLineStart = true;
}

void Close() { gPath.clear(); }

void NestIn() { ++gNesting; }
void NestOut() { if (gNesting > 0) --gNesting; }

void Write(const char* format, ...) {
    char buffer[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);

    std::string out;
    for (const char* p = buffer; *p; ++p) {
        if (gAtLineStart) {
            out += std::to_string(SDL_GetTicks64() - gStartTicks) + ":";
            out.append(static_cast<size_t>(gNesting), '\t');
            gAtLineStart = false;
        }
        if (*p == '\n') {
            out += "\r\n";
            gAtLineStart = true;
        } else {
            out += *p;
        }
    }
    Append(out);
}

}  // namespace media::log
