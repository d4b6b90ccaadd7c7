#include "tools/finder/search.h"

#include "game/play/play_scene.h"
#include "game/state/globals.h"
#include "tools/finder/play_snapshot.h"
#include "tools/runner/input_script.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace finder {

namespace {

// --- Moves -------------------------------------------------------------------

enum class Needs : uint8_t { Nothing, Ground, Charge, GroundCharge, Spell };

struct Move {
    int8_t horizontal;  // held for the whole step
    int8_t vertical;    // +1: up on the first tick (a jump); -1: down held (crouch)
    int8_t button;      // 1 cast, 2 shoot, 3 spell: pressed on the first tick only
    Needs needs;
};

constexpr Move kMoves[] = {
    {0, 0, 0, Needs::Nothing},         // wait
    {-1, 0, 0, Needs::Nothing},        // walk left
    {1, 0, 0, Needs::Nothing},         // walk right
    {0, 1, 0, Needs::Ground},          // jump
    {-1, 1, 0, Needs::Ground},         // jump left
    {1, 1, 0, Needs::Ground},          // jump right
    {0, -1, 0, Needs::Ground},         // crouch
    {0, 0, 1, Needs::Nothing},         // cast ahead (in the air too)
    {-1, 0, 1, Needs::Nothing},        // turn left and cast
    {1, 0, 1, Needs::Nothing},         // turn right and cast
    {0, -1, 1, Needs::Ground},         // crouch and cast: dig or fill
    {-1, -1, 1, Needs::Ground},
    {1, -1, 1, Needs::Ground},
    {0, 0, 2, Needs::Charge},          // shoot
    {-1, 0, 2, Needs::Charge},
    {1, 0, 2, Needs::Charge},
    {0, -1, 2, Needs::GroundCharge},   // crouch and shoot
    {-1, -1, 2, Needs::GroundCharge},
    {1, -1, 2, Needs::GroundCharge},
    {0, 0, 3, Needs::Spell},           // the big spell
};
constexpr int kMoveCount = static_cast<int>(sizeof kMoves / sizeof kMoves[0]);

// Replay tick bits (see game/shell/replay.h).
constexpr uint16_t kRightBit = 1, kLeftBit = 2, kUpBit = 1 << 2, kDownBit = 2 << 2;
constexpr uint16_t buttonBit(int n) { return static_cast<uint16_t>(1u << (3 + n)); }

uint16_t firstTickInput(const Move& m) {
    uint16_t bits = 0;
    if (m.horizontal > 0) bits |= kRightBit;
    if (m.horizontal < 0) bits |= kLeftBit;
    if (m.vertical > 0) bits |= kUpBit;
    if (m.vertical < 0) bits |= kDownBit;
    if (m.button > 0) bits |= buttonBit(m.button);
    return bits;
}

// After the first tick a walk or crouch is held; a press is let go.
uint16_t heldInput(const Move& m) {
    if (m.button > 0) return 0;
    uint16_t bits = 0;
    if (m.horizontal > 0) bits |= kRightBit;
    if (m.horizontal < 0) bits |= kLeftBit;
    if (m.vertical < 0) bits |= kDownBit;
    return bits;
}

// Whether the player reads this move's first input in the coming tick: she is
// updated, not held, her lock runs out now, and a button she presses was let
// go since its last press (presses count on their first tick only).
bool readsInputNow(const Move& m) {
    const Player& p = game.players[0];
    bool running = game.freezeCounter <= 0 && (game.startCounter == 0 || game.startCounter >= 125) &&
                   game.pauseCounter == 0 && game.controlsLocked == 0;
    if (!running || p.active != 1 || p.holdTimer != 0 || p.lockTimer > 1) return false;
    return m.button == 0 || game.prevButtons[0][m.button - 1] == 0;
}

bool moveUseful(const Move& m, int step) {
    const Player& p = game.players[0];
    // Locked for the whole step: every move is a wait.
    bool locked = game.freezeCounter >= step || p.holdTimer >= step || p.lockTimer > step;
    if (locked) return m.horizontal == 0 && m.vertical == 0 && m.button == 0;
    switch (m.needs) {
    case Needs::Nothing: return true;
    case Needs::Ground: return !p.airborne;
    case Needs::Charge: return p.magic > 0;
    case Needs::GroundCharge: return !p.airborne && p.magic > 0;
    case Needs::Spell: return !p.airborne && p.magic > 2 && !p.crouching;
    }
    return false;
}

// --- Ticks -------------------------------------------------------------------

enum class Ending { None, Cleared, Lost };

Ending tick(uint16_t input) {
    game.input[0] = unpackReplayInput(input);
    game.input[1] = InputState{};
    updatePlayLogic();
    if (game.clearCounter >= 1) return Ending::Cleared;
    if (game.controlsLocked != 0) return Ending::Lost;
    return Ending::None;
}

struct MoveRun {
    Ending ending = Ending::None;
    int ticks = 0;  // ticks run (to the ending, when there is one)
};

// One move of `step` ticks; the inputs go to `record` when given.
MoveRun runMove(const Move& m, int step, std::vector<uint16_t>* record) {
    MoveRun run;
    bool acted = false;
    for (int t = 0; t < step; ++t) {
        uint16_t input = 0;
        if (acted) {
            input = heldInput(m);
        } else if (readsInputNow(m)) {
            input = firstTickInput(m);
            acted = true;
        }
        if (record) record->push_back(input);
        run.ending = tick(input);
        run.ticks = t + 1;
        if (run.ending != Ending::None) break;
    }
    return run;
}

// --- What a state is worth ---------------------------------------------------

struct Mixer {
    uint64_t h = 0x243F6A8885A308D3ull;
    void add(uint64_t v) {
        h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
};

constexpr int kKeyKind = 7, kExitKind = 8, kShotEffect = 20, kKeySparkEffect = 1;

// Two keys of a state. The coarse key: two states with the same one are
// taken for the same. The situation: where the player stands (by cell), her
// charges, the blocks, and how many creatures and items are left; states in
// one situation differ only in where the creatures are and in timers.
struct Keys {
    uint64_t coarse;
    uint64_t situation;
};

Keys stateKeys() {
    const Player& p = game.players[0];
    Mixer situation;
    situation.add(static_cast<uint64_t>(p.x / kCellSize) | static_cast<uint64_t>(static_cast<int>(p.y) / kCellSize) << 16 |
                  static_cast<uint64_t>(p.airborne) << 32 | static_cast<uint64_t>(p.magic) << 40);
    // The visible blocks, two bits a cell.
    uint64_t word = 0;
    int bits = 0;
    for (int column = 1; column <= 18; ++column)
        for (int row = 0; row < kGridRows; ++row) {
            word = word << 2 | (static_cast<uint64_t>(game.tileMap.blocks[column * kGridRows + row]) & 3);
            if ((bits += 2) == 64) {
                situation.add(word);
                word = 0;
                bits = 0;
            }
        }
    situation.add(word);
    uint64_t creatures = 0, items = 0;
    for (const Actor& a : game.actors) {
        if (a.live == 0 || a.dying) continue;
        if (a.kind == kKeyKind || a.kind >= 42) ++items;
        else if (a.kind != kExitKind) ++creatures;
    }
    situation.add(creatures | items << 16 | static_cast<uint64_t>(game.freezeCounter > 0) << 32);

    Mixer m;
    m.add(situation.h);
    m.add(static_cast<uint64_t>(p.x >> 2));
    m.add(static_cast<uint64_t>(static_cast<int>(p.y) >> 2));
    // Rising or falling, winding up or casting: the state and the speed.
    m.add(static_cast<uint64_t>(p.crouching | (p.lockTimer > 0 || p.holdTimer > 0) << 1) |
          static_cast<uint64_t>(p.state) << 8 | static_cast<uint64_t>(static_cast<int>(p.vy * 2) & 0xFFFF) << 16);
    // A freeze or a lock changes nothing but its count; coarsely, the counts
    // tell such waits apart (or a cast would look like its own future).
    m.add(static_cast<uint64_t>(std::clamp(game.freezeCounter, 0, 4095) >> 3) |
          static_cast<uint64_t>(std::max<int>(p.lockTimer, 0) >> 3) << 12 |
          static_cast<uint64_t>(std::max<int>(p.holdTimer, 0) >> 3) << 24);
    for (const Actor& a : game.actors) {
        if (a.live == 0 || a.dying) continue;
        if ((a.kind >= 27 && a.kind <= 28) || (a.kind >= 35 && a.kind <= 40))
            m.add(static_cast<uint64_t>(a.timer >> 4) << 48 | static_cast<uint64_t>(a.kind));
        m.add(static_cast<uint64_t>(a.kind) | static_cast<uint64_t>(a.phase & 0xFF) << 8 |
              static_cast<uint64_t>(static_cast<int>(a.x) >> 2 & 0xFFFF) << 16 |
              static_cast<uint64_t>(static_cast<int>(a.y) >> 2 & 0xFFFF) << 32);
    }
    for (const Actor& e : game.effects) {
        if (e.live == 0) continue;
        if (e.kind == kShotEffect)
            m.add(static_cast<uint64_t>(kShotEffect) << 40 | static_cast<uint64_t>(static_cast<int>(e.x) >> 5 & 0xFF));
        if (e.kind == kKeySparkEffect)
            m.add(static_cast<uint64_t>(kKeySparkEffect) << 40 | static_cast<uint64_t>(e.phase) << 8 |
                  static_cast<uint64_t>(static_cast<int>(e.y) >> 5 & 0xFF) << 16);
    }
    return {m.h, situation.h};
}

struct Standing {
    uint8_t progress;  // 0 the key to find, 1 the key taken, 2 the exit open
    int32_t distance;  // to what comes next: the key, or the exit
    int16_t changed;   // cells whose block differs from the start
};

// The blocks as the stage began, to count what the search has changed.
int32_t gStartBlocks[kCellCount];

Standing standing() {
    const Player& p = game.players[0];
    const Actor* key = nullptr;
    const Actor* exit = nullptr;
    for (const Actor& a : game.actors) {
        if (a.live == 0) continue;
        if (a.kind == kKeyKind) key = &a;
        if (a.kind == kExitKind) exit = &a;
    }
    double tx = p.x, ty = p.y;
    uint8_t progress = 1;
    if (key) {
        progress = 0;
        tx = key->x;
        ty = key->y;
    } else {
        for (int i = 0; i < kCellCount; ++i)
            if (game.tileMap.hiddenItems[i] == 100 + kKeyKind) {
                progress = 0;
                tx = i / kGridRows * kCellSize + 16;
                ty = i % kGridRows * kCellSize + 31;
            }
    }
    if (progress == 1 && exit) {
        if (exit->phase == 1) progress = 2;
        tx = exit->x;
        ty = exit->y;
    }
    double d = std::abs(tx - p.x) + std::abs(ty - p.y);
    int changed = 0;
    for (int i = 0; i < kCellCount; ++i) changed += game.tileMap.blocks[i] != gStartBlocks[i];
    return {progress, static_cast<int32_t>(d), static_cast<int16_t>(changed)};
}

// --- Tables that never grow --------------------------------------------------

// Open addressing over 64-bit keys (0 is never stored: it marks a free slot).
class KeyTable {
public:
    explicit KeyTable(size_t capacity) {
        size_t size = 1;
        while (size < capacity * 2) size <<= 1;
        keys_.assign(size, 0);
        values_.assign(size, 0);
        mask_ = size - 1;
    }
    // The value stored with `key`, or -1.
    int32_t find(uint64_t key) const {
        key = key ? key : 1;
        for (size_t i = key & mask_;; i = (i + 1) & mask_) {
            if (keys_[i] == key) return values_[i];
            if (keys_[i] == 0) return -1;
        }
    }
    // False when full (the key is then not remembered).
    bool insert(uint64_t key, int32_t value) {
        key = key ? key : 1;
        if (used_ * 4 >= keys_.size() * 3) return false;
        for (size_t i = key & mask_;; i = (i + 1) & mask_) {
            if (keys_[i] == key) {
                values_[i] = value;
                return true;
            }
            if (keys_[i] == 0) {
                keys_[i] = key;
                values_[i] = value;
                ++used_;
                return true;
            }
        }
    }
    void clear() {
        std::fill(keys_.begin(), keys_.end(), 0);
        used_ = 0;
    }

private:
    std::vector<uint64_t> keys_;
    std::vector<int32_t> values_;
    size_t mask_ = 0;
    size_t used_ = 0;
};

// --- The search --------------------------------------------------------------

struct Record {
    int32_t parent;  // record of the state this one came from; -1 for the start
    int32_t move;
};

struct Candidate {
    int32_t parent;  // index in the current level
    int16_t move;
    uint8_t progress;
    uint64_t group;  // the situation, with the progress
    int32_t distance;
    int16_t changed;
    int16_t magic;
    int32_t rank;    // place among the candidates of its group
    uint64_t key;
    uint64_t cell;   // the progress and the cell the player stands in
};

// The progress and the cell the player stands in.
uint64_t cellGroup(uint8_t progress) {
    const Player& p = game.players[0];
    uint64_t column = static_cast<uint64_t>(std::clamp(p.x / kCellSize, 0, kGridColumns - 1));
    uint64_t row = static_cast<uint64_t>(std::clamp(static_cast<int>(p.y) / kCellSize, 0, kGridRows - 1));
    return static_cast<uint64_t>(progress) << 32 | column << 16 | row;
}

using Clock = std::chrono::steady_clock;

}  // namespace

SearchResult search(const SearchLimits& limits, std::FILE* log) {
    const auto started = Clock::now();
    SearchResult result;
    const int width = std::max(1, limits.width);
    const int step = std::clamp(limits.step, 1, 64);
    const long maxLevels = std::max(1L, limits.ticks / step);

    // The countdown: nothing held.
    std::vector<uint16_t> countdown(input_script::kReadyTicks, 0);
    for (uint16_t input : countdown) tick(input);
    result.simulatedTicks += input_script::kReadyTicks;

    // Everything the search needs, allocated once.
    PlaySnapshot start;
    saveSnapshot(start);
    std::copy(std::begin(game.tileMap.blocks), std::end(game.tileMap.blocks), gStartBlocks);
    std::vector<PlaySnapshot> level(width), next(width);
    std::vector<int32_t> levelRecord(width), nextRecord(width);
    std::vector<Candidate> candidates;
    candidates.reserve(static_cast<size_t>(width) * kMoveCount);
    std::vector<Record> records;
    records.reserve(static_cast<size_t>(width) * (maxLevels + 1) + 1);
    long seenCapacity = limits.seenCapacity > 0 ? limits.seenCapacity
                                                : std::min(static_cast<long>(width) * maxLevels, 1L << 24);
    KeyTable seen(static_cast<size_t>(seenCapacity));
    KeyTable thisLevel(static_cast<size_t>(width) * kMoveCount);

    level[0] = start;
    records.push_back({-1, -1});
    levelRecord[0] = 0;
    int levelSize = 1;
    seen.insert(stateKeys().coarse, 0);

    struct Clear {
        int32_t parent = -1;
        int move = 0;
        long tick = 0;
    } best;

    for (long depth = 0; depth < maxLevels && levelSize > 0; ++depth) {
        const long baseTick = input_script::kReadyTicks + depth * step;
        candidates.clear();
        thisLevel.clear();
        for (int i = 0; i < levelSize; ++i) {
            restoreSnapshot(level[i]);
            bool useful[kMoveCount];
            for (int mi = 0; mi < kMoveCount; ++mi) useful[mi] = moveUseful(kMoves[mi], step);
            bool fresh = true;  // the game state is still the parent's
            for (int mi = 0; mi < kMoveCount; ++mi) {
                if (!useful[mi]) continue;
                if (!fresh) restoreSnapshot(level[i]);
                fresh = false;
                MoveRun run = runMove(kMoves[mi], step, nullptr);
                result.simulatedTicks += run.ticks;
                if (run.ending == Ending::Lost) continue;
                if (run.ending == Ending::Cleared) {
                    long at = baseTick + run.ticks;
                    if (best.parent < 0 || at < best.tick) best = {i, mi, at};
                    continue;
                }
                Keys keys = stateKeys();
                if (seen.find(keys.coarse) >= 0 || thisLevel.find(keys.coarse) >= 0) continue;
                Standing s = standing();
                thisLevel.insert(keys.coarse, static_cast<int32_t>(candidates.size()));
                candidates.push_back({i, static_cast<int16_t>(mi), s.progress, keys.situation ^ s.progress,
                                      s.distance, s.changed, game.players[0].magic, 0, keys.coarse,
                                      cellGroup(s.progress)});
            }
        }
        result.levels = depth + 1;
        if (best.parent >= 0) {
            // The moves from the start to the clear, then their inputs.
            std::vector<int> moves{best.move};
            for (int32_t r = levelRecord[best.parent]; r > 0; r = records[r].parent) moves.push_back(records[r].move);
            std::reverse(moves.begin(), moves.end());
            restoreSnapshot(start);
            result.inputs = countdown;
            for (int mi : moves) runMove(kMoves[mi], step, &result.inputs);
            result.cleared = true;
            result.clearTick = best.tick;
            break;
        }

        // Keep the new states spread over the cells: first the best of each
        // cell (nearer to what comes next, more charges), then the second...
        std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
            if (a.group != b.group) return a.group < b.group;
            if (a.distance != b.distance) return a.distance < b.distance;
            return a.key < b.key;
        });
        for (size_t c = 0; c < candidates.size(); ++c)
            candidates[c].rank = c > 0 && candidates[c - 1].group == candidates[c].group ? candidates[c - 1].rank + 1 : 0;
        // A situation that differs from a cleaner one in the same cell only by
        // blocks made on the way waits behind it: one place later per extra block.
        std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
            if (a.cell != b.cell) return a.cell < b.cell;
            return a.changed < b.changed;
        });
        for (size_t c = 0, first = 0; c < candidates.size(); ++c) {
            if (candidates[c].cell != candidates[first].cell) first = c;
            candidates[c].rank += candidates[c].changed - candidates[first].changed;
        }
        size_t keep = std::min(candidates.size(), static_cast<size_t>(width));
        std::partial_sort(candidates.begin(), candidates.begin() + static_cast<long>(keep), candidates.end(),
                          [](const Candidate& a, const Candidate& b) {
                              if (a.rank != b.rank) return a.rank < b.rank;
                              if (a.progress != b.progress) return a.progress > b.progress;
                              if (a.distance != b.distance) return a.distance < b.distance;
                              if (a.magic != b.magic) return a.magic > b.magic;
                              if (a.changed != b.changed) return a.changed < b.changed;
                              return a.key < b.key;
                          });
        for (size_t c = 0; c < keep; ++c) {
            const Candidate& cand = candidates[c];
            seen.insert(cand.key, 0);
            restoreSnapshot(level[cand.parent]);
            result.simulatedTicks += runMove(kMoves[cand.move], step, nullptr).ticks;
            saveSnapshot(next[c]);
            records.push_back({levelRecord[cand.parent], cand.move});
            nextRecord[c] = static_cast<int32_t>(records.size() - 1);
        }
        std::swap(level, next);
        std::swap(levelRecord, nextRecord);
        levelSize = static_cast<int>(keep);
        result.states += static_cast<long>(keep);

        double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
        if (log && (depth + 1) % std::max(1, limits.logEvery) == 0) {
            int bestProgress = 0;
            for (size_t c = 0; c < keep; ++c) bestProgress = std::max<int>(bestProgress, candidates[c].progress);
            std::fprintf(log, "tick %ld: %d states (of %zu new), furthest %s, %.0f s\n",
                         baseTick + step, levelSize, candidates.size(),
                         bestProgress == 0 ? "before the key" : bestProgress == 1 ? "key taken" : "exit open",
                         elapsed);
        }
        if (elapsed > limits.seconds) {
            result.stoppedByClock = true;
            break;
        }
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return result;
}

