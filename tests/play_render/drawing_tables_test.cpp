// The actor and effect drawing tables, row by row: which picture each kind
// shows in a given phase and tick, where, how large, turned and mirrored how,
// and with which blend. Every handle table is filled with pictures of sizes
// of their own, and every drawQuad call is recorded with the blend in force.
#include "game/play/draw_quad.h"
#include "game/play/play_pictures.h"
#include "game/play/play_render.h"
#include "game/state/globals.h"
#include "media/images/draw_state.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Own sizes of the pictures: every tile and picture slot a size of its own.
int tileW(int n) { return 20 + 2 * (n % 9); }
int tileH(int n) { return 30 + 2 * (n % 7); }
int picW(int s) { return 16 + 2 * (s % 8); }
int picH(int s) { return 18 + 2 * (s % 5); }

struct Drawn {
    int image, x, y, w, h, turnY, turnX, angle, flip, mode, parameter;
    bool operator==(const Drawn&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Drawn& d) {
    return out << "{image " << d.image << " at " << d.x << "," << d.y << " size " << d.w << "x" << d.h
               << " turnY " << d.turnY << " turnX " << d.turnX << " angle " << d.angle << " flip " << d.flip
               << " blend " << d.mode << "/" << d.parameter << "}";
}

std::vector<Drawn>& recorded() {
    static std::vector<Drawn> draws;
    return draws;
}

void record(const QuadDraw& q) {
    const auto& state = media::images::State();
    const int mode = state.blendMode;
    recorded().push_back({q.image, q.x, q.y, q.w, q.h, q.turnY, q.turnX, q.angle, q.flip, mode,
                          mode == kBlendNone ? 0 : state.blendParameter});
}

// A one-colour 24-bit BMP.
void writeBmp(const std::string& name, int w, int h) {
    ASSERT_TRUE(testing_support::writeBmp(name, w, h, [](int, int) { return 0x404040u; }));
}

// The three handle tables, as the test filled them.
int tile(int n) { return game.tileImages[n]; }
int pict(int s) { return game.pictures[s]; }
int cellOf(int row, int index) { return (&game.sheetCells[0][0])[row * 10 + index]; }

class DrawingTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new testing_support::ScratchDirectory("drawing_tables");
        media_ = new testing_support::HeadlessMedia;
        ASSERT_TRUE(media_->ok());
        // The sizes repeat; one file per size, loaded once per slot.
        for (int w = 16; w <= 36; w += 2)
            for (int h = 18; h <= 42; h += 2) writeBmp("p" + std::to_string(w) + "x" + std::to_string(h) + ".bmp", w, h);
        auto load = [](int w, int h) {
            const std::string name = "p" + std::to_string(w) + "x" + std::to_string(h) + ".bmp";
            return LoadImage(name.c_str(), 0);
        };
        for (int n = 0; n < 400; ++n) tiles_[n] = load(tileW(n), tileH(n));
        for (int s = 0; s < 172; ++s) pictures_[s] = load(picW(s), picH(s));
        for (int n = 0; n < 400; ++n) ASSERT_NE(tiles_[n], -1) << n;
        for (int s = 0; s < 172; ++s) ASSERT_NE(pictures_[s], -1) << s;
        writeBmp("sheet.bmp", 320, 1280);
        ASSERT_EQ(LoadImageTiles("sheet.bmp", 400, 10, 40, 32, 32, cells_, 0), 0);
    }
    static void TearDownTestSuite() {
        delete media_;
        delete scratch_;
    }
    void SetUp() override {
        game = GameGlobals{};
        std::copy(std::begin(tiles_), std::end(tiles_), game.tileImages);
        std::copy(std::begin(pictures_), std::end(pictures_), game.pictures);
        std::copy(std::begin(cells_), std::end(cells_), &game.sheetCells[0][0]);
        game.players[0].x = 100;
        recorded().clear();
        setQuadObserver(record);
    }
    void TearDown() override { setQuadObserver(nullptr); }

    static std::vector<Drawn> drawActor(const Actor& a) {
        game.actors[0] = a;
        game.actors[0].live = 1;
        recorded().clear();
        drawActors();
        game.actors[0].live = 0;
        return recorded();
    }
    static std::vector<Drawn> drawEffect(const Actor& e) {
        game.effects[0] = e;
        game.effects[0].live = 1;
        recorded().clear();
        drawEffects();
        game.effects[0].live = 0;
        return recorded();
    }

    static testing_support::ScratchDirectory* scratch_;
    static testing_support::HeadlessMedia* media_;
    static int tiles_[400];
    static int pictures_[172];
    static int cells_[400];
};

