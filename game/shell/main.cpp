#include "game/shell/game_main.h"

int main(int argc, char** argv) { return runProgram(argc, argv); }