std::string scriptText(const std::vector<uint16_t>& inputs, const ReplayStart& start) {
    std::string text = "stage " + std::to_string(start.stage) + "\n";
    if (start.magic > 0) text += "charges " + std::to_string(start.magic) + "\n";
    if (start.noTimeLimit) text += "no-time-limit\n";
    size_t i = 0;
    const size_t ready = static_cast<size_t>(input_script::kReadyTicks);
    if (inputs.size() >= ready &&
        std::all_of(inputs.begin(), inputs.begin() + static_cast<long>(ready), [](uint16_t v) { return v == 0; })) {
        text += "ready\n";
        i = ready;
    }
    static const char* const kButtonWords[] = {"cast", "shoot", "spell", "pause"};
    while (i < inputs.size()) {
        size_t j = i;
        while (j < inputs.size() && inputs[j] == inputs[i]) ++j;
        uint16_t bits = inputs[i];
        std::string line;
        auto word = [&](const char* w) { line += line.empty() ? w : std::string(" ") + w; };
        if (bits & kLeftBit) word("left");
        if (bits & kRightBit) word("right");
        if (bits & kUpBit) word("up");
        if (bits & kDownBit) word("down");
        for (int b = 0; b < 4; ++b)
            if (bits & buttonBit(b + 1)) word(kButtonWords[b]);
        if (line.empty()) line = "wait";
        text += line + " " + std::to_string(j - i) + "\n";
        i = j;
    }
    return text;
}

}  // namespace finder
