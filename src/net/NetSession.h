#ifndef KORVANE_NET_NETSESSION_H
#define KORVANE_NET_NETSESSION_H

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/Message.h"
#include "net/RelayClient.h"

// One machine's side of a network game, without the game: it opens or joins
// the game on a relay, follows the seat table, takes in the turns the relay
// passes on and says when this machine must play one, and sends the turns it
// plays. The game (or the autoplay tool) loads each new turn's snapshot,
// checks its hash, plays the turns this machine must play and hands each
// finished one back to EndTurn.
class NetSession
{
  public:
    enum class Phase
    {
        Lobby,   // joined; the seats are filling, the game has not begun
        Playing, // the game has begun
        Over,    // the last turn has arrived or been sent
        Failed,  // refused, or the connection is gone (FailReason says why)
    };

    NetSession();

    // Connects to the relay and opens a game there with the plan of seats
    // and the set-up (opaque to the relay). A game already open there with
    // the same code is joined instead, as a returning machine would.
    bool Host(const std::string& address, unsigned short port, const std::string& code,
              const std::string& name, const std::vector<SeatPlan>& plan,
              const std::vector<uint8_t>& settings, std::string& error);
    // Connects and joins the game with the code: a free seat, or the seat
    // this name held if the program is coming back.
    bool Join(const std::string& address, unsigned short port, const std::string& code,
              const std::string& name, std::string& error);

    // Handles the relay's traffic for up to milliseconds.
    void Poll(uint32_t milliseconds);

    Phase GetPhase() const { return phase; }
    const std::string& FailReason() const { return failReason; }
    uint8_t MyMachine() const { return myMachine; }
    const std::vector<SeatEntry>& Seats() const { return seats; }
    const std::vector<uint8_t>& Settings() const { return settings; }
    bool OwnsSeat(int seat) const;
    // Every seat has a machine: the host may begin.
    bool AllSeatsTaken() const;
    // The relay says the game has begun (a machine coming back finds it so).
    bool GameStarted() const { return started; }

    // The latest turn, received or sent; HasTurn is false until one is known.
    bool HasTurn() const { return hasTurn; }
    const Message& LatestTurn() const { return latest; }
    // A turn that has arrived since the last call, to be loaded and checked;
    // false when none has.
    bool TakeNewTurn(Message& turn);
    // The latest turn is to be played on this machine and has not been yet.
    bool MustPlay() const;

    // The host begins the game: turn 0, the game as it starts.
    void Begin(uint8_t firstSeat, uint64_t hash, const std::vector<uint8_t>& snapshot);
    // Sends the turn this machine has just played.
    void EndTurn(uint8_t nextSeat, bool gameOver, uint8_t winner, uint64_t hash,
                 const std::vector<uint8_t>& snapshot, const std::vector<uint8_t>& report);
    // Tells the others that a turn loaded here has another hash, and stops:
    // a game that differs between machines is not played on.
    void ReportMismatch(const Message& turn, uint64_t computed);
    // Agrees that the computer take over an empty seat.
    void VoteTakeOver(int seat);
    // Leaves on purpose; the relay keeps this machine's seats. What was
    // sent goes out first: waits at most waitMs for the relay to have it all
    // (on a lossy link a whole snapshot can take many seconds).
    void Leave(uint32_t waitMs = 3000);

    // Lines for the players: who joined, left, timed out, came back, was
    // taken over, a mismatch reported by another machine. Taken in order.
    bool TakeNotice(std::string& notice);
    // A machine found that its game differs (the session has stopped).
    bool MismatchReported() const { return mismatchReported; }

    // The name of the seat's player as this machine shows it: the name
    // given, or "Computer".
    std::string SeatLabel(int seat) const;

  private:
    bool Start(const std::string& address, unsigned short port, const Message& join, std::string& error);
    void Handle(const Message& m);
    void HandleTurn(const Message& m);
    void Fail(const std::string& reason);
    void Notice(const std::string& line);

    std::unique_ptr<RelayClient> client;
    Phase phase;
    std::string failReason;
    uint8_t myMachine;
    std::vector<SeatEntry> seats;
    std::vector<uint8_t> settings;
    bool started;
    bool hasTurn;
    Message latest;
    std::deque<Message> newTurns;
    std::deque<std::string> notices;
    bool mismatchReported;
};

#endif
