// Which picture (tileImages number) shows a player in its current state.
#pragma once

struct Player;

// -1 when the state shows nothing.
int playerPicture(const Player& player);
