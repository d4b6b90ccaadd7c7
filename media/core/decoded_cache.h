// Decoded pictures and sounds, kept after their handles are gone, so that
// loading an unchanged file again costs a lookup instead of a decode.
//
// An entry is found by what makes its result: the kind of result, the
// settings that shape it (a picture's transparent colour and load flag) and
// the bytes of the files it was decoded from, compared in full, so a file
// changed on disk never finds the old result. Only results whose decoding
// wrote nothing to the log are kept: a load that finds one logs what a
// decode of its own would have (nothing).
//
// The entries share a budget of bytes (256 MB unless LUMOTTA_CACHE_MB says
// otherwise; 0 keeps nothing beyond what handles hold); once it is exceeded,
// the least recently used entries that no handle holds go first.
//
// The worker thread (work_ahead.h) decodes into the cache too: it announces
// a decode before it starts, and a load of the same bytes meanwhile waits
// for that result instead of decoding a second time. No lock is held while
// anything is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace media::cache {

enum class Kind : uint8_t { Picture = 1, Sound = 2 };

struct Key {
    Kind kind = Kind::Picture;
    uint64_t settings = 0;
    std::vector<uint8_t> bytes;    // the file
    bool hasExtra = false;         // a second file was read with it
    std::vector<uint8_t> extra;    // that file (a picture's alpha companion)

    // Must be called once the fields are filled and before the key is used.
    void Seal();
    uint64_t hash() const { return hash_; }
    // The same kind, settings and file: everything but the second file.
    bool SameFile(const Key& other) const;
    bool operator==(const Key& other) const;

private:
    uint64_t hash_ = 0;   // of kind, settings and bytes
};

// A result: a picture's pixel store or a sound's samples. An entry is in use
// while anyone but the cache holds its value.
using Value = std::shared_ptr<void>;

// The budget, from LUMOTTA_CACHE_MB (default 256; 0 turns keeping off).
void Start();
// Forgets every entry of a kind (its area is stopping).
void Forget(Kind kind);
size_t BudgetBytes();
size_t HeldBytes();
int Entries();

// Find, KnownFile, Keep, Forget and Values are for the threads that load
// (under the API lock); values let go of are destroyed there.
//
// The value kept for exactly this key, or null. When the worker has
// announced a decode of this key, waits for its result. aheadOfRun, when
// given, tells whether the value was decoded ahead of a run (EndDecode)
// and is found for the first time.
Value Find(const Key& key, bool* aheadOfRun = nullptr);
// True when some entry was made from the same file (SameFile), whatever it
// was read with: the file is known to decode without a line for the log.
bool KnownFile(const Key& key);
// Keeps a result of `size` bytes (the key's bytes are counted as well);
// false when nothing is kept (no budget).
bool Keep(Key key, Value value, size_t size);
// Lets entries go until the budget is met again (after handles were
// released).
void Trim();

// For the worker: false when the result is kept already or under way, or
// when it is not surely wanted (a warm-up, not the next picture of a run)
// and the budget is spent; otherwise the decode is announced (key must stay as it is until then) and
// must be ended with EndDecode, with a null value when it failed or wrote to
// the log. The worker never destroys a value: a picture's textures belong to
// the thread that draws.
bool BeginDecode(const Key& key, int& flight, bool wanted);
void EndDecode(int flight, Key&& key, Value value, size_t size, bool aheadOfRun = false);

// For tests: runs on the worker right after a decode is announced, before it
// starts; and how many loads wait for an announced decode right now.
void SetDecodeStartHook(void (*hook)());
int Waiting();

// Calls f(value) for every kept value of a kind.
template <typename F>
void ForEach(Kind kind, F&& f);
std::vector<Value> Values(Kind kind);

template <typename F>
void ForEach(Kind kind, F&& f) {
    for (Value& value : Values(kind)) f(value);
}

}  // namespace media::cache
