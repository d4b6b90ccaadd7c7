// The front-end scenes: one per-tick routine each (update and draw in one),
// and the routine that sets each scene's starting values. The frame tick
// dispatches to them by scene number.
#pragma once

void updateGameOverScene();
void updateTitleScene();
void updateStageSelectScene();
void updateRankingScene();
void updateSettingsScene();
void updateInterludeScene();
void updateOpeningMovieScene();
void updateStartupMovieScene();
void updateEndingMovieScene();
void updateMidGameMovieScene();

void resetGameOverScene();
void resetTitleScene();
void resetStageSelectScene();
void resetRankingScene();
void resetSettingsScene();
void resetInterludeScene();

// Windowed <-> full screen, as the settings' screen row does it: the saved
// setting flips, the display switches and the current scene's pictures are
// loaded again. Also the shell's Alt+Enter and F11.
void toggleFullScreen();
