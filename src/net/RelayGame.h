#ifndef KORVANE_NET_RELAYGAME_H
#define KORVANE_NET_RELAYGAME_H

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "net/Message.h"

// What the relay knows and decides, without sockets: the connections and the
// machines behind them, the seats, the turn order, the last snapshot (opaque
// bytes), the votes to let the computer take over an empty seat, and the
// bounds on what a connection may send. The server feeds it connection
// events and the bytes of each message; it answers with actions (send these
// bytes to that connection, drop that connection) and log lines.
//
// A machine is a game program that joined: the host (machine 1), which
// opened the game and plays its own seats, and one machine per remote
// player. A machine keeps its id and seats while its connection is gone, so
// that it can come back into them with the code and the same name.
class RelayGame
{
  public:
    struct Action
    {
        uint32_t connection;
        std::vector<uint8_t> bytes; // sent reliably first, when not empty
        bool disconnect;            // then the connection is dropped
    };

    // Per-connection bounds.
    static constexpr double kJoinWindowSeconds = 10.0; // to send a join after connecting
    static constexpr double kMessageBurst = 32.0;      // messages at once,
    static constexpr double kMessagesPerSecond = 2.0;  // refilled at this rate
    static constexpr double kByteBurst = 8.0 * 1024 * 1024;
    static constexpr double kBytesPerSecond = 1024.0 * 1024;

    // fixedCode, when not empty, is the only code a host may open a game
    // with. log receives one line per event.
    RelayGame(const std::string& fixedCode, std::function<void(const std::string&)> log);

    void Connected(uint32_t connection, const std::string& address, double now);
    void Received(uint32_t connection, const uint8_t* data, size_t size, double now);
    // timedOut: the connection fell silent rather than leaving.
    void Disconnected(uint32_t connection, bool timedOut);
    // Drops connections that have not joined in time.
    void Tick(double now);

    std::vector<Action> TakeActions();

    bool HasGame() const { return !seats.empty(); }
    // Games that were opened and have closed since (finished and left by
    // everyone, or given up by their host before they began).
    int GamesClosed() const { return gamesClosed; }
    // Whether any machine is connected to the game now.
    bool AnyonePresent() const;
    bool Started() const { return started; }
    uint32_t LastTurn() const { return lastTurn.turn; }
    int CurrentSeat() const { return started ? lastTurn.seatToPlay : -1; }
    const std::vector<SeatEntry>& Seats() const { return seats; }

  private:
    struct Connection
    {
        std::string address;
        double connectedAt = 0.0;
        uint8_t machine = 0; // 0 until it joins
        double lastRefill = 0.0;
        double messageTokens = kMessageBurst;
        double byteTokens = kByteBurst;
    };
    struct Machine
    {
        std::string name;
        uint32_t connection = 0; // 0 while it is away
        SeatPresence presence = SeatPresence::Present;
    };
    // How a seat began, so that a returning player gets it back as it was.
    struct SeatOrigin
    {
        uint8_t machine = 0;
        SeatControl control = SeatControl::Person;
    };

    bool WithinBounds(Connection& c, size_t size, double now);
    void HandleJoin(uint32_t connection, Connection& c, const Message& m);
    void OpenGame(uint32_t connection, Connection& c, const Message& m);
    bool Rejoin(uint32_t connection, Connection& c, const std::string& name);
    void HandleTurn(uint8_t machine, const Message& m);
    void HandleMismatch(uint8_t machine, const Message& m);
    void HandleVote(uint8_t machine, const Message& m);
    void CountVotes(int seat);
    // Gives back to their present players the taken-over seats that are not
    // being played now; the seat in play goes back when its turn ends.
    void ReturnSeats();
    void MachineGone(uint8_t machine, bool timedOut);
    void Refuse(uint32_t connection, RefusalReason reason, const std::string& detail);
    void Drop(uint32_t connection, const std::string& why);
    void Send(uint32_t connection, const Message& m);
    void SendToMachines(const Message& m, uint8_t except);
    void SendSeatTables();
    void SeatEventToAll(int seat, SeatEventKind kind);
    void SendLastTurn(uint8_t machine);
    void Reset();
    std::string Describe(uint32_t connection) const;
    void Log(const std::string& line) { log(line); }

    std::string fixedCode;
    std::function<void(const std::string&)> log;
    std::map<uint32_t, Connection> connections;
    std::vector<Action> actions;

    // The game; no seats while none is open.
    std::string code;
    std::vector<uint8_t> settings;
    std::vector<SeatEntry> seats;
    std::vector<SeatOrigin> origins;
    std::map<uint8_t, Machine> machines;
    uint8_t nextMachine = 1;
    int gamesClosed = 0;
    bool started = false;
    bool over = false;
    Message lastTurn;                       // the last turn message, snapshot and all
    std::map<int, std::set<uint8_t>> votes; // by seat, the machines that agreed
};

#endif
