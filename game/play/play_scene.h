// The play scene: one stage of play.
#pragma once

int updatePlayScene();
void loadStage();
