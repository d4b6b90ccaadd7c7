// DrawText with the default font: glyphs are rendered once by SDL_ttf into
// an atlas kept as an ordinary pixel store, then drawn as quads like any
// picture, so a line of digits costs one batched draw.
#include "media/core/api_lock.h"
#include "media/core/log.h"
#include "media/images/draw_state.h"
#include "media/images/image_table.h"
#include "media/images/images_area.h"
#include "media/images/render_queue.h"
#include "media/media.h"

#include <SDL_ttf.h>
#ifdef LUMOTTA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <memory>
#include <string>
#include <unordered_map>

namespace media::images {
namespace {

constexpr int kAtlasSide = 512;
constexpr const char* kFontFace = "DejaVu Sans";
// Where Debian and other systems keep the face when fontconfig cannot say.
constexpr const char* kKnownFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu-sans-fonts/DejaVuSans.ttf",
};

struct Glyph {
    SDL_Rect area;     // in the atlas
    int advance;
};

struct TextState {
    bool ttfStarted = false;
    std::string fontPath;
    TTF_Font* font = nullptr;
    int fontSize = 0;
    bool reportedMissing = false;
    std::shared_ptr<PixelStore> atlas;
    std::unordered_map<uint32_t, Glyph> glyphs;
    int shelfX = 0, shelfY = 0, shelfHeight = 0;
};

TextState gText;

std::string FindFontFile() {
#ifdef LUMOTTA_HAVE_FONTCONFIG
    // Asked once and let go at once: nothing else here uses fontconfig, and
    // its configuration would otherwise stay in memory to the end.
    if (FcInit()) {
        std::string found;
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFontFace));
        if (pattern) {
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result;
            if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
                FcChar8* file = nullptr;
                if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
                    found = reinterpret_cast<const char*>(file);
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        FcFini();
        if (!found.empty()) return found;
    }
#endif
    for (const char* path : kKnownFontPaths)
        if (SDL_RWops* rw = SDL_RWFromFile(path, "rb")) {
            SDL_RWclose(rw);
            return path;
        }
    return {};
}

// The face's file, looked up on the first start of the media layer.
const std::string& FontFile() {
    static const std::string path = FindFontFile();
    return path;
}

void ResetAtlas() {
    gText.glyphs.clear();
    gText.shelfX = gText.shelfY = gText.shelfHeight = 0;
    if (!gText.atlas) {
        gText.atlas = std::make_shared<PixelStore>();
        gText.atlas->width = gText.atlas->height = kAtlasSide;
        gText.atlas->hasAlpha = true;
    }
    gText.atlas->pixels.assign(static_cast<size_t>(kAtlasSide) * kAtlasSide, 0x00FFFFFFu);
    RestoreTextures(*gText.atlas);
}

bool OpenFont(int size) {
    if (gText.font && gText.fontSize == size) return true;
    FlushRender();
    if (gText.font) TTF_CloseFont(gText.font);
    gText.font = nullptr;
    gText.fontSize = size;
    if (gText.fontPath.empty()) gText.fontPath = FontFile();
    if (!gText.fontPath.empty()) gText.font = TTF_OpenFont(gText.fontPath.c_str(), size);
    if (!gText.font) {
        if (!gText.reportedMissing)
            log::Write("No default font could be opened (%s); text is not drawn\n",
                       gText.fontPath.empty() ? kFontFace : gText.fontPath.c_str());
        gText.reportedMissing = true;
        return false;
    }
    ResetAtlas();
    return true;
}

