// Sound handles and the table: layout, stale and forged handles, the load
// modes, the 4096-sound limit, the quoted failure lines, and running silent
// without a device.
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace sound_testing;
using namespace sound_fixtures;
namespace mixer = media::sound::mixer;

namespace {

class SoundTableTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        WriteWav16("beep.wav", Sine(880.0, 44100, 2000, 1, 0.3), 1, 44100);
    }
};

}  // namespace

TEST_F(SoundTableTest, HandlesCarryKindTwoIndexAndSerial) {
    const int a = LoadSound("beep.wav", 3, -1);
    const int b = LoadSound("beep.wav", 3, -1);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_EQ(a >> 27 & 0xF, 2);
    EXPECT_EQ(b >> 27 & 0xF, 2);
    EXPECT_EQ(a & 0xFFFF, 0);
    EXPECT_EQ(b & 0xFFFF, 1);
    EXPECT_NE(a >> 16 & 0x7FF, b >> 16 & 0x7FF);
}

TEST_F(SoundTableTest, StaleAndForgedHandlesAreRefused) {
    const int old = LoadSound("beep.wav", 3, -1);
    ASSERT_EQ(DeleteAllSounds(0), 0);
    EXPECT_EQ(PlaySound(old, kPlayOnce, 1), -1);
    EXPECT_EQ(StopSound(old), -1);
    const int fresh = LoadSound("beep.wav", 3, -1);
    EXPECT_EQ(fresh & 0xFFFF, old & 0xFFFF);  // same slot, new serial
    EXPECT_NE(fresh, old);
    EXPECT_EQ(PlaySound(old, kPlayOnce, 1), -1);
    EXPECT_EQ(mixer::SoundingVoices(), 0);

    const int index = fresh & 0xFFFF;
    const int serial = fresh >> 16 & 0x7FF;
    for (int forged : {-1, 0, (fresh & ~(0xF << 27)) | 1 << 27, fresh | 0x4000, 2 << 27 | serial << 16 | 5000,
                       2 << 27 | ((serial + 1) & 0x7FF) << 16 | index, fresh | static_cast<int>(0x80000000u)}) {
        EXPECT_EQ(PlaySound(forged, kPlayOnce, 1), -1) << std::hex << forged;
        EXPECT_EQ(StopSound(forged), -1) << std::hex << forged;
    }
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    EXPECT_EQ(PlaySound(fresh, kPlayOnce, 1), 0);
}

TEST_F(SoundTableTest, OutOfRangeLoadModeIsRefusedAndTheModeKept) {
    for (int mode : {0, 1, 2, 3}) EXPECT_EQ(SetSoundLoadMode(mode), 0);
    ASSERT_EQ(SetSoundLoadMode(2), 0);
    EXPECT_EQ(SetSoundLoadMode(4), -1);
    EXPECT_EQ(SetSoundLoadMode(-1), -1);
    // Still mode 2: a stream, so three starts give one voice, not three copies.
    const int streamed = LoadSound("beep.wav", 3, -1);
    for (int i = 0; i < 3; ++i) PlaySound(streamed, kPlayOnce, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 1);
    ASSERT_EQ(SetSoundLoadMode(0), 0);
    const int memory = LoadSound("beep.wav", 3, -1);
    for (int i = 0; i < 3; ++i) PlaySound(memory, kPlayOnce, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 4);
}

TEST_F(SoundTableTest, InitMediaStartsInLoadModeZero) {
    SetSoundLoadMode(3);
    EndMedia();
    ASSERT_EQ(InitMedia(), 0);
    mixer::HoldDevice(true);
    const int h = LoadSound("beep.wav", 3, -1);
    for (int i = 0; i < 3; ++i) PlaySound(h, kPlayOnce, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 3);
}

TEST_F(SoundTableTest, TheTableHoldsAtMost4096Sounds) {
    for (int i = 0; i < 4096; ++i) ASSERT_GE(LoadSound("beep.wav", 1, -1), 0) << i;
    EXPECT_EQ(LoadSound("beep.wav", 1, -1), -1);
    EXPECT_NE(LogText().find("サウンドの数が許容量を越えました"), std::string::npos);
    ASSERT_EQ(DeleteAllSounds(0), 0);
    EXPECT_EQ(LoadSound("beep.wav", 1, -1) & 0xFFFF, 0);
}

TEST_F(SoundTableTest, LoadFailuresLogTheirLines) {
    WriteBytes("junk.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'x'});
    EXPECT_EQ(LoadSound("missing.wav", 3, -1), -1);
    EXPECT_EQ(LoadSound("junk.wav", 3, -1), -1);
    SetSoundLoadMode(2);
    EXPECT_EQ(LoadSound("missing.ogg", 3, -1), -1);
    SetSoundLoadMode(3);
    EXPECT_EQ(LoadSound("junk.wav", 3, -1), -1);
    const std::string log = LogText();
    for (const char* line : {"右記のファイルのオープンに失敗しました：missing.wav",
                             "右記の音声ファイルのロードに失敗しました_1：missing.wav",
                             "音声ファイルのＰＣＭへの変換に失敗しました",
                             "右記の音声ファイルのロードに失敗しました_2：junk.wav",
                             "右記のＷＡＶファイルのロードに失敗しました：missing.ogg \r\n",
                             "右記のＷＡＶファイルのセットアップに失敗しました：junk.wav \r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    // Nothing was taken from the table.
    EXPECT_EQ(LoadSound("beep.wav", 1, -1) & 0xFFFF, 0);
}

TEST_F(SoundTableTest, ReleasingEverythingSilencesEverything) {
    SetSoundLoadMode(2);
    const int music = LoadSound("beep.wav", 3, -1);
    SetSoundLoadMode(0);
    const int effect = LoadSound("beep.wav", 3, -1);
    PlaySound(music, kPlayLoop, 1);
    PlaySound(effect, kPlayLoop, 1);
    EXPECT_EQ(mixer::SoundingVoices(), 2);
    EXPECT_EQ(DeleteAllSounds(1), 0);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    for (float v : Pull(256)) ASSERT_EQ(v, 0.0f);
}

// Without an audio device the game runs silent.
TEST(SoundOff, EveryOperationFailsQuietly) {
    testing_support::ScratchDirectory scratch("sound_off");
    WriteWav16("beep.wav", Sine(880.0, 44100, 2000, 1, 0.3), 1, 44100);
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        testing_support::HeadlessMedia media;
        EXPECT_TRUE(media.ok());
        EXPECT_FALSE(mixer::DeviceOpen());
        const int h = LoadSound("beep.wav", 3, -1);
        EXPECT_EQ(h, -1);
        EXPECT_EQ(PlaySound(h, kPlayOnce, 1), -1);
        EXPECT_EQ(StopSound(h), -1);
        EXPECT_EQ(DeleteAllSounds(0), -1);
        EXPECT_EQ(ProcessMessage(), 0);
    }
    if (previous) setenv("SDL_AUDIODRIVER", saved.c_str(), 1); else unsetenv("SDL_AUDIODRIVER");
}
