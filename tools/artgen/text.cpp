#include "tools/artgen/text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace artgen {

namespace {

std::string gFontDirectory;
std::map<std::pair<Face, int>, TTF_Font*> gFonts;

const char* fileOf(Face f) {
    switch (f) {
    case Face::Sans: return "DejaVuSans.ttf";
    case Face::SansBold: return "DejaVuSans-Bold.ttf";
    case Face::SansCondensedBold: return "DejaVuSansCondensed-Bold.ttf";
    case Face::Serif: return "DejaVuSerif.ttf";
    case Face::SerifBold: return "DejaVuSerif-Bold.ttf";
    case Face::SerifBoldItalic: return "DejaVuSerif-BoldItalic.ttf";
    case Face::MonoBold: return "DejaVuSansMono-Bold.ttf";
    }
    return "DejaVuSans.ttf";
}

TTF_Font* font(Face f, int size) {
    auto it = gFonts.find({f, size});
    if (it != gFonts.end()) return it->second;
    const std::string path = gFontDirectory + "/" + fileOf(f);
    TTF_Font* handle = TTF_OpenFont(path.c_str(), size);
    if (!handle) std::fprintf(stderr, "artgen: cannot open font %s: %s\n", path.c_str(), TTF_GetError());
    gFonts[{f, size}] = handle;
    return handle;
}

// Trims fully transparent rows and columns.
Canvas trimmed(const Canvas& c) {
    int x0 = c.width(), y0 = c.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.get(x, y).a) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (x1 < 0) return Canvas(1, 1);
    return cropped(c, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

Canvas renderGlyphs(const std::string& utf8, Face face, int size, int spacing) {
    TTF_Font* f = font(face, size);
    if (!f || utf8.empty()) return Canvas(1, 1);
    if (spacing == 0) {
        SDL_Surface* s = TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255});
        if (!s) return Canvas(1, 1);
        SDL_Surface* conv = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ABGR8888, 0);
        SDL_FreeSurface(s);
        if (!conv) return Canvas(1, 1);
        Canvas out(conv->w, conv->h);
        for (int y = 0; y < conv->h; ++y) {
            const auto* row = static_cast<const uint8_t*>(conv->pixels) + y * conv->pitch;
            for (int x = 0; x < conv->w; ++x) out.set(x, y, Rgba(255, 255, 255, row[x * 4 + 3]));
        }
        SDL_FreeSurface(conv);
        return out;
    }
    // Letter by letter (UTF-8 sequences kept whole) with extra spacing.
    std::vector<Canvas> letters;
    std::vector<int> advances;
    for (size_t i = 0; i < utf8.size();) {
        size_t n = 1;
        const unsigned char c = utf8[i];
        if (c >= 0xF0) n = 4;
        else if (c >= 0xE0) n = 3;
        else if (c >= 0xC0) n = 2;
        const std::string one = utf8.substr(i, n);
        i += n;
        int w = 0, h = 0;
        TTF_SizeUTF8(f, one.c_str(), &w, &h);
        letters.push_back(one == " " ? Canvas(w, h) : renderGlyphs(one, face, size, 0));
        advances.push_back(w);
    }
    int total = 0, height = 0;
    for (size_t i = 0; i < letters.size(); ++i) total += advances[i] + spacing, height = std::max(height, letters[i].height());
    Canvas out(std::max(1, total), std::max(1, height));
    int x = 0;
    for (size_t i = 0; i < letters.size(); ++i) {
        out.draw(letters[i], x, 0);
        x += advances[i] + spacing;
    }
    return out;
}

}  // namespace

bool startText(const std::string& fontDirectory) {
    gFontDirectory = fontDirectory;
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "artgen: font library failed: %s\n", TTF_GetError());
        return false;
    }
    // Every face must be there: a missing one would leave its words out of
    // the pictures without a sound.
    bool allThere = true;
    for (Face f : {Face::Sans, Face::SansBold, Face::SansCondensedBold, Face::Serif, Face::SerifBold,
                   Face::SerifBoldItalic, Face::MonoBold})
        allThere = font(f, 24) != nullptr && allThere;
    if (!allThere)
        std::fprintf(stderr, "artgen: the DejaVu fonts come with the Debian packages fonts-dejavu-core and "
                             "fonts-dejavu-extra\n");
    return allThere;
}

