#include "game/shell/controls.h"
#include "media/input/key_map.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using media::input::KeyCodeOf;
using media::input::kKeyMappingCount;
using media::input::kKeyMappings;

TEST(KeyMap, EveryKeyOfTheGamesListAndEscapeCanBePressed) {
    std::set<int> produced;
    for (int i = 0; i < kKeyMappingCount; ++i) produced.insert(kKeyMappings[i].code);
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(produced.count(kKeyList[i])) << "list index " << i;
    EXPECT_TRUE(produced.count(1));
}

TEST(KeyMap, EachCodeComesFromOnePositionExceptTheIsoTwin) {
    std::map<int, int> positions;
    std::set<int> scancodes;
    for (int i = 0; i < kKeyMappingCount; ++i) {
        EXPECT_NE(kKeyMappings[i].code, 0);
        EXPECT_TRUE(scancodes.insert(kKeyMappings[i].scancode).second)
            << "scancode listed twice: " << kKeyMappings[i].scancode;
        ++positions[kKeyMappings[i].code];
    }
    for (const auto& [code, count] : positions) {
        if (code == 0x1B) EXPECT_EQ(count, 2);  // "]" on ANSI/JIS and ISO boards
        else EXPECT_EQ(count, 1) << "code " << code;
    }
}

TEST(KeyMap, PositionsGiveTheirSetOneCodes) {
    struct Case { SDL_Scancode scancode; int code; };
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, 1},   {SDL_SCANCODE_Z, 44},         {SDL_SCANCODE_X, 45},
        {SDL_SCANCODE_C, 46},       {SDL_SCANCODE_A, 30},         {SDL_SCANCODE_S, 31},
        {SDL_SCANCODE_D, 32},       {SDL_SCANCODE_Q, 16},         {SDL_SCANCODE_W, 17},
        {SDL_SCANCODE_RETURN, 28},  {SDL_SCANCODE_SPACE, 57},     {SDL_SCANCODE_0, 11},
        {SDL_SCANCODE_1, 2},        {SDL_SCANCODE_F10, 68},       {SDL_SCANCODE_F11, 87},
        {SDL_SCANCODE_KP_8, 72},    {SDL_SCANCODE_KP_2, 80},      {SDL_SCANCODE_KP_4, 75},
        {SDL_SCANCODE_KP_6, 77},    {SDL_SCANCODE_KP_0, 82},      {SDL_SCANCODE_KP_PERIOD, 83},
        // The extended keys carry 0x80.
        {SDL_SCANCODE_UP, 200},     {SDL_SCANCODE_DOWN, 208},     {SDL_SCANCODE_LEFT, 203},
        {SDL_SCANCODE_RIGHT, 205},  {SDL_SCANCODE_RCTRL, 157},    {SDL_SCANCODE_RALT, 184},
        {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_KP_DIVIDE, 181}, {SDL_SCANCODE_HOME, 199},
        {SDL_SCANCODE_END, 207},    {SDL_SCANCODE_PAGEUP, 201},   {SDL_SCANCODE_PAGEDOWN, 209},
        {SDL_SCANCODE_INSERT, 210}, {SDL_SCANCODE_DELETE, 211},   {SDL_SCANCODE_PAUSE, 197},
        // The Japanese keys.
        {SDL_SCANCODE_INTERNATIONAL3, 125},  // yen
        {SDL_SCANCODE_INTERNATIONAL1, 43},   // ro / backslash
        {SDL_SCANCODE_EQUALS, 144},          // circumflex
        {SDL_SCANCODE_LEFTBRACKET, 145},     // at sign
        {SDL_SCANCODE_APOSTROPHE, 146},      // colon
        {SDL_SCANCODE_RIGHTBRACKET, 26},     // left bracket
        {SDL_SCANCODE_BACKSLASH, 27},        // right bracket
        {SDL_SCANCODE_INTERNATIONAL4, 0x79}, // henkan
        {SDL_SCANCODE_INTERNATIONAL5, 0x7B}, // muhenkan
        {SDL_SCANCODE_INTERNATIONAL2, 0x70}, // kana
    };
    for (const Case& c : cases) EXPECT_EQ(KeyCodeOf(c.scancode), c.code) << SDL_GetScancodeName(c.scancode);
}

TEST(KeyMap, UnknownAndInvalidScancodesGiveNothing) {
    EXPECT_EQ(KeyCodeOf(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(KeyCodeOf(SDL_SCANCODE_AC_BOOKMARKS), 0);
    EXPECT_EQ(KeyCodeOf(static_cast<SDL_Scancode>(-1)), 0);
    EXPECT_EQ(KeyCodeOf(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
}

}  // namespace
