#include "tools/moviegen/film_kit.h"

#include "tools/artgen/block_art.h"
#include "tools/artgen/front_end_style.h"
#include "tools/artgen/light.h"
#include "tools/artgen/text.h"

#include <algorithm>
#include <cmath>

namespace moviegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWalkCycle[5] = {6, 7, 8, 9, 10};
constexpr double kWalkFramesPerSecond = 10;

artgen::Rgba ToRgba(Rgb c, int alpha = 255) {
    return artgen::Rgba(static_cast<int>(c.r * 255), static_cast<int>(c.g * 255), static_cast<int>(c.b * 255), alpha);
}

}  // namespace

double Smooth(double from, double to, double t) {
    const double x = std::clamp((t - from) / (to - from), 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

double Window(double t, double in0, double in1, double out0, double out1) {
    return Smooth(in0, in1, t) * (1 - Smooth(out0, out1, t));
}

WitchPoses::WitchPoses(const artgen::PixelMaps& maps, int scale, const std::vector<int>& poses, Rgb light)
    : scale_(scale) {
    std::vector<int> all(poses);
    all.insert(all.end(), std::begin(kWalkCycle), std::end(kWalkCycle));
    for (int n : all) {
        if (pictures_.count(n)) continue;
        const artgen::Canvas big = artgen::scaled(Lit(artgen::witchPicture(maps, n), light), scale);
        const int offset = scale + 1;
        pictures_[n] = {ToPicture(artgen::withShadow(big, offset, offset, 3, 100)),
                        ToPicture(artgen::withShadow(artgen::mirrored(big), offset, offset, 3, 100))};
    }
}

const Picture& WitchPoses::Pose(int pictureNumber, bool facingLeft) const {
    auto it = pictures_.find(pictureNumber);
    if (it == pictures_.end()) it = pictures_.begin();
    return it->second[facingLeft ? 1 : 0];
}

const Picture& WitchPoses::Walking(double t, bool facingLeft) const {
    const int step = static_cast<int>(std::floor(t * kWalkFramesPerSecond)) % 5;
    return Pose(kWalkCycle[std::max(step, 0)], facingLeft);
}

double WitchPoses::Left(double x) const { return x - 20.0 * scale_; }
double WitchPoses::Top(double ground) const { return ground - 40.0 * scale_; }

Place MakePlace(const artgen::PixelMaps& maps, Theme theme, int margin) {
    artgen::Canvas land(kFrameWidth + margin, kFrameHeight);
    artgen::paintLandscape(land, theme, false);
    return {theme, ToPicture(land), ToPicture(artgen::scaled(artgen::wallBlock(maps, theme), 2))};
}

void DrawPlace(Frame& frame, const Place& place, double x, int groundY, double far) {
    frame.Backdrop(place.far, x * far);
    for (int y = groundY; y < kFrameHeight; y += place.ground.height) frame.Band(place.ground, x, y);
}

Place Night(Place place, Rgb light, Rgb add) {
    place.far = Graded(std::move(place.far), light, add);
    place.ground = Graded(std::move(place.ground), light, add);
    return place;
}

Cottage::Cottage(const artgen::PixelMaps& maps, Rgb light, Rgb add)
    : brick_(Graded(Sprite(artgen::brickBlock(maps), 2), light, add)),
      roof_(Graded(Sprite(artgen::cropped(maps.sprite("hat"), 0, 0, 22, 13), 9), light, add)),
      closedDoor_(Graded(Sprite(artgen::exitDoor(maps, false), 2), light, add)),
      openDoor_(Graded(Sprite(artgen::exitDoor(maps, true), 2), light, add)),
      window_(Sprite(artgen::magicBlock(maps), 1)) {}

void Cottage::Draw(Frame& frame, double x, int groundY, bool doorOpen) const {
    const double b = brick_.width;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) frame.Over(brick_, x + col * b, groundY - (row + 1) * b);
    // The hat's brim sits on the wall, a little overhanging.
    frame.Over(roof_, x + 1.5 * b - roof_.width * 0.45, groundY - 2 * b - roof_.height + 14);
    const Picture& door = doorOpen ? openDoor_ : closedDoor_;
    frame.Over(door, x + kDoor - door.width / 2.0, groundY - door.height);
}

void Cottage::DrawWindow(Frame& frame, double x, int groundY, double light) const {
    const double cx = x + brick_.width * 2.5, cy = groundY - brick_.width * 1.5;
    frame.Over(window_, cx - window_.width / 2.0, cy - window_.height / 2.0);
    frame.Glow(cx, cy, 70, {1.0f, 0.8f, 0.45f}, 0.35 * light);
}

Twinkles MakeTwinkles(int count, float top, float bottom, float smallest, float largest, uint32_t seed, Rgb colour) {
    artgen::Random random(seed);
    Twinkles t;
    t.colour = colour;
    for (int i = 0; i < count; ++i)
        t.points.push_back({static_cast<float>(random.range(0, kFrameWidth)), static_cast<float>(random.range(top, bottom)),
                            static_cast<float>(random.range(smallest, largest)),
                            static_cast<float>(random.range(0, 2 * kPi)), static_cast<float>(random.range(1.5, 4.0))});
    return t;
}

void DrawTwinkles(Frame& frame, const Twinkles& twinkles, double t, double scrollX, double fall, double strength) {
    for (const Twinkles::Point& p : twinkles.points) {
        double x = std::fmod(p.x - scrollX * (0.6 + 0.4 * p.size / 3), static_cast<double>(kFrameWidth));
        if (x < 0) x += kFrameWidth;
        double y = p.y;
        if (fall != 0) {
            y = std::fmod(p.y + fall * t * (0.5 + p.size / 4), static_cast<double>(kFrameHeight));
            x += 8 * std::sin(t * 1.3 + p.phase);
        }
        const double shine = strength * (0.55 + 0.45 * std::sin(t * p.speed + p.phase));
        frame.Glow(x, y, p.size * 2.2, twinkles.colour, shine);
    }
}

Picture Caption(const std::string& line1, const std::string& line2) {
    using namespace artgen;
    Canvas c(608, 70);
    c.fillRoundRect(0, 0, 608, 70, 18, Rgba(24, 12, 48, 215));
    c.fillRoundRect(2, 2, 604, 66, 16, Rgba(60, 34, 104, 120));
    TextStyle style = noteStyle(20);
    style.face = Face::Serif;
    const Canvas a = styledText(line1, style);
    if (line2.empty()) {
        c.draw(a, 304 - a.width() / 2, 35 - a.height() / 2);
    } else {
        const Canvas b = styledText(line2, style);
        c.draw(a, 304 - a.width() / 2, 20 - a.height() / 2);
        c.draw(b, 304 - b.width() / 2, 48 - b.height() / 2);
    }
    return ToPicture(c);
}

Picture Heading(const std::string& text, int size) { return ToPicture(artgen::styledText(text, artgen::headingStyle(size))); }
Picture Words(const std::string& text, int size) { return ToPicture(artgen::styledText(text, artgen::menuWordStyle(size))); }
Picture TitleWord() { return ToPicture(artgen::titleWord()); }

Picture Line(const std::string& text, int size) {
    artgen::TextStyle style = artgen::noteStyle(size);
    style.face = artgen::Face::Serif;
    return ToPicture(artgen::styledText(text, style));
}

Picture Glint(int radius, Rgb colour) {
    artgen::Canvas c(2 * radius, 2 * radius, artgen::Rgba(0, 0, 0));
    artgen::sparkle(c, radius, radius, radius, ToRgba(colour));
    return ToPicture(c);
}

Picture Rays(int size, int count, Rgb colour, double turn, double inner, bool core) {
    artgen::Canvas c(size, size, artgen::Rgba(0, 0, 0));
    artgen::rays(c, size / 2.0, size / 2.0, count, size * inner, size / 2.0, size * 0.05, turn, ToRgba(colour, 200));
    if (core) c.glow(size / 2.0, size / 2.0, size * 0.2, ToRgba(colour, 160), 1.6);
    return ToPicture(c);
}

Picture Disc(double radius, Rgb colour) {
    const int size = static_cast<int>(std::ceil(radius * 2)) + 2;
    artgen::Canvas c(size, size);
    c.fillCircle(size / 2.0, size / 2.0, radius, ToRgba(colour));
    return ToPicture(c);
}

Shade Vignette(double strength) {
    Shade shade;
    shade.keep.resize(size_t{kFrameWidth} * kFrameHeight);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const double dx = (x + 0.5) / kFrameWidth - 0.5, dy = (y + 0.5) / kFrameHeight - 0.5;
            const double d = std::sqrt(dx * dx + dy * dy) / std::sqrt(0.5);
            const double a = strength * std::pow(std::clamp((d - 0.45) / 0.55, 0.0, 1.0), 1.6);
            shade.keep[size_t(y) * kFrameWidth + x] = static_cast<uint8_t>(std::lround(255 * (1 - a)));
        }
    return shade;
}

