// Sounds inside pack archives: music streamed straight out of an archive
// (read and sought through the file layer as it plays) loops sample-exactly,
// and effects load from one as from a loose folder.
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"
#include "tools/pack/archive_writer.h"

#include <gtest/gtest.h>

using namespace sound_testing;
using namespace sound_fixtures;

namespace {

std::vector<uint8_t> ReadBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

pack::PackItem FileItem(const std::string& name, std::vector<uint8_t> data) {
    pack::PackItem item;
    item.name = name;
    item.data = std::move(data);
    return item;
}

class ArchiveSoundTest : public SoundTest {
protected:
    // Folder 05 packed into 05.lmt, with the loose copies removed.
    void PackFolder(bool compress) {
        WriteOgg("song.ogg", Chord(44100, 44100 * 7 + 123, 2), 2, 44100);
        WriteWav16("beep.wav", Sine(660.0, 22050, 5000, 1, 0.4), 1, 22050);
        reference_ = DecodeOggReference("song.ogg");
        pack::PackItem root;
        root.directory = true;
        root.children.push_back(FileItem("1.ogg", ReadBack("song.ogg")));
        root.children.push_back(FileItem("2.wav", ReadBack("beep.wav")));
        pack::PackOptions options;
        options.compress = compress;
        std::string error;
        ASSERT_TRUE(pack::WriteArchiveFile(root, options, "05.lmt", error)) << error;
        std::remove("song.ogg");
        std::remove("beep.wav");
        ASSERT_EQ(SetPackArchiveExtension("lmt"), 0);
    }

    void ExpectLoopsExactly(int mode) {
        SetSoundLoadMode(mode);
        const int h = LoadSound("05\\1.ogg", 3, -1);
        SetSoundLoadMode(0);
        ASSERT_GE(h, 0) << "mode " << mode;
        ASSERT_EQ(PlaySound(h, kPlayLoop, 1), 0);
        const std::vector<float> mix = PullWithUpkeep(44100 * 16);  // the ring wraps, the song loops twice
        const size_t length = reference_.size() / 2;
        for (size_t i = 0; i < mix.size(); ++i)
            ASSERT_EQ(mix[i], reference_[(i / 2 % length) * 2 + i % 2] * kStep) << "mode " << mode << ", sample " << i;
        StopSound(h);
    }

    std::vector<int16_t> reference_;
};

}  // namespace

TEST_F(ArchiveSoundTest, MusicStreamsOutOfACompressedArchive) {
    PackFolder(true);
    ExpectLoopsExactly(3);
    ExpectLoopsExactly(2);
}

TEST_F(ArchiveSoundTest, MusicStreamsOutOfAStoredArchive) {
    PackFolder(false);
    ExpectLoopsExactly(3);
}

TEST_F(ArchiveSoundTest, EffectsLoadFromAnArchive) {
    PackFolder(true);
    const int h = LoadSound("05\\2.wav", 3, -1);
    ASSERT_GE(h, 0);
    EXPECT_EQ(PlaySound(h, kPlayOnce, 1), 0);
    EXPECT_GT(Rms(Pull(4000), 100, 3900), 0.2);
    EXPECT_EQ(LoadSound("05\\3.wav", 3, -1), -1);
}
