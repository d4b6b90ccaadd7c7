// The creatures before their behaviours exist: they stand still.
#include "game/play/actor_kinds.h"

void updateHomingBonus(int) {}
void updateTimedSpawner(int) {}
void updateScriptedSpawner(int) {}
void updateFireWalker(int) {}
void updateFlame(int) {}
void updateFireBreathingWalker(int) {}
void updateSleeper(int) {}
void updateCannonShot(int) {}
void updateCannon(int) {}
void updateChaser(int) {}
void updateBlockWalker(int) {}
void updateWallCrawler(int) {}
void updateVerticalFlier(int) {}
void updateHorizontalFlier(int) {}
