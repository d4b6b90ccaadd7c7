// The witch: every picture number the player drawing uses, composed from the
// bands of content/art/witch.txt. Pictures face right (the game mirrors them
// for facing left) and stand with their feet on the bottom row of a 40x40
// picture whose centre is the player's x.
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"
#include "tools/artgen/sprite_kit.h"

#include <algorithm>
#include <string>

namespace artgen {

namespace {

enum Wand { NoWand, WandForward, WandUp, WandDown };
enum Extra : unsigned {
    None = 0,
    GlowSmall = 1,    // a spark on the wand's tip
    GlowBig = 2,      // a bright flare on the wand's tip
    Dizzy = 4,        // stars circling over the head
    DizzyAlt = 8,     // the same stars a quarter turn on
    HoldKey = 16,     // the key held up high
    Sparkles = 32,    // little glints around her
    SparklesAlt = 64,
    Sweat = 128,
};

struct Pose {
    const char* hat = "hat";
    const char* head = "head";
    const char* body = "body";
    const char* legs = "legs";
    int upperDy = 0;   // hat, head and body move down together (crouching, bobbing)
    int hatDy = 0;     // the hat alone (a hop of the hat)
    int legsDx = 0;
    int rise = 0;      // the whole figure lifted off the ground
    double turn = 0;   // degrees clockwise, the figure turned about its middle and put back on the ground
    Wand wand = NoWand;
    unsigned extras = None;
};

constexpr int kFigureW = 24, kFigureH = 40;  // the bands' frame, 8 spare rows above the hat
constexpr int kTop = 8;

Canvas compose(const PixelMaps& maps, const Pose& p) {
    Canvas fig(kFigureW, kFigureH);
    const Canvas& legs = maps.sprite(p.legs);
    const Canvas& body = maps.sprite(p.body);
    const Canvas& head = maps.sprite(p.head);
    const Canvas& hat = maps.sprite(p.hat);
    fig.draw(legs, p.legsDx, kFigureH - legs.height());
    const int bodyY = kTop + 20 + p.upperDy;
    fig.draw(body, 0, bodyY);
    fig.draw(head, 0, kTop + 13 + p.upperDy);
    fig.draw(hat, 0, kTop + p.upperDy + p.hatDy);

    const Rgba stick = pal(maps, 'o'), ink = pal(maps, 'K');
    int tipX = -1, tipY = -1;
    if (p.wand == WandForward) {
        // hand at column 17, row 1 of the casting body
        fig.pixelLine(18, bodyY + 1, 21, bodyY - 1, stick);
        fig.set(18, bodyY + 2, ink);
        tipX = 22, tipY = bodyY - 2;
    } else if (p.wand == WandUp) {
        // hand at column 15, row 0 of the raised body
        fig.pixelLine(15, bodyY - 1, 17, bodyY - 5, stick);
        tipX = 17, tipY = bodyY - 6;
    } else if (p.wand == WandDown) {
        fig.pixelLine(15, bodyY + 4, 18, bodyY + 6, stick);
    }
    if (tipX >= 0) {
        const Canvas& star = maps.sprite("wand_star");
        fig.draw(star, tipX - 2, tipY - 2);
    }
    return fig;
}

// Light that does not belong to the figure's outline: drawn after turning.
void addExtras(Canvas& pic, const PixelMaps& maps, const Pose& p, int tipX, int tipY) {
    const Rgba yellow = pal(maps, 'Y'), white = pal(maps, 'W'), cyan = pal(maps, 'C');
    if ((p.extras & (GlowSmall | GlowBig)) && tipX >= 0) {
        const int r = (p.extras & GlowBig) ? 4 : 2;
        for (int i = -r; i <= r; ++i) {
            pic.blend(tipX + i, tipY, withAlpha(white, 255 - 30 * std::abs(i)));
            pic.blend(tipX, tipY + i, withAlpha(white, 255 - 30 * std::abs(i)));
        }
        if (p.extras & GlowBig) {
            pic.blend(tipX - 2, tipY - 2, yellow), pic.blend(tipX + 2, tipY - 2, yellow);
            pic.blend(tipX - 2, tipY + 2, yellow), pic.blend(tipX + 2, tipY + 2, yellow);
        }
    }
    if (p.extras & (Dizzy | DizzyAlt)) {
        const int y = 8 + p.upperDy;
        const bool alt = p.extras & DizzyAlt;
        const int xs[2] = {alt ? 14 : 11, alt ? 25 : 28};
        const int ys[2] = {alt ? y + 2 : y, alt ? y : y + 2};
        for (int i = 0; i < 2; ++i) {
            pic.set(xs[i], ys[i], yellow);
            pic.set(xs[i] - 1, ys[i], yellow), pic.set(xs[i] + 1, ys[i], yellow);
            pic.set(xs[i], ys[i] - 1, yellow), pic.set(xs[i], ys[i] + 1, yellow);
        }
    }
    if (p.extras & HoldKey) {
        const Canvas& key = maps.sprite("key_small");
        pic.draw(key, 22, std::max(0, 6 + p.upperDy - p.rise));
    }
    if (p.extras & (Sparkles | SparklesAlt)) {
        const bool alt = p.extras & SparklesAlt;
        const int pts[3][2] = {{alt ? 6 : 4, alt ? 12 : 18}, {alt ? 33 : 35, alt ? 20 : 10}, {alt ? 30 : 8, alt ? 4 : 6}};
        for (const auto& q : pts) {
            pic.set(q[0], q[1], white);
            pic.set(q[0] - 1, q[1], cyan), pic.set(q[0] + 1, q[1], cyan);
            pic.set(q[0], q[1] - 1, cyan), pic.set(q[0], q[1] + 1, cyan);
        }
    }
    if (p.extras & Sweat) {
        pic.set(27, 21 + p.upperDy, pal(maps, 'L'));
        pic.set(27, 22 + p.upperDy, pal(maps, 'c'));
    }
}

Canvas playerPicture(const PixelMaps& maps, const Pose& p) {
    Canvas fig = compose(maps, p);
    int tipX = -1, tipY = -1;
    const int bodyY = kTop + 20 + p.upperDy;
    if (p.wand == WandForward) tipX = 22, tipY = bodyY - 2;
    if (p.wand == WandUp) tipX = 17, tipY = bodyY - 6;

    Canvas pic(40, 40);
    if (p.turn == 0) {
        pic.draw(fig, 8, 40 - kFigureH - p.rise);
        if (tipX >= 0) tipX += 8, tipY += 40 - kFigureH - p.rise;
    } else {
        // Turn about the figure's middle, then stand the result on the ground.
        int x0 = kFigureW, y0 = kFigureH, x1 = 0, y1 = 0;
        for (int y = 0; y < kFigureH; ++y)
            for (int x = 0; x < kFigureW; ++x)
                if (fig.get(x, y).a) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        const Canvas body = cropped(fig, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
        Canvas big(48, 48);
        big.draw(body, (48 - body.width()) / 2, (48 - body.height()) / 2);
        Canvas turned = rotated(big, p.turn, 48, 48);
        int bottom = 0, left = 48, right = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                if (turned.get(x, y).a) bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
        pic.draw(turned, 20 - (left + right + 1) / 2, 39 - bottom - p.rise);
        tipX = -1;
    }
    addExtras(pic, maps, p, tipX, tipY);
    return pic;
}

struct Numbered {
    int number;
    Pose pose;
};

Pose stand() { return Pose{}; }
Pose with(Pose p, auto change) {
    change(p);
    return p;
}

std::vector<Numbered> playerTable() {
    std::vector<Numbered> t;
    auto add = [&](int n, Pose p) { t.push_back({n, p}); };

    // Standing and its idle cycle: blink, breathe, sway.
    add(0, stand());
    add(1, with(stand(), [](Pose& p) { p.head = "head_blink"; }));
    add(2, with(stand(), [](Pose& p) { p.upperDy = 1; }));
    add(3, with(stand(), [](Pose& p) { p.upperDy = 1, p.body = "body_sway"; }));
    add(4, with(stand(), [](Pose& p) { p.body = "body_sway", p.head = "head_blink"; }));

    // Walking, five frames, and the same ducked under a block.
    const char* walkLegs[5] = {"legs_walk1", "legs_walk2", "legs_walk3", "legs_walk4", "legs_walk2"};
    const int walkBob[5] = {1, 0, 0, 1, 0};
    const char* walkBody[5] = {"body_sway", "body_sway", "body", "body", "body_sway"};
    for (int i = 0; i < 5; ++i) {
        add(6 + i, with(stand(), [&](Pose& p) { p.legs = walkLegs[i], p.upperDy = walkBob[i], p.body = walkBody[i]; }));
        add(12 + i, with(stand(), [&](Pose& p) {
                p.legs = walkLegs[i], p.upperDy = walkBob[i] + 1, p.body = walkBody[i], p.hat = "hat_squashed";
            }));
    }

    // Jump: wind-up, take-off, top, and the two falling frames.
    add(18, with(stand(), [](Pose& p) { p.legs = "legs_crouch", p.upperDy = 3; }));
    add(19, with(stand(), [](Pose& p) { p.legs = "legs_dangle", p.body = "body_raise", p.rise = 2, p.wand = WandUp; }));
    add(20, with(stand(), [](Pose& p) { p.legs = "legs_tuck", p.upperDy = 0, p.rise = 2; }));
    add(21, with(stand(), [](Pose& p) { p.legs = "legs_dangle", p.hat = "hat_blown", p.body = "body_flutter"; }));
    add(22, with(stand(), [](Pose& p) { p.legs = "legs_dangle", p.hat = "hat_blown", p.body = "body_sway"; }));

    // Landing, the head bump, and the dizzy landing after it.
    add(23, with(stand(), [](Pose& p) { p.legs = "legs_crouch", p.upperDy = 2; }));
    add(26, with(stand(), [](Pose& p) {
            p.legs = "legs_dangle", p.hat = "hat_squashed", p.head = "head_dizzy", p.body = "body_raise", p.extras = Dizzy;
        }));
    add(27, with(stand(), [](Pose& p) { p.head = "head_dizzy", p.extras = Dizzy, p.upperDy = 1; }));
    add(28, with(stand(), [](Pose& p) { p.head = "head_dizzy", p.extras = DizzyAlt, p.body = "body_sway", p.upperDy = 1; }));
    add(29, with(stand(), [](Pose& p) { p.head = "head_blink", p.extras = Sweat; }));

    // Crouching, crouch-walking, and both ducked under a block.
    for (int i = 0; i < 4; ++i) {
        add(31 + i, with(stand(), [&](Pose& p) {
                p.legs = "legs_crouch", p.upperDy = 4 + (i % 2), p.legsDx = (i == 1) - (i == 3);
                p.body = i % 2 ? "body_sway" : "body";
            }));
        add(36 + i, with(stand(), [&](Pose& p) {
                p.legs = "legs_crouch", p.upperDy = 4 + (i % 2), p.legsDx = (i == 1) - (i == 3);
                p.body = i % 2 ? "body_sway" : "body", p.hat = "hat_squashed";
            }));
    }

    // Looking up at the gap a vanished block left: peeks, hops on tiptoe, settles.
    for (int i = 0; i < 13; ++i) {
        add(41 + i, with(stand(), [&](Pose& p) {
                p.head = (i == 5 || i == 11) ? "head_blink" : (i < 10 ? "head_up" : "head");
                p.hatDy = (i >= 6 && i <= 8) ? -1 : 0;
                p.rise = (i == 7) ? 1 : 0;
            }));
    }

    // The key: a crouch of joy, then the key held high with glints.
    add(63, with(stand(), [](Pose& p) { p.legs = "legs_crouch", p.upperDy = 3, p.head = "head_happy"; }));
    for (int i = 0; i < 5; ++i)
        add(64 + i, with(stand(), [&](Pose& p) {
                p.body = "body_raise", p.head = "head_happy", p.rise = i == 0 ? 2 : 0;
                p.extras = HoldKey | (i % 2 ? SparklesAlt : Sparkles);
            }));
    add(69, with(stand(), [](Pose& p) { p.head = "head_happy"; }));

    // At the exit (also the game-over continue): a hop for joy and a wave.
    const int hop[11] = {0, 0, 3, 6, 3, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 11; ++i)
        add(71 + i, with(stand(), [&](Pose& p) {
                p.head = "head_happy";
                p.rise = hop[i];
                if (i == 1 || i == 5) p.legs = "legs_crouch", p.upperDy = 3;
                if (i >= 2 && i <= 4) p.legs = "legs_tuck", p.body = "body_raise", p.wand = WandUp;
                if (i >= 6) p.body = (i % 2) ? "body_raise" : "body_cast", p.wand = (i % 2) ? WandUp : WandForward;
                if (i >= 9) p.extras = (i % 2) ? Sparkles : SparklesAlt;
            }));

    // Casting standing (block magic and shots).
    add(83, with(stand(), [](Pose& p) { p.body = "body_raise", p.wand = WandUp; }));
    add(84, with(stand(), [](Pose& p) { p.body = "body_cast", p.wand = WandForward; }));
    add(85, with(stand(), [](Pose& p) { p.body = "body_cast", p.wand = WandForward, p.extras = GlowBig; }));
    add(86, with(stand(), [](Pose& p) { p.body = "body_cast", p.wand = WandForward, p.extras = GlowSmall; }));
    // Casting ducked under a block.
    const char* duckBody[8] = {"body", "body_cast", "body_cast", "body_cast", "body_cast", "body_cast", "body", "body"};
    const unsigned duckGlow[8] = {None, None, GlowBig, GlowSmall, GlowBig, GlowSmall, None, None};
    for (int i = 0; i < 8; ++i)
        add(88 + i, with(stand(), [&](Pose& p) {
                p.hat = "hat_squashed", p.upperDy = 1, p.body = duckBody[i];
                p.wand = duckBody[i][4] == '_' ? WandForward : NoWand, p.extras = duckGlow[i];
            }));

    // The stumble: trips, falls flat, sits dazed, gets up.
    const double trip[7] = {12, 28, 48, 70, 90, 90, 90};
    for (int i = 0; i < 7; ++i)
        add(97 + i, with(stand(), [&](Pose& p) {
                p.turn = trip[i], p.legs = i < 3 ? "legs_walk1" : "legs";
                p.head = i >= 4 ? "head_dizzy" : "head_shout";
                p.hat = i >= 2 ? "hat_blown" : "hat";
            }));
    add(104, with(stand(), [](Pose& p) { p.legs = "legs_kneel", p.upperDy = 5, p.head = "head_dizzy", p.extras = Dizzy; }));
    add(105, with(stand(), [](Pose& p) { p.legs = "legs_kneel", p.upperDy = 5, p.head = "head_blink", p.extras = DizzyAlt; }));
    add(106, with(stand(), [](Pose& p) { p.legs = "legs_crouch", p.upperDy = 3, p.head = "head_blink", p.extras = Sweat; }));
    add(107, with(stand(), [](Pose& p) { p.head = "head_blink", p.extras = Sweat; }));

    // Casting crouched.
    add(108, with(stand(), [](Pose& p) { p.legs = "legs_crouch", p.upperDy = 4, p.body = "body_raise", p.wand = WandUp; }));
    add(109, with(stand(), [](Pose& p) { p.legs = "legs_crouch", p.upperDy = 4, p.body = "body_cast", p.wand = WandForward; }));
    add(110, with(stand(), [](Pose& p) {
            p.legs = "legs_crouch", p.upperDy = 4, p.body = "body_cast", p.wand = WandForward, p.extras = GlowBig;
        }));
    add(111, with(stand(), [](Pose& p) {
            p.legs = "legs_crouch", p.upperDy = 4, p.body = "body_cast", p.wand = WandForward, p.extras = GlowSmall;
        }));

    // The big spell: wand raised and charging, the burst, bracing, the beam, the finish.
    add(123, with(stand(), [](Pose& p) { p.body = "body_raise", p.wand = WandUp; }));
    add(124, with(stand(), [](Pose& p) { p.body = "body_raise", p.wand = WandUp, p.extras = GlowSmall; }));
    add(125, with(stand(), [](Pose& p) { p.body = "body_raise", p.wand = WandUp, p.extras = GlowBig, p.rise = 1; }));
    add(126, with(stand(), [](Pose& p) { p.body = "body_raise", p.wand = WandUp, p.extras = GlowBig | Sparkles; }));
    add(127, with(stand(), [](Pose& p) { p.body = "body_cast", p.wand = WandForward, p.extras = GlowBig, p.head = "head_shout"; }));
    add(128, with(stand(), [](Pose& p) { p.body = "body_cast", p.wand = WandForward, p.extras = GlowSmall, p.head = "head_shout"; }));
    add(129, with(stand(), [](Pose& p) { p.legs = "legs_walk1", p.upperDy = 1, p.body = "body_cast", p.wand = WandForward; }));
    add(130, with(stand(), [](Pose& p) {
            p.legs = "legs_walk1", p.upperDy = 1, p.body = "body_cast", p.wand = WandForward, p.extras = GlowSmall;
        }));
    for (int i = 0; i < 3; ++i)
        add(131 + i, with(stand(), [&](Pose& p) {
                p.legs = "legs_walk1", p.upperDy = 1, p.body = "body_cast", p.wand = WandForward;
                p.head = "head_shout", p.hat = i == 1 ? "hat_blown" : "hat";
                p.extras = i == 2 ? GlowSmall : GlowBig;
            }));
    const char* finishBody[9] = {"body_cast", "body_cast", "body", "body", "body", "body_raise", "body_raise", "body", "body"};
    for (int i = 0; i < 9; ++i)
        add(134 + i, with(stand(), [&](Pose& p) {
                const std::string body = finishBody[i];
                p.body = finishBody[i];
                p.wand = body == "body_cast" ? WandForward : (body == "body_raise" ? WandUp : NoWand);
                p.head = i == 3 ? "head_blink" : (i >= 4 ? "head_happy" : "head");
                if (i == 5 || i == 6) p.extras = i == 5 ? Sparkles : SparklesAlt;
                if (i == 0) p.legs = "legs_walk1", p.upperDy = 1;
            }));

    // Hit: thrown up and back, then lying; the slumped kneel doubles as casting in the air.
    add(144, with(stand(), [](Pose& p) {
            p.turn = -20, p.legs = "legs_dangle", p.hat = "hat_blown", p.head = "head_dizzy", p.body = "body_raise";
        }));
    add(150, with(stand(), [](Pose& p) { p.turn = -90, p.head = "head_dizzy", p.legs = "legs_dangle"; }));
    add(151, with(stand(), [](Pose& p) { p.turn = -80, p.head = "head_dizzy", p.legs = "legs_dangle"; }));
    add(152, with(stand(), [](Pose& p) { p.legs = "legs_kneel", p.upperDy = 5, p.body = "body_raise", p.wand = WandUp; }));
    add(153, with(stand(), [](Pose& p) { p.legs = "legs_kneel", p.upperDy = 5, p.body = "body_cast", p.wand = WandForward; }));
    add(154, with(stand(), [](Pose& p) {
            p.legs = "legs_kneel", p.upperDy = 5, p.body = "body_cast", p.wand = WandForward, p.extras = GlowBig;
        }));
    add(155, with(stand(), [](Pose& p) { p.legs = "legs_kneel", p.upperDy = 6, p.head = "head_sad", p.hat = "hat_squashed"; }));
    // Casting crouched under a block.
    for (int i = 0; i < 4; ++i)
        add(156 + i, with(stand(), [&](Pose& p) {
                p.legs = "legs_crouch", p.upperDy = 4, p.hat = "hat_squashed";
                p.body = i < 3 ? "body_cast" : "body", p.wand = i < 3 ? WandForward : NoWand;
                p.extras = i == 1 ? GlowBig : (i == 2 ? GlowSmall : None);
            }));
    return t;
}

}  // namespace

Canvas witchPicture(const PixelMaps& maps, int pictureNumber) {
    for (const Numbered& n : playerTable())
        if (n.number == pictureNumber) return playerPicture(maps, n.pose);
    return Canvas(40, 40);
}

Canvas witchLarge(const PixelMaps& maps, int pictureNumber, int scale) {
    return scaled(witchPicture(maps, pictureNumber), scale);
}

void paintPlayer(PictureSet& set, const PixelMaps& maps) {
    for (const Numbered& n : playerTable()) set.put(fileName("02", n.number, ".bmp"), playerPicture(maps, n.pose));
}

}  // namespace artgen