void stopText() {
    for (auto& [key, f] : gFonts)
        if (f) TTF_CloseFont(f);
    gFonts.clear();
    TTF_Quit();
}

Canvas renderText(const std::string& utf8, Face face, int pixelSize) {
    return trimmed(renderGlyphs(utf8, face, pixelSize, 0));
}

namespace {

// Only the empty columns at the sides cut away; the height stays the font's
// line, so texts drawn at the same y share their baseline.
Canvas trimmedSides(const Canvas& c) {
    int x0 = c.width(), x1 = -1;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.get(x, y).a) x0 = std::min(x0, x), x1 = std::max(x1, x);
    if (x1 < 0) return Canvas(1, c.height());
    return cropped(c, x0, 0, x1 - x0 + 1, c.height());
}

// The styled glyphs: fill, edges and shadow around the coverage given.
Canvas paintStyled(const Canvas& glyphs, const TextStyle& st);

}  // namespace

Canvas styledText(const std::string& utf8, const TextStyle& st) {
    return trimmed(paintStyled(trimmed(renderGlyphs(utf8, st.face, st.size, st.letterSpacing)), st));
}

Canvas styledLine(const std::string& utf8, const TextStyle& st) {
    return trimmedSides(paintStyled(renderGlyphs(utf8, st.face, st.size, st.letterSpacing), st));
}

namespace {

Canvas paintStyled(const Canvas& glyphs, const TextStyle& st) {
    const int margin = st.outlineWidth + st.outline2Width + std::abs(st.shadow) + 2;
    Canvas mask(glyphs.width() + 2 * margin, glyphs.height() + 2 * margin);
    mask.draw(glyphs, margin, margin);

    // Gradient fill through the glyph coverage.
    Canvas fillPaint(mask.width(), mask.height());
    for (int y = 0; y < mask.height(); ++y) {
        const double t = double(y - margin) / std::max(1, glyphs.height() - 1);
        const Rgba c = mix(st.top, st.bottom, t);
        for (int x = 0; x < mask.width(); ++x) fillPaint.set(x, y, c);
    }
    Canvas body = mask;
    body.maskWith(fillPaint);

    auto dilate = [&](const Canvas& src, int r, Rgba colour) {
        Canvas out(src.width(), src.height());
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                int best = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        if (dx * dx + dy * dy > r * r + r) continue;
                        best = std::max<int>(best, src.get(x + dx, y + dy).a);
                    }
                if (best) out.set(x, y, withAlpha(colour, best * colour.a / 255));
            }
        return out;
    };

    Canvas out(mask.width(), mask.height());
    Canvas edge1, edge2;
    if (st.outlineWidth > 0 && st.outline.a) edge1 = dilate(mask, st.outlineWidth, st.outline);
    if (st.outline2Width > 0 && st.outline2.a)
        edge2 = dilate(mask, st.outlineWidth + st.outline2Width, st.outline2);
    const Canvas& silhouette = !edge2.empty() ? edge2 : (!edge1.empty() ? edge1 : mask);
    if (st.shadow) {
        Canvas sh(out.width(), out.height());
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const Rgba p = silhouette.get(x - st.shadow, y - st.shadow);
                if (p.a) sh.set(x, y, Rgba(0, 0, 0, p.a * 2 / 3));
            }
        out.draw(sh, 0, 0);
    }
    if (!edge2.empty()) out.draw(edge2, 0, 0);
    if (!edge1.empty()) out.draw(edge1, 0, 0);
    out.draw(body, 0, 0);
    return out;
}

}  // namespace

void drawTextCentred(Canvas& into, const std::string& utf8, const TextStyle& style, int cx, int cy) {
    const Canvas t = styledText(utf8, style);
    into.draw(t, cx - t.width() / 2, cy - t.height() / 2);
}

void drawTextLeft(Canvas& into, const std::string& utf8, const TextStyle& style, int x, int cy) {
    const Canvas t = styledText(utf8, style);
    into.draw(t, x, cy - t.height() / 2);
}

}  // namespace artgen
