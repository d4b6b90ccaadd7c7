// The four saved files in 01: ranking, joypad buttons, highest stage and
// settings, each the exact in-memory image of its record.
#pragma once

void setSavedDefaults();
void readSavedFiles();
void writeSavedFiles();

// Inserts a score into the ranking (ties go below the stored score).
void InsertHighScore(int score, int stageNumber);
