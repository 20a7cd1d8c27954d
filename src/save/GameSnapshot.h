#ifndef KORVANE_SAVE_GAMESNAPSHOT_H
#define KORVANE_SAVE_GAMESNAPSHOT_H

#include <cstdint>
#include <string>

#include "save/Snapshot.h"

class Game;

// Between a running game and its snapshot. Taken at a hand-over (the turn
// just over has been handed on with NextPlayer, the next one has not begun),
// a snapshot holds all the next turns read: the game rebuilt from it plays on
// exactly as the game it was taken from, tick for tick and frame for frame.

// The game as it stands, with the program's random generator, animation clock
// and tick count. Reads only; the generator's state is the same afterwards.
Snapshot CaptureSnapshot(const Game& game);

// Builds the game a snapshot holds, from the game's data files in the working
// directory (its map, models and textures), and sets the random generator,
// animation clock and tick count. Needs a current OpenGL context. Returns
// nullptr with a reason a player can act on (the map is missing, or has
// changed since the game was saved, or a ship class no longer fits) when the
// game cannot be built; nothing is left over then. With a donor (a game of
// the same data files, for example the one the snapshot follows), its models
// and light textures are taken over rather than read again, which is most of
// the cost; the donor gets them back if the game cannot be built, and must not
// build ships otherwise.
Game* RestoreGame(const Snapshot& snapshot, std::string& error, Game* catalogueDonor = nullptr);

// RestoreGame for a game another machine sent with the hash it took of it:
// the rebuilt game's own capture must hash the same. Returns nullptr when the
// game cannot be built (error says why, found is 0) or when it differs (error
// is left empty, found is the hash taken here); the donor has its models back
// either way.
Game* RestoreCheckedGame(const Snapshot& snapshot, uint64_t expected, Game* catalogueDonor,
                         std::string& error, uint64_t& found);

#endif