Picture Medallion(Theme theme, int radius) {
    using namespace artgen;
    Canvas land(radius * 4, radius * 3);
    paintLandscape(land, theme, false);
    const int size = 2 * radius + 8;
    Canvas c(size, size);
    const double centre = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            if (d >= radius) continue;
            Rgba p = land.get(x - static_cast<int>(centre) + radius * 2, y - static_cast<int>(centre) + radius * 3 / 2);
            if (d > radius - 1.5) p.a = static_cast<uint8_t>(255 * (radius - d) / 1.5);
            c.set(x, y, p);
        }
    c.ring(centre, centre, radius, 4, Rgba(255, 206, 110));
    c.ring(centre, centre, radius + 3, 1.5, Rgba(60, 34, 104));
    c.ring(centre, centre, radius - 3, 1.5, Rgba(60, 34, 104, 200));
    return ToPicture(c);
}

artgen::Canvas Lit(const artgen::Canvas& canvas, Rgb light) {
    artgen::Canvas out = canvas;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const artgen::Rgba p = out.get(x, y);
            const auto channel = [](uint8_t v, float k) { return std::min(255, static_cast<int>(v * k)); };
            out.set(x, y, artgen::Rgba(channel(p.r, light.r), channel(p.g, light.g), channel(p.b, light.b), p.a));
        }
    return out;
}

Picture Sprite(const artgen::Canvas& canvas, int scale, bool mirror, Rgb light) {
    const artgen::Canvas lit = Lit(canvas, light);
    const artgen::Canvas big = scale > 1 ? artgen::scaled(lit, scale) : lit;
    return ToPicture(mirror ? artgen::mirrored(big) : big);
}

void DrawCaption(Frame& frame, const Picture& caption, double opacity) {
    frame.Over(caption, (kFrameWidth - caption.width) / 2, kFrameHeight - 12 - caption.height, opacity);
}

}  // namespace moviegen
