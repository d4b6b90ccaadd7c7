// The actor table: spawning, and the two contact tests.
#pragma once

#include "game/state/play_state.h"

// The lowest free slot of the actor table, or -1.
int findFreeActorSlot();

// The common rule for a new actor: the first free slot gets live 1, kind,
// timer 0, phase 0, x, y. Returns the slot or -1 when the table is full.
int spawnActorAt(int kind, double x, double y);

// Shots (effect kind 20) against actors, then the player against actors.
void shotsHitActors();
void touchActors();

// Axis-aligned overlap of an actor's box with a player's box (strict).
bool actorTouchesPlayer(const Actor& actor, const Player& player);

// The items 42 to 49: they stand still with their hit box set every tick.
void updateItem(int slot);
// The key (7) and the exit (8): the driver's last step for each slot.
void updateKeyAndExit(int slot);
