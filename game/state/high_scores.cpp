#include "game/state/high_scores.h"

#include "game/state/globals.h"

void InsertHighScore(int score, int stageNumber) {
    for (int r = 0; r < 10; ++r) {
        if (score > game.highScores[r].score) {
            for (int k = 9; k > r; --k) game.highScores[k] = game.highScores[k - 1];
            game.highScores[r] = {score, stageNumber + 1};
            return;
        }
    }
}
