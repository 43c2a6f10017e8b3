// SDL's header comes first: on systems where SDL supplies the real entry point
// it renames main, and then hands this function the command line.
#include <SDL.h>

#include "player/player_entry.hpp"

int main(int argc, char* argv[]) { return melvo::RunPlayer(argc, argv); }
