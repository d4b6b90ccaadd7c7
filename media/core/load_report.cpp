#include "media/core/load_report.h"

#include "media/core/log.h"

#include <chrono>

namespace media::report {
namespace {

using Clock = std::chrono::steady_clock;

bool gOpen = false;
Clock::time_point gBegin, gLast;
Counts gPictures, gSounds;
Counts gAllPictures, gAllSounds;

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
