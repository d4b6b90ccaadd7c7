// drawActors: every live actor once, in slot order, anchored at its feet.
#include "game/play/draw_quad.h"
#include "game/play/play_pictures.h"
#include "game/play/play_render.h"
#include "game/state/globals.h"

namespace {

constexpr int kCell = 32;

// One sheet cell at the actor's feet.
void cell(const Actor& a, int row, int index, int flip, int angle = 0) {
    drawAnchored(sheetCell(row, index), a.x, a.y, kCell, kCell, flip, angle);
}

// A single picture at its own size at the actor's feet.
void single(const Actor& a, int handle, int flip) {
    const PictureSize size = pictureSize(handle);
    drawAnchored(handle, a.x, a.y, size.w, size.h, flip);
}

int spin(const Actor& a) { return (10 * a.timer) % 360; }

// Kinds 11, 14 and 15 cling to a face: the phase says which one, the pose
// which way round they go.
void drawCrawler(const Actor& a, int row, int period) {
    const int t = a.timer, p = a.phase, ps = a.pose;
    if (p == 10) {
        if (a.kind != 14) cell(a, row, 12, 0);  // kind 14 has no knocked-out pose
        return;
    }
    int angle = 0, flip = 0;
    switch (p) {
        case 0: angle = ps != 0 ? 180 : 0; flip = ps == 0; break;
        case 1: angle = ps == 1 ? 90 : 270; flip = ps != 1; break;
        case 2: angle = ps != 0 ? 180 : 0; flip = ps != 0; break;
        case 3: angle = ps != 0 ? 90 : 270; flip = ps != 0; break;
        default: return;
    }
    cell(a, row, (t / period) % 12, flip, angle);
}

// The walkers and fliers that share one layout: a walk cycle, a pause
// picture, a knocked-out picture and a mark drawn over it in phase 10.
struct CreatureSheet {
    int row;
    int period;      // ticks per walk picture
    int frames;      // walk pictures
    int pause;       // cell while frame != 0
    int knockedOut;  // cell from phase 3 on
    int mark;        // cell drawn over in phase 10, -1 for none
};

void drawCreature(const Actor& a, const CreatureSheet& s, int flip) {
    const int t = a.timer;
    int index;
    if (a.phase > 2)
        index = s.knockedOut;
    else if (a.frame != 0)
        index = s.pause;
    else
        index = (t / s.period) % s.frames;
    cell(a, s.row, index, flip);
    if (a.phase == 10 && s.mark >= 0) cell(a, s.row, s.mark, flip);
}

void drawActor(const Actor& a) {
    const int t = a.timer, p = a.phase, f = a.facing;
    switch (a.kind) {
        case kKindKey:
            single(a, sheetCell(sheet::kKeyFrames, (t / 6) % 8), f);
            return;
        case kKindExit:
            if (p == 0) single(a, sheetCell(sheet::kExitDoors, 0), f);
            if (p == 1 || p == 10) single(a, sheetCell(sheet::kExitDoors, 1), f);
            return;
        case 11: drawCrawler(a, sheet::k02, 8); return;
        case 14: drawCrawler(a, sheet::k19, 4); return;
        case 15: drawCrawler(a, sheet::k20, 12); return;
        case 12:
            // Its knocked-out cells lie beyond the part of the sheet that is
            // loaded, so from phase 3 on only the mark of phase 10 shows.
            if (p <= 2) cell(a, sheet::k03, a.frame != 0 ? 8 : (t / 8) % 8, f);
            if (p == 10) cell(a, sheet::k03, 9, f);
            return;
        case 13: {
            const int flip = 1 - f;
            switch (p) {
                case 0: case 1: cell(a, sheet::k04, (t / 8) % 4, flip); break;
                case 2: cell(a, sheet::k04, (t / 2) % 4, flip); break;
                case 3: case 4: cell(a, sheet::k04, 0, flip); break;
                case 5: cell(a, sheet::k04, 4, flip); break;
                case 6: cell(a, sheet::k04, 9, flip, spin(a)); break;
                case 10: cell(a, sheet::k04, 9, flip); break;
                default: break;
            }
            return;
        }
        case 16: drawCreature(a, {sheet::k21, 4, 8, 8, 5 + (t / 5) % 5, 9}, f); return;
        // Kind 17 borrows kind 16's knocked-out pictures.
        case 17:
            if (p > 2) {
                cell(a, sheet::k21, 5 + (t / 5) % 5, f);
                if (p == 10) cell(a, sheet::k22, 9, f);
            } else {
                drawCreature(a, {sheet::k22, 12, 8, 8, 0, -1}, f);
            }
            return;
        case 18: case 19:
            drawCreature(a, {sheet::k10, 8, 4, 4, 4, 5}, a.kind == 18 ? 1 : 0); return;
        case 20: case 21:
            drawCreature(a, {sheet::k23, 4, 4, 4, 4, 5}, a.kind == 20 ? 1 : 0); return;
        case 22: case 23:
            drawCreature(a, {sheet::k24, 12, 4, 4, 4, 5}, a.kind == 22 ? 1 : 0); return;
        case 24: drawCreature(a, {sheet::k05, 8, 4, 4, 5, -1}, 1 - f); return;
        case 25: drawCreature(a, {sheet::k17, 4, 4, 4, 5, -1}, 1 - f); return;
        case 26: drawCreature(a, {sheet::k18, 12, 4, 4, 5, -1}, 1 - f); return;
        case 27: case 28: {
            const int flip = a.kind == 28 ? 1 : 0;
            if (p == 0) cell(a, sheet::k06, (t / 8) % 4, flip);
            if (p == 10) cell(a, sheet::k06, 0, flip);
            return;
        }
        case 29:
            if (p != 0) return;
            additive(128);
            cell(a, sheet::k07, (t / 4) % 3, f);
            opaque();
            return;
        case 30: case 31: {
            const int row = a.kind == 30 ? sheet::k08 : sheet::k09;
            if (p == 0) cell(a, row, (t / 8) % 4, f);
            if (p == 1) {
                // Half size, standing on the same feet.
                drawQuad(static_cast<int>(a.x), static_cast<int>(a.y - kCell / 2 + kCell / 4 + 1),
                         kCell / 2, kCell / 2, 0, 0, 0, sheetCell(row, 4), 1, f);
            }
            if (p == 10) cell(a, row, 5, f);
            if (p == 6 && a.kind == 31) cell(a, row, 5, f, spin(a));
            return;
        }
        case 32: {
            const int flip = 1 - f;
            switch (p) {
                case 0: cell(a, sheet::k11, (t / 8) % 6, flip); break;
                case 1: cell(a, sheet::k11, t > 19 ? 7 : 6, flip); break;
                case 2: cell(a, sheet::k11, 0, flip); break;
                case 5: cell(a, sheet::k11, 8, flip); break;
                case 6: cell(a, sheet::k11, 9, flip, spin(a)); break;
                default: break;
            }
            return;
        }
        case 33:
            // The flame's pictures run on from its own sheet into the next.
            additive(255);
            cell(a, sheet::k12, t / 2, f);
            opaque();
            return;
        case 34: {
            const int flip = 1 - f;
            switch (p) {
                case 0: cell(a, sheet::k13, (t / 8) % 4, flip); break;
                case 1: cell(a, sheet::k13, t > 19 ? 5 : 4, flip); break;
                case 2: case 5: cell(a, sheet::k13, 0, flip); break;
                case 10: cell(a, sheet::k13, 6, flip); break;
                default: break;
            }
            return;
        }
        case 35: case 36: case 37: case 38: case 39: case 40:
            cell(a, sheet::k14, 0, f);
            return;
        case kKindHomingBonus:
            if (p == 0) cell(a, sheet::k15, (t / 2) % 2, f);
            if (p == 10) cell(a, sheet::k15, (t / 2) % 2, f, spin(a));
            return;
        case 42: case 43: case 44: case 45: case 46: case 47: case 48: case 49:
            cell(a, sheet::k16, a.kind - 42, f);
            return;
        case 50:
            single(a, sheetCell(sheet::k17Png, 0), f);
            return;
        default:
            return;
    }
}

}  // namespace

void drawActors() {
    for (const Actor& a : game.actors)
        if (a.live == 1) drawActor(a);
}
