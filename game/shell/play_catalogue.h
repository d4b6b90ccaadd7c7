// The scenes' catalogues as lists of load requests: which file goes into
// which handle slot, and which sound starts at once. The scene loader carries
// the requests out; tests and tools can read the lists without loading
// anything.
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
    // A sound, or music (streamed).
    virtual void sound(int32_t* slot, const char* fileName, bool streamed) = 0;
    // The sound just loaded into `slot` starts at once (play type 1 once, 3
    // looping); a visitor that only lists the files leaves this alone.
    virtual void start(int32_t* /*slot*/, int /*playType*/) {}
};

// Carries the requests out through the media layer.
class SceneLoader final : public PlayAssetVisitor {
public:
    void picture(int32_t* slot, const char* fileName) override;
    void sheet(int32_t* firstSlot, const char* fileName, int cells, int across, int down) override;
    void sound(int32_t* slot, const char* fileName, bool streamed) override;
    void start(int32_t* slot, int playType) override;
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
// Every picture and every sound of a front-end scene, in loading order; the
// movie scenes load nothing.
void visitFrontEndSceneImages(int scene, PlayAssetVisitor& visitor);
void visitFrontEndSceneSounds(int scene, PlayAssetVisitor& visitor);
