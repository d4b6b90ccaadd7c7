#include "game/shell/controls.h"

#include "game/state/globals.h"
#include "media/media.h"

#include <cstring>

const int32_t kKeyList[100] = {
    14,  15,  28,  42,  54,  29,  157, 1,   57,  201,  // Backspace .. Page Up
    209, 207, 199, 203, 200, 205, 208, 210, 211, 12,   // Page Down .. Minus
    125, 144, 52,  53,  56,  184, 70,  39,  146, 26,   // Yen .. Left bracket
    27,  145, 43,  51,  58,  197, 82,  79,  80,  81,   // Right bracket .. pad 3
    75,  76,  77,  71,  72,  73,  55,  78,  74,  83,   // pad 4 .. pad .
    181, 156, 59,  60,  61,  62,  63,  64,  65,  66,   // pad / .. F8
    67,  68,  87,  88,  30,  48,  46,  32,  18,  33,   // F9 .. F
    34,  35,  23,  36,  37,  38,  50,  49,  24,  25,   // G .. P
    16,  19,  31,  20,  22,  47,  17,  45,  21,  44,   // Q .. Z
    11,  2,   3,   4,   5,   6,   7,   8,   9,   10,   // 0 .. 9
};

const int32_t kPadList[7] = {1, 2, 3, 4, 5, 6, 7};

namespace {

struct InputScript {
    const InputState* records = nullptr;
    uint32_t tickCount = 0;
    uint32_t next = 0;
    bool installed = false;
};

InputScript gScript;
InputObserver gObserver = nullptr;
void* gObserverContext = nullptr;

}  // namespace

void installInputScript(const InputState* records, uint32_t tickCount) {
    gScript = InputScript{records, records ? tickCount : 0, 0, true};
}

void removeInputScript() { gScript = InputScript{}; }
bool inputScriptInstalled() { return gScript.installed; }
uint32_t inputScriptTicksFed() { return gScript.next; }

void setInputObserver(InputObserver observer, void* context) {
    gObserver = observer;
    gObserverContext = context;
}

void sampleControls() {
    if (gScript.installed) {
        if (gScript.next < gScript.tickCount) {
            std::memcpy(game.input, gScript.records + 2 * static_cast<size_t>(gScript.next),
                        sizeof game.input);
            ++gScript.next;
        } else {
            std::memset(game.input, 0, sizeof game.input);
        }
    } else {
        ReadJoypads();
        ReadKeyboard();
    }
    if (gObserver) gObserver(game.input, gObserverContext);
}

void setDefaultKeyAssignment() {
    // up, left, down, right, buttons 1..7
    static constexpr int32_t kDefaults[11] = {14, 13, 16, 15, 89, 87, 66, 64, 82, 67, 80};
    std::memcpy(game.keyAssignment[0], kDefaults, sizeof kDefaults);
}

void ReadJoypads() {
    std::memset(game.input, 0, sizeof game.input);
    for (int p = 0; p < 2; ++p) {
        InputState& in = game.input[p];
        const PadAssignment& pad = game.padButtons[p];
        // The saved files are clamped on load; this guards the table anyway.
        const int index = pad.padIndex < 0 ? 0 : pad.padIndex > 6 ? 6 : pad.padIndex;
        const int bits = GetPadInput(kPadList[index]);
        if (bits & kPadUp) in.vertical = 1;
        if (bits & kPadDown) in.vertical = -1;
        if (bits & kPadLeft) in.horizontal = -1;
        if (bits & kPadRight) in.horizontal = 1;
        for (int b = 0; b < 8; ++b)
            if (bits & pad.buttonMask[b]) in.button[b] = 1;
    }
}

void ReadKeyboard() {
    for (int p = 0; p < 2; ++p) {
        InputState& in = game.input[p];
        auto held = [p](int entry) {
            const int index = game.keyAssignment[p][entry];
            return index >= 0 && index < 100 && CheckKey(kKeyList[index]) != 0;
        };
        if (held(0)) in.vertical = 1;
        if (held(1)) in.horizontal = -1;
        if (held(2)) in.vertical = -1;
        if (held(3)) in.horizontal = 1;
        for (int b = 0; b < 7; ++b)
            if (held(4 + b)) in.button[b] = 1;
    }
}