testing_support::ScratchDirectory* DrawingTables::scratch_ = nullptr;
testing_support::HeadlessMedia* DrawingTables::media_ = nullptr;
int DrawingTables::tiles_[400];
int DrawingTables::pictures_[172];
int DrawingTables::cells_[400];

Actor actor(int kind, int phase, int timer, int facing, int frame = 0, int pose = 0) {
    Actor a{};
    a.kind = static_cast<int16_t>(kind);
    a.phase = static_cast<int16_t>(phase);
    a.timer = static_cast<int16_t>(timer);
    a.facing = static_cast<int16_t>(facing);
    a.frame = static_cast<int16_t>(frame);
    a.pose = static_cast<int16_t>(pose);
    a.x = 200;
    a.y = 300;
    return a;
}

// A 32 x 32 sheet cell standing on the actor's feet (200, 300): centred at
// (200, 300 - 16 + 1).
Drawn standing(int image, int flip, int angle = 0, int mode = kBlendNone, int parameter = 0) {
    return {image, 200, 285, 32, 32, 0, 0, angle, flip, mode, parameter};
}

struct ActorRow {
    const char* what;
    Actor a;
    std::vector<Drawn> want;
};

TEST_F(DrawingTables, ActorRowsShowTheirPictures) {
    // Sheet rows: 00\02.bmp 5, 00\03.bmp 7, 00\04.bmp 8, 00\05.bmp 9, 00\06.bmp 10,
    // 00\07.bmp 11, 00\08.bmp 12, 00\09.bmp 13, 00\10.bmp 14, 00\11.bmp 15,
    // 00\12.bmp 16, 00\13.bmp 17, 00\14.bmp 18, 00\15.bmp 19, 00\16.bmp 20,
    // 00\17.png 21, 00\17.bmp 22, 00\18.bmp 23, 00\21.bmp 26, 00\22.bmp 27,
    // 00\23.bmp 28, 00\24.bmp 29, 00\01.png.. 30, 00\10.png 31, 00\19.bmp 34, 00\20.bmp 36.
    const ActorRow rows[] = {
        {"key: 00\\03.png at t 13", actor(7, 0, 13, 1), {standing(cellOf(30, 2), 1)}},
        {"closed exit", actor(8, 0, 5, 0), {standing(cellOf(31, 0), 0)}},
        {"open exit", actor(8, 1, 5, 1), {standing(cellOf(31, 1), 1)}},
        {"11 right on a ceiling", actor(11, 0, 20, 0, 0, 1), {standing(cellOf(5, 2), 0, 180)}},
        {"11 right on a floor", actor(11, 0, 20, 0, 0, 0), {standing(cellOf(5, 2), 1, 0)}},
        {"11 up, pose 1", actor(11, 1, 95, 0, 0, 1), {standing(cellOf(5, 11), 0, 90)}},
        {"11 up, pose 0", actor(11, 1, 96, 0, 0, 0), {standing(cellOf(5, 0), 1, 270)}},
        {"11 left, pose 1", actor(11, 2, 8, 0, 0, 1), {standing(cellOf(5, 1), 1, 180)}},
        {"11 down, pose 0", actor(11, 3, 8, 0, 0, 0), {standing(cellOf(5, 1), 0, 270)}},
        {"11 down, pose 1", actor(11, 3, 8, 0, 0, 1), {standing(cellOf(5, 1), 1, 90)}},
        {"11 knocked out", actor(11, 10, 8, 1, 0, 1), {standing(cellOf(6, 2), 0)}},
        {"14 at t 20", actor(14, 0, 20, 0, 0, 1), {standing(cellOf(34, 5), 0, 180)}},
        {"14 knocked out: nothing", actor(14, 10, 20, 0), {}},
        {"15 at t 30", actor(15, 2, 30, 0, 0, 0), {standing(cellOf(36, 2), 0, 0)}},
        {"12 walking", actor(12, 0, 30, 1), {standing(cellOf(7, 3), 1)}},
        {"12 pausing", actor(12, 1, 30, 0, 4), {standing(cellOf(7, 8), 0)}},
        {"12 knocked out: the mark", actor(12, 10, 30, 1), {standing(cellOf(7, 9), 1)}},
        {"13 turning at a wall", actor(13, 2, 6, 0), {standing(cellOf(8, 3), 1)}},
        {"13 chasing", actor(13, 1, 17, 1), {standing(cellOf(8, 2), 0)}},
        {"13 falling through", actor(13, 5, 17, 1), {standing(cellOf(8, 4), 0)}},
        {"13 flying away", actor(13, 6, 40, 0), {standing(cellOf(8, 9), 1, 40)}},
        {"16 walking", actor(16, 0, 12, 1), {standing(cellOf(26, 3), 1)}},
        {"16 knocked out", actor(16, 10, 7, 0), {standing(cellOf(26, 6), 0), standing(cellOf(26, 9), 0)}},
        {"17 walking", actor(17, 1, 36, 0), {standing(cellOf(27, 3), 0)}},
        {"17 knocked out: 16's pictures", actor(17, 10, 12, 1), {standing(cellOf(26, 7), 1), standing(cellOf(27, 9), 1)}},
        {"18 flying", actor(18, 0, 16, 0), {standing(cellOf(14, 2), 1)}},
        {"19 pausing", actor(19, 1, 16, 1, 3), {standing(cellOf(14, 4), 0)}},
        {"19 knocked out", actor(19, 10, 16, 1), {standing(cellOf(14, 4), 0), standing(cellOf(14, 5), 0)}},
        {"20 flying", actor(20, 0, 8, 0), {standing(cellOf(28, 2), 1)}},
        {"21 flying", actor(21, 1, 12, 0), {standing(cellOf(28, 3), 0)}},
        {"22 flying", actor(22, 0, 25, 0), {standing(cellOf(29, 2), 1)}},
        {"23 knocked out", actor(23, 10, 25, 0), {standing(cellOf(29, 4), 0), standing(cellOf(29, 5), 0)}},
        {"24 flying right", actor(24, 1, 24, 0), {standing(cellOf(9, 3), 1)}},
        {"24 pausing", actor(24, 0, 24, 1, 2), {standing(cellOf(9, 4), 0)}},
        {"24 knocked out", actor(24, 10, 24, 1), {standing(cellOf(9, 5), 0)}},
        {"25 flying", actor(25, 0, 8, 1), {standing(cellOf(22, 2), 0)}},
        {"26 flying", actor(26, 0, 36, 0), {standing(cellOf(23, 3), 1)}},
        {"27", actor(27, 0, 25, 1), {standing(cellOf(10, 3), 0)}},
        {"28 faces right", actor(28, 0, 25, 0), {standing(cellOf(10, 3), 1)}},
        {"28 knocked out", actor(28, 10, 25, 0), {standing(cellOf(10, 0), 1)}},
        {"29 cannon shot", actor(29, 0, 9, 1), {standing(cellOf(11, 2), 1, 0, kBlendAdd, 128)}},
        {"29 stopped: nothing", actor(29, 5, 9, 1), {}},
        {"30 asleep", actor(30, 0, 17, 1), {standing(cellOf(12, 2), 1)}},
        {"30 woken: half size on its feet", actor(30, 1, 17, 0), {{cellOf(12, 4), 200, 293, 16, 16, 0, 0, 0, 0, 0, 0}}},
        {"31 knocked out", actor(31, 10, 17, 0), {standing(cellOf(13, 5), 0)}},
        {"31 flying away", actor(31, 6, 4, 1), {standing(cellOf(13, 5), 1, 40)}},
        {"32 walking", actor(32, 0, 45, 0), {standing(cellOf(15, 5), 1)}},
        {"32 breathing, t 19", actor(32, 1, 19, 1), {standing(cellOf(15, 6), 0)}},
        {"32 breathing, t 20", actor(32, 1, 20, 1), {standing(cellOf(15, 7), 0)}},
        {"32 falling", actor(32, 2, 20, 1), {standing(cellOf(15, 0), 0)}},
        {"32 flying away", actor(32, 6, 37, 0), {standing(cellOf(15, 9), 1, 10)}},
        {"33 flame", actor(33, 0, 7, 1), {standing(cellOf(16, 3), 1, 0, kBlendAdd, 255)}},
        {"33 flame into the next row", actor(33, 0, 22, 0), {standing(cellOf(17, 1), 0, 0, kBlendAdd, 255)}},
        {"34 walking", actor(34, 0, 17, 1), {standing(cellOf(17, 2), 0)}},
        {"34 breathing", actor(34, 1, 20, 0), {standing(cellOf(17, 5), 1)}},
        {"34 knocked out", actor(34, 10, 20, 0), {standing(cellOf(17, 6), 1)}},
        {"36 spawner", actor(36, 0, 20, 1), {standing(cellOf(18, 0), 1)}},
        {"41 drifting", actor(41, 0, 3, 1), {standing(cellOf(19, 1), 1)}},
        {"41 shot", actor(41, 10, 5, 0), {standing(cellOf(19, 0), 0, 50)}},
        {"47 item", actor(47, 0, 3, 1), {standing(cellOf(20, 5), 1)}},
        {"42 item", actor(42, 0, 3, 0), {standing(cellOf(20, 0), 0)}},
    };
    for (const ActorRow& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(drawActor(row.a), row.want);
        EXPECT_EQ(media::images::State().blendMode, kBlendNone) << "opaque again afterwards";
    }
}

