// The play scene's catalogue as a list of load requests: which file goes
// into which handle slot. The scene loader carries the requests out; tests
// and tools can read the list without loading anything.
#pragma once

#include <cstdint>

class PlayAssetVisitor {
public:
    virtual ~PlayAssetVisitor() = default;
    // One picture into one slot.
    virtual void picture(int32_t* slot, const char* fileName) = 0;
    // A sheet cut row by row into `cells` 32x32 pictures, into consecutive slots.
    virtual void sheet(int32_t* firstSlot, const char* fileName, int cells, int across,
                       int down) = 0;
    // A sound, or the stage music (streamed).
    virtual void sound(int32_t* slot, const char* fileName, bool streamed) = 0;
};

// Every picture of the play scene for `stage`, in loading order.
void visitPlaySceneImages(int stage, PlayAssetVisitor& visitor);
// Every sound of the play scene for `stage`, in loading order.
void visitPlaySceneSounds(int stage, PlayAssetVisitor& visitor);

// Has the media layer decode ahead, on its worker thread, the pictures and
// sounds entering the play scene at `stage` loads, the intro's overlay
// frames and the next stage's background; or only the next stage's
// background, when it is another.
void preparePlayScene(int stage);
void prepareNextStageBackground(int stage);
