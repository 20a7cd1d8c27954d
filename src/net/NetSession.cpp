#include "net/NetSession.h"

#include <algorithm>
#include <cstdio>

namespace
{

// How long to wait for the relay to answer a connection.
constexpr uint32_t kConnectMs = 5000;
// The relay silent this long ends the connection (as the relay does for a
// machine).
constexpr double kRelaySilenceSeconds = 60.0;

} // namespace

NetSession::NetSession()
    : phase(Phase::Failed), failReason("not connected"), myMachine(0), started(false), hasTurn(false),
      mismatchReported(false)
{
}

bool NetSession::Host(const std::string& address, unsigned short port, const std::string& code,
                      const std::string& name, const std::vector<SeatPlan>& plan,
                      const std::vector<uint8_t>& gameSettings, std::string& error)
{
    Message join;
    join.type = MessageType::Join;
    join.code = code;
    join.name = name;
    join.host = true;
    join.plan = plan;
    join.settings = gameSettings;
    return Start(address, port, join, error);
}

bool NetSession::Join(const std::string& address, unsigned short port, const std::string& code,
                      const std::string& name, std::string& error)
{
    Message join;
    join.type = MessageType::Join;
    join.code = code;
    join.name = name;
    return Start(address, port, join, error);
}

bool NetSession::Start(const std::string& address, unsigned short port, const Message& join,
                       std::string& error)
{
    if (!IsValidCode(join.code))
    {
        error = "the game code is 6 to 16 capital letters and digits";
        return false;
    }
    if (!IsValidName(join.name))
    {
        error = "a player's name is 1 to 20 plain characters";
        return false;
    }
    client = std::make_unique<RelayClient>();
    if (!client->Connect(address, port, kConnectMs, kRelaySilenceSeconds, error))
        return false;
    client->Send(join);
    phase = Phase::Lobby;
    failReason.clear();
    return true;
}

void NetSession::Poll(uint32_t milliseconds)
{
    if (!client)
        return;
    client->Poll(milliseconds);
    Message m;
    while (client->Receive(m))
        Handle(m);
    if (!client->IsConnected() && phase != Phase::Failed && failReason.empty())
        Fail(client->Error());
}

void NetSession::Handle(const Message& m)
{
    switch (m.type)
    {
    case MessageType::Refused:
        Fail("refused: " + m.text);
        break;
    case MessageType::SeatTable:
        seats = m.seats;
        settings = m.settings;
        myMachine = m.yourMachine;
        started = m.started;
        break;
    case MessageType::Turn:
        HandleTurn(m);
        break;
    case MessageType::Mismatch:
        mismatchReported = true;
        Notice("the game differs on another machine after turn " + std::to_string(m.turn));
        Fail("the game differs on another machine after turn " + std::to_string(m.turn));
        break;
    case MessageType::SeatEvent:
    {
        static const char* const kEvents[] = {"joined", "left the game", "timed out", "is back",
                                              "is played by the computer now"};
        std::string who = "Player " + std::to_string(m.seat + 1);
        if (!m.name.empty())
            who += " (" + m.name + ")";
        Notice(who + " " + kEvents[int(m.event)]);
        break;
    }
    default:
        break;
    }
}

void NetSession::HandleTurn(const Message& m)
{
    if (phase == Phase::Failed || m.seatToPlay >= seats.size())
        return;
    if (hasTurn && m.turn < latest.turn)
        return;
    // The same turn again: this machine has just been given its seat (a
    // take-over, a return) and plays it from there.
    latest = m;
    hasTurn = true;
    newTurns.push_back(m);
    phase = m.gameOver ? Phase::Over : Phase::Playing;
}

bool NetSession::TakeNewTurn(Message& turn)
{
    if (newTurns.empty())
        return false;
    turn = std::move(newTurns.front());
    newTurns.pop_front();
    return true;
}

bool NetSession::OwnsSeat(int seat) const
{
    return seat >= 0 && size_t(seat) < seats.size() && seats[size_t(seat)].machine == myMachine &&
           myMachine != 0;
}

bool NetSession::AllSeatsTaken() const
{
    return !seats.empty() &&
           std::none_of(seats.begin(), seats.end(),
                        [](const SeatEntry& s) { return s.presence == SeatPresence::Open; });
}

bool NetSession::MustPlay() const
{
    return phase == Phase::Playing && hasTurn && newTurns.empty() && OwnsSeat(latest.seatToPlay);
}

void NetSession::Begin(uint8_t firstSeat, uint64_t hash, const std::vector<uint8_t>& snapshot)
{
    latest = Message();
    latest.type = MessageType::Turn;
    latest.turn = 0;
    latest.seatToPlay = firstSeat;
    latest.hash = hash;
    latest.snapshot = snapshot;
    hasTurn = true;
    phase = Phase::Playing;
    if (client)
        client->Send(latest);
}

void NetSession::EndTurn(uint8_t nextSeat, bool gameOver, uint8_t winner, uint64_t hash,
                         const std::vector<uint8_t>& snapshot, const std::vector<uint8_t>& report)
{
    Message m;
    m.type = MessageType::Turn;
    m.turn = latest.turn + 1;
    m.seatToPlay = nextSeat;
    m.gameOver = gameOver;
    m.winner = winner;
    m.hash = hash;
    m.snapshot = snapshot;
    m.report = report;
    latest = m;
    if (gameOver)
        phase = Phase::Over;
    if (client)
        client->Send(m);
}

void NetSession::ReportMismatch(const Message& turn, uint64_t computed)
{
    Message m;
    m.type = MessageType::Mismatch;
    m.turn = turn.turn;
    m.hash = turn.hash;
    m.computed = computed;
    m.seat = kNoSeat;
    for (size_t s = 0; s < seats.size(); s++)
        if (OwnsSeat(int(s)))
        {
            m.seat = uint8_t(s);
            break;
        }
    if (client)
        client->Send(m);
    mismatchReported = true;
    char text[120];
    std::snprintf(text, sizeof text,
                  "the game loaded after turn %u differs from the one sent (hash %016llx, sent %016llx)",
                  unsigned(turn.turn), (unsigned long long)computed, (unsigned long long)turn.hash);
    Fail(text);
}

void NetSession::VoteTakeOver(int seat)
{
    Message m;
    m.type = MessageType::Vote;
    m.seat = uint8_t(seat);
    if (client)
        client->Send(m);
}

void NetSession::Leave(uint32_t waitMs)
{
    if (client)
        client->Leave(waitMs);
    Fail("left the game");
}

bool NetSession::TakeNotice(std::string& notice)
{
    if (notices.empty())
        return false;
    notice = std::move(notices.front());
    notices.pop_front();
    return true;
}

std::string NetSession::SeatLabel(int seat) const
{
    if (seat < 0 || size_t(seat) >= seats.size())
        return "";
    const SeatEntry& s = seats[size_t(seat)];
    if (s.control == SeatControl::Computer)
        return "Computer";
    return s.name;
}

void NetSession::Fail(const std::string& reason)
{
    phase = Phase::Failed;
    failReason = reason;
}

void NetSession::Notice(const std::string& line)
{
    if (notices.size() < 64)
        notices.push_back(line);
}
