#include "game/play/draw_quad.h"

#include "game/state/globals.h"
#include "media/media.h"

#include <cmath>

namespace {

// Degrees to radians with pi as a float holds it; the one-pixel roundings of
// turned pictures depend on it.
constexpr double kPi = 3.1415927410125732;

double radians(int degrees) { return degrees * kPi / 180.0; }

}  // namespace

QuadCorners quadCorners(int x, int y, int w, int h, int turnY, int turnX, int angle, int flip,
                        double shakeX, double shakeY) {
    // The picture as a flat square of side 0.5 about the origin, y down.
    static constexpr double kSquareX[4] = {-0.25, 0.25, 0.25, -0.25};
    static constexpr double kSquareY[4] = {-0.25, -0.25, 0.25, 0.25};

    const double cosA = std::cos(radians(angle)), sinA = std::sin(radians(angle));
    const double cosB = std::cos(radians(turnY)), sinB = std::sin(radians(turnY));
    const double cosG = std::cos(radians(turnX)), sinG = std::sin(radians(turnX));

    double px[4], py[4];
    for (int i = 0; i < 4; ++i) {
        // Shrink by half and turn in the picture plane.
        double cx = kSquareX[i] / 2 * cosA - kSquareY[i] / 2 * sinA;
        double cy = kSquareX[i] / 2 * sinA + kSquareY[i] / 2 * cosA;
        // Turn about the vertical axis (the square starts at depth 0), then
        // divide by the depth.
        double z = cx * sinB;
        double d = 1 + z * 0.25;
        cx = cx * cosB / d;
        cy = cy / d;
        // Turn about the horizontal axis, from depth 0 again.
        if (turnX != 0) {
            z = cy * sinG;
            d = 1 + z * 0.25;
            cx = cx / d;
            cy = cy * cosG / d;
        }
        px[i] = cx * 4 * w;
        py[i] = cy * 4 * h;
    }

    // A flip hands the corners over as top-right, top-left, bottom-left,
    // bottom-right.
    static constexpr int kOrder[2][4] = {{0, 1, 2, 3}, {1, 0, 3, 2}};
    QuadCorners out{};
    for (int i = 0; i < 4; ++i) {
        const int k = kOrder[flip ? 1 : 0][i];
        out.x[i] = static_cast<int>(x + shakeX + px[k]);
        out.y[i] = static_cast<int>(y + shakeY + py[k]);
    }
    return out;
}

namespace {
QuadObserver gObserver = nullptr;
}  // namespace

void setQuadObserver(QuadObserver observer) { gObserver = observer; }

int drawQuad(int x, int y, int w, int h, int turnY, int turnX, int angle, int image,
             int transparent, int flip) {
    if (gObserver) gObserver({x, y, w, h, turnY, turnX, angle, image, transparent, flip});
    const QuadCorners c = quadCorners(x, y, w, h, turnY, turnX, angle, flip, game.shakeX, game.shakeY);
    return DrawImageQuad(c.x[0], c.y[0], c.x[1], c.y[1], c.x[2], c.y[2], c.x[3], c.y[3], image,
                         transparent);
}
