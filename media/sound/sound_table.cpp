// The sound table and the public sound operations. A SoundHandle carries the
// slot index in bits 0-15, the occupant's serial in bits 16-26 and the kind 2
// in bits 27-30.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/load_report.h"
#include "media/core/log.h"
#include "media/media.h"
#include "media/sound/mixer.h"
#include "media/sound/sound.h"

#include <SDL.h>

#include <array>
#include <memory>

namespace media::sound {
namespace {

constexpr int kMaxSounds = 4096;
constexpr int kSerialMask = 0x7FF;
constexpr int kHandleKind = 2;
constexpr int kMaxCopies = 10;

struct Slot {
    std::unique_ptr<Sound> sound;
    int serial = 0;
};

std::array<Slot, kMaxSounds> gSlots;
int gLive = 0;
int gHighWater = 0;
int gNextSerial = 0;
int gLoadMode = 0;
bool gRunning = false;

int MakeHandle(int index, int serial) { return kHandleKind << 27 | serial << 16 | index; }

Sound* Lookup(int handle) {
    if (handle < 0 || (handle >> 27 & 0xF) != kHandleKind) return nullptr;
    const int index = handle & 0xFFFF;
    if (index >= kMaxSounds) return nullptr;
    const Slot& slot = gSlots[static_cast<size_t>(index)];
    if (!slot.sound || slot.serial != (handle >> 16 & kSerialMask)) return nullptr;
    return slot.sound.get();
}

// The slot at the high-water mark, once that has reached the end the lowest free one.
int TakeSlot(std::unique_ptr<Sound> sound) {
    int index = gHighWater;
    if (index >= kMaxSounds) {
        index = 0;
        while (gSlots[static_cast<size_t>(index)].sound) ++index;
    } else {
        ++gHighWater;
    }
    Slot& slot = gSlots[static_cast<size_t>(index)];
    slot.sound = std::move(sound);
    slot.serial = gNextSerial;
    gNextSerial = (gNextSerial + 1) & kSerialMask;
    ++gLive;
    return MakeHandle(index, slot.serial);
}

void ReleaseAll(bool logEach) {
    for (int i = 0; i < gHighWater; ++i) {
        Slot& slot = gSlots[static_cast<size_t>(i)];
        if (!slot.sound) continue;
        if (logEach) log::Write("Released sound %d: %s\n", MakeHandle(i, slot.serial), slot.sound->fileName.c_str());
        slot.sound.reset();
    }
    gLive = 0;
    gHighWater = 0;
}

void LogReason(const std::string& why) {
    if (why.empty()) return;
    log::NestIn();
    log::Write("(%s)\n", why.c_str());
    log::NestOut();
}

std::unique_ptr<Sound> LoadMemorySound(const char* name, int copies) {
    std::vector<uint8_t> bytes;
    switch (ReadWholeFile(name, bytes)) {
    case ReadResult::kOk: break;
    case ReadResult::kOpenFailed:
        log::Write("右記のファイルのオープンに失敗しました：%s\n", name);
        log::Write("右記の音声ファイルのロードに失敗しました_1：%s\n", name);
        return nullptr;
    case ReadResult::kNoMemory:
        log::Write("右記のファイルのロードに必要なメモリの確保に失敗しました：%s\n", name);
        log::Write("右記の音声ファイルのロードに失敗しました_1：%s\n", name);
        return nullptr;
    }
    std::string why;
    bool reused = false;
    std::shared_ptr<const DecodedSound> decoded = DecodeMemorySound(std::move(bytes), why, reused);
    if (!decoded) {
        log::Write("音声ファイルのＰＣＭへの変換に失敗しました\n");
        LogReason(why);
        log::Write("右記の音声ファイルのロードに失敗しました_2：%s\n", name);
        return nullptr;
    }
    const WaveFormat format = WaveFormat::Pcm16(decoded->channels, decoded->rate);
    auto sound = MakeMemorySound(std::move(decoded), copies);
    sound->format = format;
    report::NoteLoad(cache::Kind::Sound, reused ? report::Outcome::Reused : report::Outcome::Decoded);
    return sound;
}

std::unique_ptr<Sound> LoadStreamSound(const char* name, int mode, int sharedHandle) {
    std::unique_ptr<ByteSource> source;
    if (mode == 3) {
        const int handle = FileOpen(name, 0);
        if (handle != 0) source = MakeFileSource(handle);
    } else {
        std::vector<uint8_t> bytes;
        if (ReadWholeFile(name, bytes) == ReadResult::kOk) source = MakeMemorySource(std::move(bytes));
    }
    if (!source) {
        log::Write("右記のＷＡＶファイルのロードに失敗しました：%s \n", name);
        return nullptr;
    }
    std::string why;
    std::unique_ptr<Decoder> decoder = OpenDecoder(std::move(source), why);
    if (decoder && mode == 1) {
        // Decoded whole up front, then played as a stream.
        std::vector<int16_t> decoded;
        const int channels = decoder->channels(), rate = decoder->rate();
        if (DecodeAll(*decoder, channels, decoded, decoder->TotalFrames())) {
            decoder = MakePcmDecoder(std::move(decoded), channels, rate);
        } else {
            decoder.reset();
            why = "too long or out of memory";
        }
    }
    if (!decoder) {
        log::Write("右記のＷＡＶファイルのセットアップに失敗しました：%s \n", name);
        LogReason(why);
        return nullptr;
    }
    const WaveFormat format = WaveFormat::Pcm16(decoder->channels(), decoder->rate());
    Sound* shared = Lookup(sharedHandle);
    if (shared && (!shared->IsStream() || !(shared->format == format))) shared = nullptr;
    auto sound = MakeStreamSound(std::move(decoder), shared);
    sound->format = format;
    return sound;
}

}  // namespace

bool Start() {
    gLoadMode = 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        log::Write("No sound: %s\n", SDL_GetError());
        return false;
    }
    if (!mixer::OpenDevice()) {
        log::Write("No sound: the audio device could not be opened: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    log::Write("Sound started: %s, %d Hz, stereo\n", SDL_GetCurrentAudioDriver(), mixer::kRate);
    gRunning = true;
    return true;
}

void Stop() {
    if (!gRunning) return;
    ReleaseAll(false);
    cache::Forget(cache::Kind::Sound);
    mixer::CloseDevice();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    gRunning = false;
}

void Upkeep() {
    if (!gRunning) return;
    for (int i = 0; i < gHighWater; ++i) {
        Sound* sound = gSlots[static_cast<size_t>(i)].sound.get();
        if (sound && sound->IsStream()) sound->Upkeep();
    }
}

}  // namespace media::sound

using namespace media::sound;

int LoadSound(const char* fileName, int bufferCount, int sharedStreamHandle) {
    media::ApiLockGuard lock;
    if (!gRunning || !fileName) return -1;
    using media::report::NoteLoad;
    using media::report::Outcome;
    if (gLive >= kMaxSounds) {
        media::log::Write("サウンドの数が許容量を越えました\n");
        NoteLoad(media::cache::Kind::Sound, Outcome::Failed);
        return -1;
    }
    const int copies = bufferCount < 1 ? 1 : bufferCount > kMaxCopies ? kMaxCopies : bufferCount;
    std::unique_ptr<Sound> sound = gLoadMode == 0 ? LoadMemorySound(fileName, copies)
                                                  : LoadStreamSound(fileName, gLoadMode, sharedStreamHandle);
    if (!sound) {
        const int file = FileOpen(fileName, 0);
        if (file) FileClose(file);
        media::report::NoteFailedLoad(media::cache::Kind::Sound, fileName, file == 0);
        return -1;
    }
    if (gLoadMode != 0) NoteLoad(media::cache::Kind::Sound, Outcome::Streamed);
    sound->fileName = fileName;
    return TakeSlot(std::move(sound));
}

int PlaySound(int soundHandle, int playType, int fromStart) {
    media::ApiLockGuard lock;
    if (!gRunning) return -1;
    Sound* sound = Lookup(soundHandle);
    if (!sound) return -1;
    sound->lastStartMs = GetTimeMs();
    sound->Play(playType == kPlayLoop, fromStart != 0);
    if (playType == kPlayWait) {
        // Held here, pumping messages, until the sound has finished or the
        // program must end.
        while (sound->Sounding() && ProcessMessage() == 0) SDL_Delay(1);
    }
    return 0;
}

int StopSound(int soundHandle) {
    media::ApiLockGuard lock;
    if (!gRunning) return -1;
    Sound* sound = Lookup(soundHandle);
    if (!sound) return -1;
    sound->Stop();
    return 0;
}

int DeleteAllSounds(int logFlag) {
    media::ApiLockGuard lock;
    if (!gRunning) return -1;
    // Every scene change starts here (or at DeleteAllImages).
    media::report::SceneChangeBegins();
    ReleaseAll(logFlag != 0);
    media::cache::Trim();
    return 0;
}

int PrepareSound(const char* fileName) {
    media::ApiLockGuard lock;
    if (!gRunning || !fileName || media::cache::BudgetBytes() == 0) return -1;
    DecodeSoundAhead(fileName);
    return 0;
}

namespace media::sound {
int LiveSoundCount() {
    media::ApiLockGuard lock;
    return gLive;
}
}  // namespace media::sound

int SetSoundLoadMode(int mode) {
    media::ApiLockGuard lock;
    if (mode < 0 || mode > 3) return -1;
    gLoadMode = mode;
    return 0;
}