// The glyph of `codepoint`, rendered into the atlas on first use.
const Glyph* GlyphFor(uint32_t codepoint) {
    if (auto it = gText.glyphs.find(codepoint); it != gText.glyphs.end()) return &it->second;
    int minX, maxX, minY, maxY, advance;
    if (TTF_GlyphMetrics32(gText.font, codepoint, &minX, &maxX, &minY, &maxY, &advance) != 0) return nullptr;
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(gText.font, codepoint, SDL_Color{255, 255, 255, 255});
    if (!rendered) return nullptr;
    SDL_Surface* glyph = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!glyph) return nullptr;
    const int w = glyph->w, h = glyph->h;
    if (w > kAtlasSide || h > kAtlasSide) {
        SDL_FreeSurface(glyph);
        return nullptr;
    }
    if (gText.shelfX + w > kAtlasSide) {
        gText.shelfX = 0;
        gText.shelfY += gText.shelfHeight + 1;
        gText.shelfHeight = 0;
    }
    if (gText.shelfY + h > kAtlasSide) {
        // Full: start again (the queued draws still see the old glyphs).
        FlushRender();
        ResetAtlas();
    }
    const SDL_Rect area{gText.shelfX, gText.shelfY, w, h};
    PixelStore& atlas = *gText.atlas;
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(glyph->pixels) +
                                                           static_cast<size_t>(y) * glyph->pitch);
        uint32_t* out = &atlas.pixels[static_cast<size_t>(area.y + y) * kAtlasSide + area.x];
        for (int x = 0; x < w; ++x) out[x] = (in[x] & 0xFF000000u) | 0x00FFFFFFu;
    }
    SDL_FreeSurface(glyph);
    if (atlas.texture) {
        FlushRender();
        SDL_UpdateTexture(atlas.texture, &area,
                          &atlas.pixels[static_cast<size_t>(area.y) * kAtlasSide + area.x], kAtlasSide * 4);
    }
    gText.shelfX += w + 1;
    if (h > gText.shelfHeight) gText.shelfHeight = h;
    return &gText.glyphs.emplace(codepoint, Glyph{area, advance}).first->second;
}

// The next code point of UTF-8 text; malformed bytes read as U+FFFD.
uint32_t NextCodepoint(const unsigned char*& p) {
    const uint32_t c = *p++;
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || c > 0xF4) return 0xFFFD;
    uint32_t value = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i, ++p) {
        if ((*p & 0xC0) != 0x80) return 0xFFFD;
        value = (value << 6) | (*p & 0x3F);
    }
    return value;
}

}  // namespace

void StartText() {
    if (!gText.ttfStarted) {
        if (TTF_Init() != 0) {
            log::Write("The font renderer could not start: %s\n", TTF_GetError());
            return;
        }
        gText.ttfStarted = true;
    }
    if (OpenFont(State().fontSize)) log::Write("フォントの初期化は正常に終了しました\n");
}

void StopText() {
    if (gText.font) TTF_CloseFont(gText.font);
    const bool started = gText.ttfStarted;
    gText = TextState{};
    if (started) TTF_Quit();
}

void RestoreTextTextures() {
    if (gText.atlas) RestoreTextures(*gText.atlas);
}

}  // namespace media::images

using namespace media::images;

int SetDefaultFontSize(int size) {
    media::ApiLockGuard lock;
    if (size == -1) size = 16;
    if (size <= 0 || size > 512) return 0;
    if (size == State().fontSize) return 0;
    State().fontSize = size;
    if (GraphicsRunning() && gText.ttfStarted) OpenFont(size);
    return 0;
}

int DrawText(int x, int y, const char* text, int colorValue, int) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning() || !text || SDL_RectEmpty(&State().clip)) return 0;
    if (!gText.font) return 0;
    const DrawState& s = State();
    const int mode = s.blendMode == kBlendAlpha || s.blendMode == kBlendAdd ? s.blendMode : kBlendNone;
    const SDL_Color colour{static_cast<uint8_t>(colorValue >> 16), static_cast<uint8_t>(colorValue >> 8),
                           static_cast<uint8_t>(colorValue),
                           static_cast<uint8_t>(mode == kBlendNone ? 255 : s.blendParameter)};
    const int lineSkip = TTF_FontLineSkip(gText.font);
    int penX = x, penY = y;
    uint32_t previous = 0;
    for (auto p = reinterpret_cast<const unsigned char*>(text); *p;) {
        const uint32_t c = NextCodepoint(p);
        if (c == '\n') {
            penX = x;
            penY += lineSkip;
            previous = 0;
            continue;
        }
        if (previous) penX += TTF_GetFontKerningSizeGlyphs32(gText.font, previous, c);
        previous = c;
        const Glyph* glyph = GlyphFor(c);
        if (!glyph) continue;
        const float l = static_cast<float>(penX), t = static_cast<float>(penY);
        const float r = l + glyph->area.w, b = t + glyph->area.h;
        const float u0 = static_cast<float>(glyph->area.x), v0 = static_cast<float>(glyph->area.y);
        const float u1 = u0 + glyph->area.w, v1 = v0 + glyph->area.h;
        const Corner corners[4] = {{l, t, u0, v0}, {r, t, u1, v0}, {r, b, u1, v1}, {l, b, u0, v1}};
        QueueQuad(gText.atlas.get(), &glyph->area, true, mode, colour, corners);
        penX += glyph->advance;
    }
    return 0;
}
