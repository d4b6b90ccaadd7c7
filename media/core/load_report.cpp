#include "media/core/load_report.h"

#include "media/core/log.h"

#include <chrono>
#include <set>
#include <string>

namespace media::report {
namespace {

using Clock = std::chrono::steady_clock;

bool gOpen = false;
Clock::time_point gBegin, gLast;
Counts gPictures, gSounds;
Counts gAllPictures, gAllSounds;
std::set<std::string> gNamedFailures;

void Count(Counts& c, Outcome outcome) {
    switch (outcome) {
    case Outcome::Reused: ++c.reused; break;
    case Outcome::Decoded: ++c.decoded; break;
    case Outcome::Streamed: ++c.streamed; break;
    case Outcome::Failed: ++c.failed; break;
    }
}

}  // namespace

void SceneChangeBegins() {
    if (gOpen) return;
    gOpen = true;
    gBegin = gLast = Clock::now();
    gPictures = gSounds = Counts{};
}

void NoteLoad(cache::Kind kind, Outcome outcome) {
    const bool picture = kind == cache::Kind::Picture;
    Count(picture ? gAllPictures : gAllSounds, outcome);
    if (!gOpen) return;
    Count(picture ? gPictures : gSounds, outcome);
    gLast = Clock::now();
}

void NoteFailedLoad(cache::Kind kind, const char* fileName, bool missing) {
    NoteLoad(kind, Outcome::Failed);
    const bool picture = kind == cache::Kind::Picture;
    const std::string name = fileName ? fileName : "";
    if (!gNamedFailures.insert((picture ? "p:" : "s:") + name).second) return;
    log::Fail("The %s file %s of the game data %s\n", picture ? "picture" : "sound", name.c_str(),
              missing ? "is missing" : "could not be read (damaged or of a kind the game does not know)");
}

void ForgetNamedFailures() { gNamedFailures.clear(); }

Counts Totals(cache::Kind kind) { return kind == cache::Kind::Picture ? gAllPictures : gAllSounds; }

void SceneChangeEnds() {
    if (!gOpen) return;
    gOpen = false;
    if (gPictures.total() + gSounds.total() == 0) return;
    const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(gLast - gBegin).count());
    log::Write("Scene loaded in %ld ms: %d pictures (%d from the cache, %d decoded, %d failed), "
               "%d sounds (%d from the cache, %d decoded, %d streamed, %d failed); "
               "the cache holds %zu of %zu MB\n",
               ms, gPictures.total(), gPictures.reused, gPictures.decoded, gPictures.failed, gSounds.total(),
               gSounds.reused, gSounds.decoded, gSounds.streamed, gSounds.failed, cache::HeldBytes() >> 20,
               cache::BudgetBytes() >> 20);
}

}  // namespace media::report
