// The wall crawlers (11, 14, 15): they run along the faces of blocks, turning
// a quarter turn at a block ahead and the other way round a corner. Which way
// they turn is decided by the turn tests below: for each direction three
// tests, each a point that must be solid and two that must be empty; every
// test that holds sets the new direction and pose, a later one overriding an
// earlier one.
#include "game/play/actor_kinds.h"
#include "game/play/actor_rules.h"

namespace {

struct Offset {
    int8_t dx, dy;
};

struct TurnTest {
    Offset solid, empty1, empty2;
    int8_t phase, pose;
};

using TurnTable = TurnTest[4][3];  // by direction: 0 right, 1 up, 2 left, 3 down

constexpr TurnTable kTurns = {
    // right
    {{{-13, -3}, {-12, -3}, {12, -3}, 3, 1},
     {{-13, -29}, {-12, -29}, {13, -29}, 1, 0},
     {{13, -16}, {12, -29}, {-12, -29}, 1, 0}},
    // up
    {{{13, -3}, {13, -4}, {13, -28}, 0, 0},
     {{-13, -3}, {-13, -4}, {-13, -28}, 2, 1},
     {{0, -29}, {-13, -4}, {-13, -28}, 2, 1}},
    // left
    {{{13, -29}, {12, -29}, {-12, -29}, 1, 0},
     {{13, -3}, {-12, -3}, {12, -3}, 3, 1},
     {{-13, -16}, {12, -3}, {-12, -3}, 3, 1}},
    // down
    {{{-13, -29}, {-13, -28}, {-13, -3}, 2, 1},
     {{13, -29}, {13, -4}, {13, -28}, 0, 0},
     {{0, -3}, {13, -4}, {13, -28}, 0, 0}},
};

// The fast crawler looks a little closer in.
constexpr TurnTable kFastTurns = {
    {{{-13, -3}, {-11, -3}, {11, -3}, 3, 1},
     {{-13, -29}, {-11, -29}, {11, -29}, 1, 0},
     {{13, -16}, {11, -29}, {-11, -29}, 1, 0}},
    {{{13, -3}, {13, -5}, {13, -28}, 0, 0},
     {{-13, -3}, {-13, -5}, {-13, -28}, 2, 1},
     {{0, -29}, {-13, -4}, {-13, -27}, 2, 1}},
    {{{13, -29}, {11, -29}, {-11, -29}, 1, 0},
     {{13, -3}, {-11, -3}, {11, -3}, 3, 1},
     {{-13, -16}, {11, -3}, {-11, -3}, 3, 1}},
    {{{-13, -29}, {-13, -27}, {-13, -3}, 2, 1},
     {{13, -29}, {13, -4}, {13, -27}, 0, 0},
     {{0, -3}, {13, -5}, {13, -28}, 0, 0}},
};

struct Crawler {
    int16_t kind;
    double step;
    const TurnTable* turns;
    bool turnsOnWholePixels;
};

constexpr Crawler kCrawlers[] = {
    {11, 1.0, &kTurns, false},
    {14, 2.0, &kFastTurns, false},
    {15, 0.5, &kTurns, true},
};

const Crawler* crawlerOf(int kind) {
    for (const Crawler& c : kCrawlers)
        if (c.kind == kind) return &c;
    return nullptr;
}

bool solidAt(const Actor& a, Offset o) { return solidAtPoint(a.x + o.dx, a.y + o.dy); }

void applyTurnTests(Actor& a, const TurnTable& table) {
    const int direction = a.phase;
    for (const TurnTest& test : table[direction]) {
        if (solidAt(a, test.solid) && !solidAt(a, test.empty1) && !solidAt(a, test.empty2)) {
            a.phase = test.phase;
            a.pose = test.pose;
        }
    }
}

void crawl(Actor& a, double step) {
    switch (a.phase) {
        case 0: stepX(a, step); break;
        case 1: a.y -= step; break;
        case 2: stepX(a, -step); break;
        case 3: a.y += step; break;
        default: break;
    }
}

}  // namespace

void updateWallCrawler(int slot) {
    Actor& a = actorAt(slot);
    const Crawler* crawler = crawlerOf(a.kind);
    if (!crawler) return;
    a.timer += 1;
    setHitBox(a, 8, 25, 6);
    crawl(a, crawler->step);
    const bool onWholePixels = static_cast<int>(a.x * 10) % 10 == 0 &&
                               static_cast<int>(a.y * 10) % 10 == 0;
    if (a.phase >= 0 && a.phase <= 3 && (!crawler->turnsOnWholePixels || onWholePixels))
        applyTurnTests(a, *crawler->turns);
    if (ageAndExpire(a)) return;
    knockedOut(a);
}
