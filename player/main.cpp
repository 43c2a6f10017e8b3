#include "player/player_entry.hpp"

int main(int argc, char** argv) { return melvo::RunPlayer(argc, argv); }
