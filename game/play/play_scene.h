// The play scene: one stage of play.
#pragma once

// One tick of the play scene (scene 0): counters, player, actors, effects,
// contact, shake, drawing and the scene exits. Returns 0.
int updatePlayScene();

// The same tick without drawing: for replays, searches and benchmarks.
void updatePlayLogic();

// Builds the stage game.stageNumber from its three files in folder 01.
void loadStage();

// Someone watching play, e.g. the replay recorder: told after every stage
// load, and before and after every tick of updatePlayScene().
struct PlayWatcher {
    void (*stageLoaded)();
    void (*tickStarting)();
    void (*tickFinished)();
};
void setPlayWatcher(const PlayWatcher* watcher);
// Tells the watcher that loadStage() has built a stage.
void notifyStageLoaded();
