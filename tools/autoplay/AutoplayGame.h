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

// One game with the computer in every seat, turn after turn as the turn cycle
// runs them (without the hand-over screens), and its record: a line per
// round, the tick and frame times, and the winner.
class AutoplayGame
{
  public:
    // watch draws a frame after every tick through the game's own frame
    // drawing; the frames draw their random flicker from a stream of their
    // own, so a watched game is the same game as an unwatched one.
    // seats names who plays each seat (SeatPlayers.h), by seat from the first.
    AutoplayGame(Game& game, uint32_t seed, bool watch, std::FILE* out,
                 const std::vector<std::string>& seats);
    ~AutoplayGame();

    // Plays until the game is over or maxRounds rounds are complete. Writes
    // "round ..." lines, "tick time ..." (and "frame time ...") lines and the
    // closing "winner P after R rounds". Returns the winner's index or -1.
    int Play(int maxRounds);

  private:
    void PlayTurn();
    void Tick();
    void DrawFrame();
    void HandleWatcherInput();
    void NoteNewWrecks();
    std::string RoundLine(int round) const;

    Game& game;
    bool watch;
    std::FILE* out;
    std::vector<std::unique_ptr<ComputerPlayer>> autoPlayers; // by player index
    std::set<uint32_t> wrecksSeen;                            // ids of ships already counted as lost
    std::vector<std::string> lostThisRound;                   // "P2 Druvel", or "P1 fighter"
    std::vector<double> tickSeconds;
    std::vector<double> frameSeconds;
    uint32_t drawingRandomState; // the frames' own random stream
};

// "median 0.210 ms, p99 0.950 ms, max 3.100 ms over 6420 ticks", or "none" without samples.
std::string TimeFigures(std::vector<double> seconds, double upper, const char* unit);

#endif
