// The ranking of GameGlobals: ten rows of score and stage reached, best first.
#pragma once

// Inserts a score into the ranking (ties go below the stored score).
void InsertHighScore(int score, int stageNumber);
