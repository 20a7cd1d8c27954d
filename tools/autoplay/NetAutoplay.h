#ifndef KORVANE_TOOLS_NETAUTOPLAY_H
#define KORVANE_TOOLS_NETAUTOPLAY_H

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "AutoplayOptions.h"
#include "net/NetSession.h"

class Game;

// The network side of korvane-autoplay's command line.
struct NetAutoplayOptions
{
    bool host = false; // open the game on the relay (else join it)
    bool join = false;
    std::string relay; // ADDRESS[:PORT]
    std::string code;
    std::string name;
    std::vector<int> seats;   // the host's own seats, from 0 (default: the first)
    int timeoutSeconds = 300; // no progress this long: give up
};

extern const char* const kNetAutoplayUsage;

// Takes the network options out of the command line and leaves the others
// in rest (the program name first). False with a reason on a bad one.
bool ParseNetAutoplayOptions(int argc, const char* const argv[], NetAutoplayOptions& options,
                             std::vector<const char*>& rest, std::string& error);

// One machine of a network game played by scripted players in every seat:
// it plays its own seats' turns as korvane-autoplay does and sends each
// finished turn's snapshot through the relay; it loads every other turn from
// the snapshot that arrives and checks its hash. It writes the same record
// as korvane-autoplay for the same seed and seats: the round lines (their
// losses from the reports that travel with the turns), the tick times of the
// turns played here, and the winner.
class NetAutoplay
{
  public:
    NetAutoplay(const AutoplayOptions& game, const NetAutoplayOptions& net, std::FILE* out);
    ~NetAutoplay();

    // Plays the game to its end. Returns the program's exit status: 0 when
    // the game was played to its end, 1 when the network failed it (refused,
    // lost, a mismatch, no progress), with the reason on standard error.
    int Run();

  private:
    bool Connect();
    void BeginAsHost();
    bool Load(const Message& turn);
    void PlayOwnTurn();
    void Tick();
    void NoteNewWrecks(std::vector<std::string>* into);
    void AfterTurn(bool over, uint8_t winner);
    int Finish(uint8_t winner);
    int Fail(const std::string& reason);
    void AttachComputers();

    AutoplayOptions options;
    NetAutoplayOptions net;
    std::FILE* out;
    NetSession session;
    Game* game;
    std::set<uint32_t> wrecksSeen;
    std::vector<std::string> lostThisTurn;
    std::vector<std::string> lostThisRound;
    std::vector<double> tickSeconds;
    int ticksSincePoll;
    bool begun;
    bool finished;
};

#endif