TEST_F(DrawingTables, SinglePictureActorsStandOnTheirFeetAtTheirOwnSize) {
    // 00\03.png and 00\17.png as pictures of their own size.
    game.sheetCells[30][2] = pict(33);  // 22 x 24
    game.sheetCells[21][0] = pict(44);  // 24 x 26
    EXPECT_EQ(drawActor(actor(7, 0, 13, 1)),
              (std::vector<Drawn>{{pict(33), 200, 300 - picH(33) / 2 + 1, picW(33), picH(33), 0, 0, 0, 1, 0, 0}}));
    EXPECT_EQ(drawActor(actor(50, 0, 13, 1)),
              (std::vector<Drawn>{{pict(44), 200, 300 - picH(44) / 2 + 1, picW(44), picH(44), 0, 0, 0, 1, 0, 0}}));
}

Actor effect(int kind, int phase, int timer, int facing, int angle = 0, int age = 0) {
    Actor e = actor(kind, phase, timer, facing);
    e.angle = static_cast<int16_t>(angle);
    e.age = static_cast<int16_t>(age);
    e.x = 250;
    e.y = 150;
    return e;
}

// A picture centred on the effect at (250, 150).
Drawn centred(int image, int w, int h, int flip, int mode, int parameter, int angle = 0, int turnY = 0,
              int turnX = 0) {
    return {image, 250, 150, w, h, turnY, turnX, angle, flip, mode, parameter};
}

