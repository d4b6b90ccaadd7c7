#include "media/core/decoded_cache.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>
#include <unordered_map>

#include <unistd.h>

namespace media::cache {
namespace {

constexpr size_t kDefaultBudgetMb = 256;
constexpr size_t kMostBudgetMb = size_t{1} << 20;
// Pictures decoded ahead of a run stay until they are found (at most this
// many), whatever the budget: the next frame wants them.
constexpr size_t kPinned = 8;

struct Entry {
    Key key;
    Value value;
    size_t size = 0;
    bool ahead = false;   // decoded ahead of a run and not found yet
};

// A decode the worker has announced: loads of its key wait for it.
struct Flight {
    int id;
    const Key* key;
    pid_t owner;   // a forked child has no worker to wait for
};

struct Cache {
    std::mutex mutex;
    std::condition_variable landed;
    std::list<Entry> entries;   // most recently used first
    std::unordered_multimap<uint64_t, std::list<Entry>::iterator> index;
    std::vector<Flight> flights;
    std::vector<Value> pinned;  // decoded ahead of a run and not found yet, oldest first
    // Values let go of, destroyed outside the lock on a thread that loads
    // (a picture's textures belong to the thread that draws).
    std::vector<Value> graveyard;
    int waiting = 0;            // loads waiting for an announced decode
    size_t held = 0;
    size_t budget = kDefaultBudgetMb << 20;
    int nextFlight = 1;
};

Cache gCache;
std::atomic<void (*)()> gDecodeStartHook{nullptr};

uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

// Only the index uses the hash (entries are told apart by comparing their
// bytes in full), so it looks at a sample: the length, the first and last
// 256 bytes and 16 blocks of 64 spread between them. Files of one format
// and size differ somewhere in their samples; where they do not, a lookup
// compares a few more of them.
uint64_t HashBytes(const uint8_t* data, size_t size, uint64_t seed) {
    constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    uint64_t h = Mix(seed ^ size);
    const auto take = [&](size_t from, size_t count) {
        for (size_t at = from; at < from + count; at += 8) {
            uint64_t word = 0;
            std::memcpy(&word, data + at, std::min<size_t>(8, from + count - at));
            h = (h ^ word) * kPrime;
            h ^= h >> 29;
        }
    };
    constexpr size_t kEnds = 256, kBlock = 64, kBlocks = 16;
    if (size <= 2 * kEnds + kBlocks * kBlock) {
        take(0, size);
    } else {
        take(0, kEnds);
        const size_t middle = size - 2 * kEnds - kBlock;
        for (size_t i = 0; i < kBlocks; ++i) take(kEnds + middle * i / (kBlocks - 1), kBlock);
        take(size - kEnds, kEnds);
    }
    return Mix(h);
}

size_t EntrySize(const Entry& e) { return e.size + e.key.bytes.size() + e.key.extra.size(); }

bool InUse(const Value& value) { return value.use_count() > 1; }

std::list<Entry>::iterator Erase(Cache& c, std::list<Entry>::iterator it) {
    auto [first, last] = c.index.equal_range(it->key.hash());
    for (auto i = first; i != last; ++i)
        if (i->second == it) {
            c.index.erase(i);
            break;
        }
    c.held -= EntrySize(*it);
    c.graveyard.push_back(std::move(it->value));
    return c.entries.erase(it);
}

// The least recently used entries nobody holds go until the budget is met.
void EvictOverBudget(Cache& c) {
    auto it = c.entries.end();
    while (c.held > c.budget && it != c.entries.begin()) {
        --it;
        if (!InUse(it->value)) it = Erase(c, it);
    }
}

// Destroys what was let go of; called without the lock.
void Bury() {
    std::vector<Value> dead;
    {
        std::lock_guard<std::mutex> hold(gCache.mutex);
        dead.swap(gCache.graveyard);
    }
}

std::list<Entry>::iterator Lookup(Cache& c, const Key& key) {
    auto [first, last] = c.index.equal_range(key.hash());
    for (auto i = first; i != last; ++i)
        if (i->second->key == key) return i->second;
    return c.entries.end();
}

bool KnownLocked(Cache& c, const Key& key) {
    auto [first, last] = c.index.equal_range(key.hash());
    for (auto i = first; i != last; ++i)
        if (i->second->key.SameFile(key)) return true;
    return false;
}

template <typename Match>
bool Flying(const Cache& c, Match match) {
    if (c.flights.empty()) return false;
    const pid_t self = getpid();
    return std::any_of(c.flights.begin(), c.flights.end(),
                       [&](const Flight& f) { return f.owner == self && match(*f.key); });
}

void Insert(Cache& c, Key&& key, Value value, size_t size) {
    auto existing = Lookup(c, key);
    if (existing != c.entries.end()) Erase(c, existing);
    const uint64_t hash = key.hash();
    c.entries.push_front(Entry{std::move(key), std::move(value), size});
    c.index.emplace(hash, c.entries.begin());
    c.held += EntrySize(c.entries.front());
}

}  // namespace

void Key::Seal() {
    uint64_t seed = static_cast<uint64_t>(kind) * 0x100000001B3ull ^ settings;
    hash_ = HashBytes(bytes.data(), bytes.size(), Mix(seed));
}

bool Key::SameFile(const Key& other) const {
    return hash_ == other.hash_ && kind == other.kind && settings == other.settings &&
           bytes.size() == other.bytes.size() &&
           (bytes.empty() || std::memcmp(bytes.data(), other.bytes.data(), bytes.size()) == 0);
}

bool Key::operator==(const Key& other) const {
    if (hasExtra != other.hasExtra || extra.size() != other.extra.size()) return false;
    if (!extra.empty() && std::memcmp(extra.data(), other.extra.data(), extra.size()) != 0) return false;
    return SameFile(other);
}

void Start() {
    std::lock_guard<std::mutex> hold(gCache.mutex);
    size_t mb = kDefaultBudgetMb;
    if (const char* wish = std::getenv("LUMOTTA_CACHE_MB")) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(wish, &end, 10);
        if (end != wish && *end == '\0') mb = static_cast<size_t>(std::min<unsigned long long>(value, kMostBudgetMb));
    }
    gCache.budget = mb << 20;
}

