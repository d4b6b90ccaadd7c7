// Work done ahead on one worker thread: decoding the pictures and sounds the
// game will load soon into the decoded cache (decoded_cache.h). Jobs run one
// at a time, in the order given, except that urgent ones (the next picture
// of an animation) go before the rest. The worker reads files through the
// file layer, taking the API lock only for each read; it decodes without any
// lock a loading thread could wait for.
#pragma once

#include <functional>

namespace media::core {

void RunAhead(std::function<void()> job, bool urgent);

// Drops the jobs not yet started and waits for the running one. The calling
// thread may hold the API lock: it lets go of it for the wait.
void StopWorkAhead();

// Waits until every job given so far has run, or tells whether they have
// (for tests and benchmarks).
void WaitForWorkAhead();
bool WorkAheadDone();

}  // namespace media::core
