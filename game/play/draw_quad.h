// drawQuad: the game's one picture-drawing routine. A picture is placed by
// its centre (x, y) and size (w, h), optionally turned in the picture plane
// (angle), about the vertical axis (turnY) and about the horizontal axis
// (turnX), all in degrees, and mirrored left-right (flip). The play scene's
// screen shake is added to every corner.
#pragma once

struct QuadCorners {
    int x[4];  // top-left, top-right, bottom-right, bottom-left
    int y[4];
};

// The corners drawQuad hands to DrawImageQuad, in the order it hands them
// (a flip swaps left and right).
QuadCorners quadCorners(int x, int y, int w, int h, int turnY, int turnX, int angle, int flip,
                        double shakeX, double shakeY);

int drawQuad(int x, int y, int w, int h, int turnY, int turnX, int angle, int image,
             int transparent, int flip);

// Tests may watch every picture drawQuad draws (with its arguments as given).
struct QuadDraw {
    int x, y, w, h, turnY, turnX, angle, image, transparent, flip;
};
using QuadObserver = void (*)(const QuadDraw& draw);
void setQuadObserver(QuadObserver observer);
