// Drawing the play scene.
#pragma once

// One complete frame of the play field, status display and overlays.
void drawPlayScene();

// Every live actor once.
void drawActors();

// Every live effect once.
void drawEffects();
