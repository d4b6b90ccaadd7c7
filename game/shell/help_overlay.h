// The controls, shown over whatever scene runs while F1 is held.
#pragma once

// Draws the controls picture over the frame while F1 is held; nothing
// otherwise. Called by the frame tick after the scene has drawn.
void drawHelpOverlay();
