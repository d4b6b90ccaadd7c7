// What the films are made of: the game's own pictures (landscapes of the
// six stage themes, blocks, the witch and her poses, the title's lettering)
// made ready for compositing, and the small routines that move them.
#pragma once

#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/scenery.h"
#include "tools/moviegen/frame.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace moviegen {

using artgen::Theme;

// 0 before `from`, 1 after `to`, an S-curve between.
double Smooth(double from, double to, double t);
// Up from 0 to 1 over in0..in1, down again over out0..out1.
double Window(double t, double in0, double in1, double out0, double out1);

// The witch at a given size: every pose the films use, facing right and
// left, with the soft shadow the interludes give her; `light` colours her
// for the light she stands in (moonlight is dimmer and bluer).
class WitchPoses {
public:
    WitchPoses(const artgen::PixelMaps& maps, int scale, const std::vector<int>& poses, Rgb light = {1, 1, 1});
    const Picture& Pose(int pictureNumber, bool facingLeft) const;
    // The walking cycle (five pictures, ten a second) at time t.
    const Picture& Walking(double t, bool facingLeft) const;
    int scale() const { return scale_; }
    // Where to put the picture so that her feet stand at (x, ground).
    double Left(double x) const;
    double Top(double ground) const;

private:
    int scale_;
    std::map<int, std::array<Picture, 2>> pictures_;
};

// A stage theme's landscape as the far layer of a parallax: wider than the
// frame, so that it can slide.
struct Place {
    Theme theme;
    Picture far;     // the landscape, kFrameWidth + margin wide
    Picture ground;  // the theme's wall block, twice its size, as a tile
};
Place MakePlace(const artgen::PixelMaps& maps, Theme theme, int margin);
// The place by night: its colours times `light`, plus `add`.
Place Night(Place place, Rgb light, Rgb add = {});

// The camera at `x` (pixels of the ground): the landscape slides `far`
// times as fast, the ground as fast, with the ground's top at `groundY`.
void DrawPlace(Frame& frame, const Place& place, double x, int groundY, double far = 0.25);

// Lumotta's house: a wall of the game's bricks three blocks wide with the
// exit door for its door, her hat for a roof and a magic block for a
// window.
class Cottage {
public:
    // `light`: the house's colours in the light it stands in.
    Cottage(const artgen::PixelMaps& maps, Rgb light, Rgb add = {});
    static constexpr double kWidth = 192;  // the wall
    static constexpr double kDoor = 96;    // the door's middle, from the wall's left
    // The house with its wall's left at x; its window's light is drawn
    // separately, after the night has been laid over the picture.
    void Draw(Frame& frame, double x, int groundY, bool doorOpen) const;
    void DrawWindow(Frame& frame, double x, int groundY, double light) const;

private:
    Picture brick_, roof_, closedDoor_, openDoor_, window_;
};

// Points of light that twinkle: stars in a sky, fireflies, snow.
struct Twinkles {
    struct Point {
        float x, y, size, phase, speed;
    };
    std::vector<Point> points;
    Rgb colour{1, 1, 1};
};
Twinkles MakeTwinkles(int count, float top, float bottom, float smallest, float largest, uint32_t seed, Rgb colour);
// Drawn moved left by scrollX (wrapping round the frame) and down by fall
// pixels a second (for snow), their light times `strength`.
void DrawTwinkles(Frame& frame, const Twinkles& twinkles, double t, double scrollX, double fall, double strength);

// A caption in the game's lettering: one or two lines on the dark violet
// panel the interludes use, 608 x 70.
Picture Caption(const std::string& line1, const std::string& line2 = {});
// A heading in the front end's gold lettering.
Picture Heading(const std::string& text, int size);
// A line in the lettering of the menus.
Picture Words(const std::string& text, int size);
// A line in the captions' lettering, without a panel.
Picture Line(const std::string& text, int size);
// "Lumotta" as the title shows it.
Picture TitleWord();
// A four-pointed glint of light (for adding), `radius` across.
Picture Glint(int radius, Rgb colour);
// Light rays from the middle of a square picture `size` wide, turned by
// `turn` radians, starting `inner` (a share of the size) out; with `core`,
// a glow where they meet.
Picture Rays(int size, int count, Rgb colour, double turn = 0, double inner = 0.08, bool core = true);
// A round patch of colour with a soft edge, `radius` across.
Picture Disc(double radius, Rgb colour);
// A frame's worth of shade towards the edges.
Shade Vignette(double strength);
// One of the six stage places seen through a round window with a gold
// rim, `radius` across (the title's medallion in small).
Picture Medallion(Theme theme, int radius);
// A picture of the game's art at `scale`, optionally mirrored and coloured
// for the light it stands in.
Picture Sprite(const artgen::Canvas& canvas, int scale = 1, bool mirror = false, Rgb light = {1, 1, 1});
// The art coloured for a light: every colour times `light`.
artgen::Canvas Lit(const artgen::Canvas& canvas, Rgb light);

// Draws a caption at the foot of the frame.
void DrawCaption(Frame& frame, const Picture& caption, double opacity);

}  // namespace moviegen
