// The creatures' behaviours: one routine per kind or family, each taking the
// actor slot and doing nothing unless the slot holds one of its kinds. The
// driver calls them in its fixed order.
#pragma once

void updateHomingBonus(int slot);          // 41
void updateTimedSpawner(int slot);         // 36..40
void updateScriptedSpawner(int slot);      // 35
void updateFireWalker(int slot);           // 34
void updateFlame(int slot);                // 33
void updateFireBreathingWalker(int slot);  // 32
void updateSleeper(int slot);              // 30, 31
void updateCannonShot(int slot);           // 29
void updateCannon(int slot);               // 27, 28
void updateChaser(int slot);               // 13
void updateBlockWalker(int slot);          // 12, 16, 17
void updateWallCrawler(int slot);          // 11, 14, 15
void updateVerticalFlier(int slot);        // 18..23
void updateHorizontalFlier(int slot);      // 24..26
