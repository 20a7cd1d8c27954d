#ifndef KORVANE_TOOLS_AUTOPLAYGAME_H
#define KORVANE_TOOLS_AUTOPLAYGAME_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

class ComputerPlayer;
class Game;
class Ship;

// One game with the computer in every seat, turn after turn as the turn cycle
// runs them (without the hand-over screens), and its record: a line per
// round, the tick and frame times, and the winner.
class AutoplayGame
{
  public:
    // watch draws a frame after every tick through the game's own frame
    // drawing; the frames draw their random flicker from a stream of their
    // own, so a watched game is the same game as an unwatched one.
    // seats names who plays each seat (SeatPlayers.h), by seat from the
    // first, for every player without a computer player (a resumed game
    // brings its own); the wrecks already burning count as lost before.
    AutoplayGame(Game& game, uint32_t seed, bool watch, std::FILE* out,
                 const std::vector<std::string>& seats);
    ~AutoplayGame();

    // Plays until the game is over or maxRounds rounds are complete. Writes
    // "round ..." lines, "tick time ..." (and "frame time ...") lines and the
    // closing "winner P after R rounds". Returns the winner's index or -1.
    // A resumed game starts at the round of its snapshot.
    int Play(int maxRounds);

    // Plays the rounds before `round` (and writes their lines) and stops at
    // the hand-over before it. False when the game ends first: the rest of
    // the record is then written as Play writes it.
    bool PlayUntilRound(int round, int maxRounds);

    // With a folder, every hand-over before a round from 2 on writes the
    // game's snapshot there as round-R.korvane (the game goes on unchanged).
    std::string snapshotFolder;

  private:
    void PlayTurn();
    int Finish();
    void Tick();
    void DrawFrame();
    void HandleWatcherInput();
    void NoteNewWrecks();
    std::string RoundLine(int round) const;

    Game& game;
    bool watch;
    std::FILE* out;
    int round;                              // the round being played, from 1
    std::set<uint32_t> wrecksSeen;          // ids of ships already counted as lost
    std::vector<std::string> lostThisRound; // "P2 Druvel", or "P1 fighter"
    std::vector<double> tickSeconds;
    std::vector<double> frameSeconds;
    uint32_t drawingRandomState; // the frames' own random stream
};

// "round 4: P1 5 ships 20 fighters hull 15579, P2 ...; destroyed P2 Pharlow, P2 4 fighters": the
// fleets as they stand and the losses of the round in the order they came.
std::string RoundLine(const Game& game, int round, const std::vector<std::string>& lostThisRound);

// How a loss is named in a round line: "P2 Druvel", or "P1 fighter".
std::string LossName(const Ship& wreck);

// "median 0.210 ms, p99 0.950 ms, max 3.100 ms over 6420 ticks", or "none" without samples.
std::string TimeFigures(std::vector<double> seconds, double upper, const char* unit);

#endif