void Forget(Kind kind) {
    {
        std::lock_guard<std::mutex> hold(gCache.mutex);
        for (auto it = gCache.entries.begin(); it != gCache.entries.end();)
            it = it->key.kind == kind ? Erase(gCache, it) : std::next(it);
        for (Value& pin : gCache.pinned) gCache.graveyard.push_back(std::move(pin));
        gCache.pinned.clear();
    }
    Bury();
}

size_t BudgetBytes() {
    std::lock_guard<std::mutex> hold(gCache.mutex);
    return gCache.budget;
}

size_t HeldBytes() {
    std::lock_guard<std::mutex> hold(gCache.mutex);
    return gCache.held;
}

int Entries() {
    std::lock_guard<std::mutex> hold(gCache.mutex);
    return static_cast<int>(gCache.entries.size());
}

Value Find(const Key& key, bool* aheadOfRun) {
    Value found;
    if (aheadOfRun) *aheadOfRun = false;
    {
        std::unique_lock<std::mutex> hold(gCache.mutex);
        EvictOverBudget(gCache);
        for (;;) {
            auto it = Lookup(gCache, key);
            if (it != gCache.entries.end()) {
                gCache.entries.splice(gCache.entries.begin(), gCache.entries, it);
                found = it->value;
                if (aheadOfRun) *aheadOfRun = it->ahead;
                if (it->ahead) {
                    it->ahead = false;
                    auto pin = std::find(gCache.pinned.begin(), gCache.pinned.end(), found);
                    if (pin != gCache.pinned.end()) gCache.pinned.erase(pin);
                }
                break;
            }
            if (!Flying(gCache, [&](const Key& k) { return k == key; })) break;
            ++gCache.waiting;
            gCache.landed.wait(hold);
            --gCache.waiting;
        }
    }
    Bury();
    return found;
}

bool KnownFile(const Key& key) {
    std::unique_lock<std::mutex> hold(gCache.mutex);
    const auto landed = [&] { return !Flying(gCache, [&](const Key& k) { return k.SameFile(key); }); };
    if (!landed()) {
        ++gCache.waiting;
        gCache.landed.wait(hold, landed);
        --gCache.waiting;
    }
    return KnownLocked(gCache, key);
}

bool Keep(Key key, Value value, size_t size) {
    {
        std::lock_guard<std::mutex> hold(gCache.mutex);
        if (!value || gCache.budget == 0) return false;
        Insert(gCache, std::move(key), std::move(value), size);
        EvictOverBudget(gCache);
    }
    Bury();
    return true;
}

void Trim() {
    {
        std::lock_guard<std::mutex> hold(gCache.mutex);
        EvictOverBudget(gCache);
    }
    Bury();
}

bool BeginDecode(const Key& key, int& flight, bool wanted) {
    {
        std::lock_guard<std::mutex> hold(gCache.mutex);
        if (Lookup(gCache, key) != gCache.entries.end()) return false;
        // Decoding ahead what may be wanted makes no sense once the budget
        // is spent: it would only push out what was decoded before.
        if (!wanted && gCache.held + key.bytes.size() > gCache.budget) return false;
        if (Flying(gCache, [&](const Key& k) { return k == key; })) return false;
        flight = gCache.nextFlight++;
        gCache.flights.push_back(Flight{flight, &key, getpid()});
    }
    if (void (*hook)() = gDecodeStartHook.load()) hook();
    return true;
}

void SetDecodeStartHook(void (*hook)()) { gDecodeStartHook = hook; }

int Waiting() {
    std::lock_guard<std::mutex> hold(gCache.mutex);
    return gCache.waiting;
}

void EndDecode(int flight, Key&& key, Value value, size_t size, bool aheadOfRun) {
    {
        std::lock_guard<std::mutex> hold(gCache.mutex);
        // The flight points at key: it goes before key is moved from.
        gCache.flights.erase(std::remove_if(gCache.flights.begin(), gCache.flights.end(),
                                            [&](const Flight& f) { return f.id == flight; }),
                             gCache.flights.end());
        if (value) {
            if (aheadOfRun) {
                if (gCache.pinned.size() >= kPinned) {
                    gCache.graveyard.push_back(std::move(gCache.pinned.front()));
                    gCache.pinned.erase(gCache.pinned.begin());
                }
                gCache.pinned.push_back(value);
            }
            // Evicting waits for a thread that loads: that one destroys.
            Insert(gCache, std::move(key), std::move(value), size);
            gCache.entries.front().ahead = aheadOfRun;
        }
    }
    gCache.landed.notify_all();
}

std::vector<Value> Values(Kind kind) {
    std::lock_guard<std::mutex> hold(gCache.mutex);
    std::vector<Value> out;
    for (const Entry& e : gCache.entries)
        if (e.key.kind == kind) out.push_back(e.value);
    return out;
}

}  // namespace media::cache
