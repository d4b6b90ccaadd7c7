#include "tools/moviegen/canvas.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace moviegen {
namespace {

std::string gFontFile;
std::map<int, TTF_Font*> gFonts;

TTF_Font* Font(int size) {
    auto it = gFonts.find(size);
    if (it != gFonts.end()) return it->second;
    TTF_Font* font = TTF_OpenFont(gFontFile.c_str(), size);
    if (font) gFonts[size] = font;
    return font;
}

uint8_t Channel(float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

}  // namespace

Colour Mix(Colour a, Colour b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

bool OpenFonts(const std::string& fontFile) {
    if (!TTF_WasInit() && TTF_Init() != 0) return false;
    gFontFile = fontFile;
    return Font(24) != nullptr;
}

void CloseFonts() {
    for (auto& [size, font] : gFonts) TTF_CloseFont(font);
    gFonts.clear();
    if (TTF_WasInit()) TTF_Quit();
}

Canvas::Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * height) {}

void Canvas::Blend(int x, int y, Colour c, float opacity) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || opacity <= 0) return;
    uint32_t& p = pixels_[size_t(y) * width_ + x];
    if (opacity >= 1) {
        p = 0xFF000000u | (uint32_t(Channel(c.r)) << 16) | (uint32_t(Channel(c.g)) << 8) | Channel(c.b);
        return;
    }
    const float r = ((p >> 16) & 0xFF) / 255.0f, g = ((p >> 8) & 0xFF) / 255.0f, b = (p & 0xFF) / 255.0f;
    const Colour out = Mix({r, g, b}, c, opacity);
    p = 0xFF000000u | (uint32_t(Channel(out.r)) << 16) | (uint32_t(Channel(out.g)) << 8) | Channel(out.b);
}

void Canvas::Fill(Colour c) { Rect(0, 0, float(width_), float(height_), c); }

void Canvas::VerticalGradient(Colour top, Colour bottom) {
    for (int y = 0; y < height_; ++y) {
        const Colour c = Mix(top, bottom, float(y) / float(height_ - 1));
        for (int x = 0; x < width_; ++x) Blend(x, y, c, 1);
    }
}

void Canvas::Rect(float x0, float y0, float x1, float y1, Colour c, float opacity) {
    const int left = std::max(0, int(std::lround(x0))), right = std::min(width_, int(std::lround(x1)));
    const int top = std::max(0, int(std::lround(y0))), bottom = std::min(height_, int(std::lround(y1)));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) Blend(x, y, c, opacity);
}

void Canvas::Circle(float cx, float cy, float radius, Colour c, float opacity) {
    const int top = std::max(0, int(cy - radius - 1)), bottom = std::min(height_ - 1, int(cy + radius + 1));
    const int left = std::max(0, int(cx - radius - 1)), right = std::min(width_ - 1, int(cx + radius + 1));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            Blend(x, y, c, opacity * std::clamp(radius - d + 0.5f, 0.0f, 1.0f));  // soft edge
        }
}

void Canvas::Glow(float cx, float cy, float radius, Colour c, float opacity) {
    const int top = std::max(0, int(cy - radius)), bottom = std::min(height_ - 1, int(cy + radius));
    const int left = std::max(0, int(cx - radius)), right = std::min(width_ - 1, int(cx + radius));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const float t = 1.0f - std::hypot(x - cx, y - cy) / radius;
            if (t > 0) Blend(x, y, c, opacity * t * t);
        }
}

void Canvas::Triangle(float x0, float y0, float x1, float y1, float x2, float y2, Colour c, float opacity) {
    const int top = std::max(0, int(std::floor(std::min({y0, y1, y2}))));
    const int bottom = std::min(height_ - 1, int(std::ceil(std::max({y0, y1, y2}))));
    const int left = std::max(0, int(std::floor(std::min({x0, x1, x2}))));
    const int right = std::min(width_ - 1, int(std::ceil(std::max({x0, x1, x2}))));
    const float area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area == 0) return;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float w0 = ((x1 - px) * (y2 - py) - (x2 - px) * (y1 - py)) / area;
            const float w1 = ((x2 - px) * (y0 - py) - (x0 - px) * (y2 - py)) / area;
            const float w2 = 1 - w0 - w1;
            if (w0 >= 0 && w1 >= 0 && w2 >= 0) Blend(x, y, c, opacity);
        }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float thickness, Colour c, float opacity) {
    const float length = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, int(length * 2));
    for (int i = 0; i <= steps; ++i) {
        const float t = float(i) / steps;
        Circle(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, thickness / 2, c, opacity);
    }
}

bool Canvas::Text(const std::string& text, float cx, float cy, int pointSize, Colour c, float opacity) {
    TTF_Font* font = Font(pointSize);
    if (!font) return false;
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered) return false;
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!surface) return false;
    const int left = int(std::lround(cx - surface->w / 2.0f)), top = int(std::lround(cy - surface->h / 2.0f));
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                            size_t(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x) Blend(left + x, top + y, c, opacity * (row[x] >> 24) / 255.0f);
    }
    SDL_FreeSurface(surface);
    return true;
}

}  // namespace moviegen