TEST_F(DrawingTables, EffectRowsShowTheirPictures) {
    constexpr int add = kBlendAdd, none = kBlendNone;
    const ActorRow rows[] = {
        // Bursts.
        {"3 fading", effect(3, 0, 30, 1, 77), {centred(tile(200), 300, 300, 1, add, 130, 77)}},
        {"3 in phase 1: nothing", effect(3, 1, 30, 1, 77), {}},
        {"4 turning with its age", effect(4, 0, 12, 0, 77), {centred(tile(201), 120, 120, 0, add, 255, 12)}},
        {"5 fading in", effect(5, 0, 5, 1, 77), {centred(tile(201), 50, 50, 1, add, 125, 5)}},
        {"6 fading in", effect(6, 0, 8, 1, 31), {centred(tile(214), 40, 40, 1, add, 200, 31)}},
        {"6 fading out", effect(6, 1, 30, 1, 31), {centred(tile(214), 150, 150, 1, add, 130, 31)}},
        {"8", effect(8, 0, 10, 1, 9), {centred(tile(206), 60, 60, 1, add, 250, 9)}},
        {"9 fading", effect(9, 0, 25, 0, 9), {centred(tile(205), tileW(205), tileH(205), 0, add, 130, 9)}},
        {"11 fading", effect(11, 0, 35, 1), {centred(tile(216), tileW(216), tileH(216), 1, add, 130)}},
        {"12", effect(12, 0, 5, 1), {centred(tile(216), tileW(216), tileH(216), 1, add, 205)}},
        {"19 turned about the vertical axis", effect(19, 0, 12, 0), {centred(tile(229), 60, 60, 0, add, 205, 0, 60)}},
        {"21", effect(21, 0, 4, 1, 200), {centred(tile(232), tileW(232), tileH(232), 1, add, 155, 200)}},
        {"22", effect(22, 0, 6, 1, 11), {centred(tile(234), 90, 90, 1, add, 205, 11)}},
        {"23", effect(23, 0, 3, 1, 11), {centred(tile(235), 24, 24, 1, add, 255, 11)}},
        {"24 turning", effect(24, 0, 4, 1, 358), {centred(tile(233), 60, 60, 1, add, 255, 2)}},
        {"26", effect(26, 0, 6, 0, 11), {centred(tile(234), 48, 48, 0, add, 205, 11)}},
        {"27 turned about the horizontal axis", effect(27, 0, 3, 1), {centred(tile(241), 30, 30, 1, add, 225, 0, 0, 60)}},
        {"52 unflipped", effect(52, 0, 13, 1), {centred(tile(305), 52, 52, 0, add, 235, 65)}},
        {"60", effect(60, 0, 3, 1), {centred(tile(321), tileW(321), tileH(321), 1, add, 225)}},
        // Strips.
        {"30", effect(30, 0, 2, 1), {centred(tile(245), tileW(243), tileH(243), 0, add, 255)}},
        {"32", effect(32, 0, 3, 1), {centred(pict(43), picW(40), picH(40), 1, add, 255)}},
        {"36 fading with its age", effect(36, 1, 9, 1, 0, 4), {centred(tile(282), tileW(280), tileH(280), 0, add, 215)}},
        {"59", effect(59, 0, 5, 1), {centred(tile(320), tileW(319), tileH(319), 1, none, 0)}},
        {"63", effect(63, 0, 2, 1), {centred(pict(112), picW(110), picH(110), 1, add, 255)}},
        {"64", effect(64, 0, 3, 0), {centred(pict(144), picW(141), picH(141), 0, none, 0)}},
        {"66 at half size", effect(66, 0, 3, 1), {centred(pict(144), picW(141) / 2, picH(141) / 2, 1, none, 0)}},
        {"68 at one and a half", effect(68, 0, 1, 1), {centred(pict(142), picW(141) * 3 / 2, picH(141) * 3 / 2, 1, none, 0)}},
        // Stills.
        {"54", effect(54, 0, 3, 1), {centred(tile(306), tileW(306), tileH(306), 1, none, 0)}},
        {"61", effect(61, 0, 3, 1), {centred(pict(101), picW(101), picH(101), 1, none, 0)}},
        {"62", effect(62, 0, 3, 0), {centred(pict(100), picW(100), picH(100), 0, none, 0)}},
        // Twinkles.
        {"16 cycling", effect(16, 0, 7, 1), {centred(tile(218), tileW(218), tileH(218), 1, add, 255)}},
        {"17 fading", effect(17, 0, 25, 1), {centred(tile(224), tileW(224), tileH(224), 1, add, 130)}},
        {"18 cycling", effect(18, 0, 16, 0), {centred(tile(227), tileW(227), tileH(227), 0, add, 255)}},
        {"34 cycling", effect(34, 0, 12, 0), {centred(tile(265), tileW(265), tileH(265), 0, add, 255)}},
        {"35 cycling", effect(35, 0, 3, 1), {centred(tile(271), tileW(271), tileH(271), 1, add, 255)}},
        {"35 in phase 1: nothing", effect(35, 1, 3, 1), {}},
        // Families with a picture per kind.
        {"37 rising", effect(37, 0, 5, 1), {{tile(283), 250, 135, 30, 30, 0, 0, 0, 0, add, 205}}},
        {"39 fading with its age", effect(39, 1, 5, 1, 0, 3), {{tile(285), 250, 135, 30, 30, 0, 0, 0, 0, add, 225}}},
        {"44 marker", effect(44, 0, 5, 1), {centred(tile(288), tileW(288), tileH(288), 0, add, 255)}},
        {"56", effect(56, 0, 12, 1), {centred(tile(314), 20, 40, 1, add, 255)}},
        {"56 round again", effect(56, 0, 30, 1), {centred(tile(318), 20, 40, 1, add, 255)}},
        {"58 growing", effect(58, 0, 5, 1), {centred(tile(311), 30, 60, 1, add, 255)}},
        {"57 fading with its age", effect(57, 1, 20, 0, 0, 2), {centred(tile(316), 40, 80, 0, add, 235)}},
        // Kinds of their own.
        {"1 falling", effect(1, 1, 9, 1), {centred(tile(238), tileW(238), tileH(238), 1, add, 255, 180)}},
        {"2 half size", effect(2, 1, 12, 1, 20),
         {centred(tile(202), tileW(202) / 2 - 8, tileH(202) / 2 - 8, 1, add, 235, 30)}},
        {"7", effect(7, 0, 25, 1), {centred(tile(212), 75 + tileW(212) / 2, 75 + tileH(212) / 2, 1, add, 75)}},
        {"10 blooming", effect(10, 0, 20, 0, 3), {centred(tile(215), 185, 185, 0, add, 130, 3)}},
        {"13 twice", effect(13, 0, 2, 1),
         {centred(tile(213), tileW(213) - 20, tileH(213) + 20, 1, add, 235, 45),
          centred(tile(213), tileW(213) + 20, tileH(213) - 20, 1, add, 235, 135)}},
        {"20 the shot", effect(20, 0, 3, 1),
         {centred(tile(231), tileW(231), tileW(231), 1, add, 255, 30),
          centred(tile(230), tileW(230), tileW(230), 1, add, 255, 15)}},
        {"28", effect(28, 0, 2, 0), {centred(tile(242), tileW(242) - 8, tileH(242) + 16, 0, add, 255)}},
        {"31 early", effect(31, 0, 2, 1),
         {centred(cellOf(0, 4), 32, 32, 0, none, 0), centred(pict(30), picW(30), picH(30), 0, none, 0)}},
        {"31 later", effect(31, 0, 9, 1), {centred(pict(32), picW(31), picH(31), 0, none, 0)}},
        {"33 rising score", effect(33, 0, 4, 1), {{pict(84), 250, 100, picW(80), picH(80), 0, 0, 0, 0, add, 255}}},
        {"40", effect(40, 0, 3, 1), {centred(tile(280), tileW(280) + 30, tileH(280) - 30, 0, add, 225)}},
        {"51 doubled", effect(51, 0, 3, 1),
         {centred(tile(303), tileW(303), tileH(303), 0, add, 255),
          {tile(303), 250, 153, tileW(303), tileH(303), 0, 0, 0, 0, add, 255}}},
        {"55", effect(55, 0, 4, 1),
         {centred(tile(310), tileW(309), tileH(309), 1, add, 40, 0, 240),
          centred(tile(308), static_cast<int>(tileW(308) * 0.7), static_cast<int>(tileH(308) * 0.7), 1, add, 40, 20, 240)}},
        {"50 with its beam ahead of her", effect(50, 0, 6, 0),
         {centred(tile(296), tileW(295), tileH(295), 0, add, 255),
          {tile(300), 250 + tileW(295) / 2 + 320, 150, 640, tileH(295), 0, 0, 0, 0, add, 255}}},
        {"25 impact: nothing", effect(25, 0, 3, 1), {}},
        {"41 spell core: nothing", effect(41, 0, 3, 1), {}},
    };
    for (const ActorRow& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(drawEffect(row.a), row.want);
        EXPECT_EQ(media::images::State().blendMode, kBlendNone) << "opaque again afterwards";
    }
}

TEST_F(DrawingTables, TheStatusShowsOneMagicIconPerChargeEighteenApart) {
    game.players[0].magic = 3;
    game.timeLeft = 9999;
    recorded().clear();
    drawPlayScene();
    std::vector<Drawn> icons;
    for (const Drawn& d : recorded())
        if (d.image == pict(10)) icons.push_back(d);
    const int w = picW(10), h = picH(10);
    EXPECT_EQ(icons, (std::vector<Drawn>{{pict(10), 350, 48, w, h, 0, 0, 0, 0, 0, 0},
                                         {pict(10), 368, 48, w, h, 0, 0, 0, 0, 0, 0},
                                         {pict(10), 386, 48, w, h, 0, 0, 0, 0, 0, 0}}));
}

}  // namespace
