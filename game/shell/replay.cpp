#include "game/shell/replay.h"

#include "game/play/play_scene.h"
#include "game/state/globals.h"
#include "game/state/little_endian.h"

#include <cstring>

namespace {

constexpr unsigned char kMagic[4] = {'L', 'R', 'P', 'L'};
// More ticks than this is not a replay of one stage (days of play).
constexpr uint32_t kMaxTicks = 16u * 1024u * 1024u;

uint16_t packDirection(int32_t value, uint16_t positive) {
    return value > 0 ? positive : value < 0 ? static_cast<uint16_t>(positive * 2) : 0;
}

}  // namespace

uint16_t packReplayInput(const InputState& input) {
    uint16_t packed = packDirection(input.horizontal, 1);
    packed |= packDirection(input.vertical, 1) << 2;
    for (int b = 0; b < 8; ++b)
        if (input.button[b]) packed |= static_cast<uint16_t>(1u << (4 + b));
    return packed;
}

InputState unpackReplayInput(uint16_t packed) {
    static constexpr int32_t kDirection[4] = {0, 1, -1, 0};
    InputState input{};
    input.horizontal = kDirection[packed & 3];
    input.vertical = kDirection[(packed >> 2) & 3];
    for (int b = 0; b < 8; ++b) input.button[b] = (packed >> (4 + b)) & 1;
    return input;
}

std::vector<unsigned char> encodeReplay(const Replay& replay) {
    const ReplayStart& s = replay.start;
    std::vector<unsigned char> out(kMagic, kMagic + 4);
    putLe16(out, kReplayVersion);
    putLe16(out, kReplayHeaderSize);
    putLe32(out, static_cast<uint32_t>(s.stage));
    putLe32(out, s.randomState);
    putLe32(out, static_cast<uint32_t>(s.score));
    putLe32(out, static_cast<uint32_t>(replay.ticks.size()));
    putLe16(out, static_cast<uint16_t>(s.noTimeLimit));
    putLe16(out, static_cast<uint16_t>(s.lives));
    putLe16(out, static_cast<uint16_t>(s.magic));
    putLe16(out, static_cast<uint16_t>(s.facing));
    for (uint8_t b : s.prevButtons) out.push_back(b ? 1 : 0);
    out.push_back(static_cast<unsigned char>(s.prevVertical));
    out.push_back(static_cast<unsigned char>(s.prevHorizontal));
    out.push_back(s.crouching ? 1 : 0);
    out.push_back(0);
    for (uint16_t t : replay.ticks) putLe16(out, t);
    return out;
}

bool decodeReplay(const unsigned char* bytes, size_t size, Replay& out, std::string& error) {
    if (size < kReplayHeaderSize || std::memcmp(bytes, kMagic, 4) != 0) {
        error = "not a replay file";
        return false;
    }
    uint16_t version = readLe16(bytes + 4);
    if (version != kReplayVersion) {
        error = "replay version " + std::to_string(version) + " is not known";
        return false;
    }
    size_t headerSize = readLe16(bytes + 6);
    if (headerSize < kReplayHeaderSize || headerSize > size) {
        error = "the replay header is damaged";
        return false;
    }
    ReplayStart s;
    s.stage = static_cast<int32_t>(readLe32(bytes + 8));
    s.randomState = readLe32(bytes + 12);
    s.score = static_cast<int32_t>(readLe32(bytes + 16));
    uint32_t ticks = readLe32(bytes + 20);
    s.noTimeLimit = static_cast<int16_t>(readLe16(bytes + 24));
    s.lives = static_cast<int16_t>(readLe16(bytes + 26));
    s.magic = static_cast<int16_t>(readLe16(bytes + 28));
    s.facing = static_cast<int16_t>(readLe16(bytes + 30));
    for (int b = 0; b < 4; ++b) s.prevButtons[b] = bytes[32 + b] ? 1 : 0;
    s.prevVertical = static_cast<int8_t>(bytes[36]);
    s.prevHorizontal = static_cast<int8_t>(bytes[37]);
    s.crouching = bytes[38] ? 1 : 0;
    if (s.stage < 0 || s.stage > 99) {
        error = "the replay names stage " + std::to_string(s.stage);
        return false;
    }
    if (ticks > kMaxTicks || (size - headerSize) / 2 != ticks || (size - headerSize) % 2 != 0) {
        error = "the replay's tick data do not match its tick count";
        return false;
    }
    out.start = s;
    out.ticks.resize(ticks);
    for (uint32_t i = 0; i < ticks; ++i) {
        uint16_t t = readLe16(bytes + headerSize + 2 * i);
        if ((t & 3) == 3 || ((t >> 2) & 3) == 3 || (t >> 12) != 0) {
            error = "tick " + std::to_string(i) + " holds an impossible input";
            return false;
        }
        out.ticks[i] = t;
    }
    return true;
}

ReplayStart captureReplayStart() {
    ReplayStart s;
    const Player& p = game.players[0];
    s.stage = game.stageNumber;
    s.randomState = game.randomState;
    s.score = game.score;
    s.noTimeLimit = game.settings.noTimeLimit;
    s.lives = p.lives;
    s.magic = p.magic;
    s.facing = p.facing;
    for (int b = 0; b < 4; ++b) s.prevButtons[b] = game.prevButtons[0][b] ? 1 : 0;
    s.prevVertical = static_cast<int8_t>(game.prevDirection[0].vertical);
    s.prevHorizontal = static_cast<int8_t>(game.prevDirection[0].horizontal);
    s.crouching = p.crouching ? 1 : 0;
    return s;
}

void applyReplayStart(const ReplayStart& s) {
    Player& p = game.players[0];
    game.randomState = s.randomState;
    game.score = s.score;
    game.settings.noTimeLimit = s.noTimeLimit;
    p.lives = s.lives;
    p.magic = s.magic;
    p.facing = s.facing;
    p.crouching = s.crouching;
    for (int b = 0; b < 4; ++b) game.prevButtons[0][b] = s.prevButtons[b];
    game.prevDirection[0].vertical = s.prevVertical;
    game.prevDirection[0].horizontal = s.prevHorizontal;
}

void startReplayStage(const ReplayStart& start) {
    game.stageNumber = start.stage;
    game.scene = kScenePlay;
    loadStage();
    applyReplayStart(start);
}
