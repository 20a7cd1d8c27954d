#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

#include "NetMessages.h"
#include "net/RelayGame.h"

namespace
{

// A relay with scripted connections: what each connection was sent, whether
// it was dropped, and the log.
class Relay : public ::testing::Test
{
  protected:
    Relay() : game("", [this](const std::string& line) { log.push_back(line); }) {}

    void Connect(uint32_t c) { game.Connected(c, "127.0.0.1:" + std::to_string(40000 + c), now); }

    void SendBytes(uint32_t c, const std::vector<uint8_t>& bytes)
    {
        game.Received(c, bytes.data(), bytes.size(), now);
        Collect();
    }
    void Send(uint32_t c, const Message& m) { SendBytes(c, EncodeMessage(m)); }
    void Arrive(uint32_t c, const Message& m)
    {
        Connect(c);
        Send(c, m);
    }

    void Collect()
    {
        for (RelayGame::Action& a : game.TakeActions())
        {
            if (!a.bytes.empty())
            {
                Message m;
                std::string error;
                ASSERT_TRUE(DecodeMessage(a.bytes.data(), a.bytes.size(), m, error)) << error;
                inbox[a.connection].push_back(m);
            }
            if (a.disconnect)
                dropped.push_back(a.connection);
        }
    }

    void Disconnect(uint32_t c, bool timedOut)
    {
        game.Disconnected(c, timedOut);
        Collect();
    }

    // Host on connection 1 with seats [host person, open, open], joiners
    // Bo (2) and Cy (3); the game begun with turn 0, seat 1 to play.
    void ThreeSeatGame()
    {
        Arrive(1, Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::Open}));
        Arrive(2, Join("Bo"));
        Arrive(3, Join("Cy"));
        Send(1, Turn(0, 0));
        ASSERT_TRUE(game.Started());
        Clear();
    }

    void Clear()
    {
        inbox.clear();
        dropped.clear();
        log.clear();
    }

    // The last message of the type that connection c got; one that never came
    // ends the case as failed (gtest reports the exception), not the program.
    const Message& The(uint32_t c, MessageType type)
    {
        for (auto it = inbox[c].rbegin(); it != inbox[c].rend(); ++it)
            if (it->type == type)
                return *it;
        throw std::runtime_error("connection " + std::to_string(c) + " got no message of type " +
                                 std::to_string(int(type)));
    }
    std::vector<uint8_t> Got(uint32_t c, MessageType type) { return EncodeMessage(The(c, type)); }
    int Count(uint32_t c, MessageType type)
    {
        return int(std::count_if(inbox[c].begin(), inbox[c].end(),
                                 [type](const Message& m) { return m.type == type; }));
    }
    // Seats as text, "name control machine presence" each: Person or
    // Computer, then open, + present, away or timed out ("Ann P1+ | P0o").
    static std::string Text(const std::vector<SeatEntry>& seats)
    {
        std::string text;
        for (const SeatEntry& s : seats)
            text += (text.empty() ? "" : " | ") + s.name + (s.name.empty() ? "" : " ") +
                    "PC"[int(s.control)] + std::to_string(s.machine) + "o+at"[int(s.presence)];
        return text;
    }
    bool Dropped(uint32_t c) const { return std::find(dropped.begin(), dropped.end(), c) != dropped.end(); }
    bool Logged(const std::string& part) const
    {
        return std::any_of(log.begin(), log.end(),
                           [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }

    double now = 0.0;
    RelayGame game;
    std::vector<std::string> log;
    std::map<uint32_t, std::vector<Message>> inbox;
    std::vector<uint32_t> dropped;
};

} // namespace

TEST_F(Relay, HostOpensPlayersJoinIntoOpenSeatsInOrder)
{
    Arrive(1, Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::HostComputer, SeatPlan::Open}));
    const Message& table = The(1, MessageType::SeatTable);
    EXPECT_EQ(table.yourMachine, 1);
    EXPECT_FALSE(table.started);
    EXPECT_EQ(table.settings, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Text(table.seats), "Ann P1+ | P0o | C1+ | P0o");
    EXPECT_TRUE(Logged("join: host \"Ann\" opens a game of 4 seats"));

    Arrive(2, Join("Bo"));
    Arrive(3, Join("Cy"));
    EXPECT_EQ(The(3, MessageType::SeatTable).yourMachine, 3);
    // Everyone hears of each join and has the same table.
    for (uint32_t c : {1u, 2u, 3u})
        EXPECT_EQ(Text(The(c, MessageType::SeatTable).seats), "Ann P1+ | Bo P2+ | C1+ | Cy P3+") << c;
    EXPECT_EQ(The(1, MessageType::SeatEvent).event, SeatEventKind::Joined);
    EXPECT_EQ(The(2, MessageType::SeatEvent).seat, 3);
    EXPECT_TRUE(Logged("join: seat 4 \"Cy\""));
    EXPECT_TRUE(dropped.empty());
}

TEST_F(Relay, JoinsAreRefusedWithAReason)
{
    // No host yet: a plain join finds no game.
    Arrive(9, Join("Bo"));
    EXPECT_EQ(The(9, MessageType::Refused).reason, RefusalReason::NoGame);
    Arrive(1, Host({SeatPlan::HostHuman, SeatPlan::Open}));
    Message oldVersion = Join("Old");
    oldVersion.version = kProtocolVersion + 1;
    const struct
    {
        Message join;
        RefusalReason reason;
    } rows[] = {
        {Join("Bo", "GAME43"), RefusalReason::WrongCode},
        {oldVersion, RefusalReason::BadVersion},
        {Join(" "), RefusalReason::Malformed},
        {Join("Bo", "game42"), RefusalReason::Malformed},
        {Join("Ann"), RefusalReason::NameInUse},
        {Host({SeatPlan::HostHuman, SeatPlan::Open}, "Zed", "OTHER1"), RefusalReason::RelayBusy},
    };
    uint32_t c = 10;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "refused for: " << RefusalText(row.reason));
        Arrive(c, row.join);
        const Message& refused = The(c, MessageType::Refused);
        EXPECT_EQ(refused.reason, row.reason);
        EXPECT_EQ(refused.text.rfind(RefusalText(row.reason), 0), 0u) << refused.text;
        EXPECT_TRUE(Dropped(c++));
    }
    // The last seat goes; the next is refused: the game is full.
    Arrive(20, Join("Bo"));
    EXPECT_EQ(Count(20, MessageType::Refused), 0);
    Arrive(21, Join("Cy"));
    EXPECT_EQ(The(21, MessageType::Refused).reason, RefusalReason::GameFull);
}

TEST_F(Relay, TheGameBeginsWithTheHostsSnapshotOnceEverySeatIsTaken)
{
    Arrive(1, Host({SeatPlan::HostHuman, SeatPlan::Open}));
    Send(1, Turn(0, 0));
    EXPECT_FALSE(game.Started());
    EXPECT_TRUE(Logged("before the game began: dropped"));
    Arrive(2, Join("Bo"));
    Send(2, Turn(0, 0)); // only the host begins the game
    EXPECT_FALSE(game.Started());
    Send(1, Turn(0, 1));
    EXPECT_TRUE(game.Started());
    EXPECT_EQ(game.CurrentSeat(), 1);
    EXPECT_EQ(Got(2, MessageType::Turn), EncodeMessage(Turn(0, 1)));
    EXPECT_TRUE(The(2, MessageType::SeatTable).started);
    EXPECT_EQ(Count(1, MessageType::Turn), 0); // not echoed to the sender
    EXPECT_TRUE(Logged("turn 0: the game begins, seat 2 first"));
}

TEST_F(Relay, TurnsPassOnInOrderUntilTheGameEndsAndIsCleared)
{
    ThreeSeatGame();
    Send(2, Turn(1, 1)); // seat 2's machine: not its turn
    Send(1, Turn(2, 1)); // the right machine, a turn number ahead
    Send(1, Turn(0, 1)); // ... and one behind
    Send(1, Turn(1, 3)); // ... and one naming a seat the game does not have
    EXPECT_EQ(Count(2, MessageType::Turn) + Count(3, MessageType::Turn), 0);
    EXPECT_TRUE(Logged("out of turn: dropped"));
    EXPECT_TRUE(Logged("names a seat the game does not have: dropped"));
    EXPECT_TRUE(dropped.empty()); // a late turn is dropped, not its machine
    Send(1, Turn(1, 1));
    for (uint32_t c : {2u, 3u})
        EXPECT_EQ(Got(c, MessageType::Turn), EncodeMessage(Turn(1, 1))) << c;
    EXPECT_EQ(game.CurrentSeat(), 1);
    EXPECT_TRUE(Logged("turn 1: seat 1 ended, seat 2 next (hash 000000005eed0001"));
    Send(2, Turn(2, 2));
    Message last = Turn(3, 0);
    last.gameOver = true;
    Send(3, last);
    EXPECT_EQ(Count(1, MessageType::Turn), 2);
    EXPECT_TRUE(Logged("turn 3: seat 3 ended; game over"));
    Send(1, Turn(4, 1)); // nothing after the end
    EXPECT_EQ(Count(2, MessageType::Turn), 2);
    // The finished game is cleared once every player has left it.
    Disconnect(1, false);
    Disconnect(2, false);
    EXPECT_TRUE(game.HasGame());
    Disconnect(3, false);
    EXPECT_FALSE(game.HasGame());
    EXPECT_TRUE(Logged("ready for a new one"));
}

TEST_F(Relay, MismatchesAreLoggedAndPassedOn)
{
    ThreeSeatGame();
    Message mismatch;
    mismatch.type = MessageType::Mismatch;
    mismatch.turn = 1;
    mismatch.hash = 0x10;
    mismatch.computed = 0x20;
    mismatch.seat = 1;
    Send(2, mismatch);
    EXPECT_TRUE(
        Logged("mismatch: turn 1, machine 2 \"Bo\" computed 0000000000000020, sent 0000000000000010"));
    for (uint32_t c : {1u, 3u})
        EXPECT_EQ(Got(c, MessageType::Mismatch), EncodeMessage(mismatch)) << c;
    EXPECT_EQ(Count(2, MessageType::Mismatch), 0);
}

TEST_F(Relay, ALeavingOrSilentPlayerKeepsTheSeatAndComesBackToTheLatestGame)
{
    ThreeSeatGame();
    Send(1, Turn(1, 1));
    Disconnect(2, true);
    EXPECT_TRUE(Logged("timeout: machine 2 \"Bo\""));
    EXPECT_EQ(The(1, MessageType::SeatEvent).event, SeatEventKind::TimedOut);
    EXPECT_EQ(The(3, MessageType::SeatTable).seats[1].presence, SeatPresence::TimedOut);
    Disconnect(3, false);
    EXPECT_EQ(The(1, MessageType::SeatEvent).event, SeatEventKind::Left);
    EXPECT_EQ(The(1, MessageType::SeatTable).seats[2].presence, SeatPresence::Away);
    EXPECT_TRUE(Logged("leave: machine 3 \"Cy\""));

    // Bo comes back on a new connection with the code and the same name:
    // the same seat, and the last turn to load.
    Clear();
    Arrive(7, Join("Bo"));
    EXPECT_EQ(The(7, MessageType::SeatTable).yourMachine, 2);
    EXPECT_EQ(The(7, MessageType::SeatTable).seats[1].presence, SeatPresence::Present);
    EXPECT_EQ(Got(7, MessageType::Turn), EncodeMessage(Turn(1, 1)));
    EXPECT_EQ(The(1, MessageType::SeatEvent).event, SeatEventKind::Rejoined);
    EXPECT_TRUE(Logged("rejoin: seat 2 \"Bo\""));
    // Its turns count as the seat's.
    Send(7, Turn(2, 2));
    EXPECT_EQ(The(1, MessageType::Turn).turn, 2u);
    // A wrong code still gets nothing.
    Arrive(8, Join("Cy", "GAME43"));
    EXPECT_EQ(The(8, MessageType::Refused).reason, RefusalReason::WrongCode);
}

TEST_F(Relay, APlayerBackBeforeItsOldConnectionEndedReplacesIt)
{
    ThreeSeatGame();
    // A restarted program on a new connection: connection 3 has not timed out yet.
    Arrive(9, Join("Cy"));
    EXPECT_TRUE(Dropped(3));
    EXPECT_EQ(The(9, MessageType::SeatTable).yourMachine, 3);
    EXPECT_EQ(Count(9, MessageType::Turn), 1);
    // The old connection's end changes nothing now.
    Clear();
    Disconnect(3, true);
    EXPECT_EQ(Count(1, MessageType::SeatEvent), 0);
    EXPECT_EQ(game.Seats()[2].presence, SeatPresence::Present);

    // A joined connection's id connecting again ends the old connection first.
    // Found by the relay fuzzer: joining on it with its own name then freed
    // the connection being handled.
    Connect(2);
    EXPECT_EQ(game.Seats()[1].presence, SeatPresence::TimedOut);
    Send(2, Join("Bo"));
    EXPECT_EQ(game.Seats()[1].presence, SeatPresence::Present);
    EXPECT_EQ(The(2, MessageType::SeatTable).yourMachine, 2);
    EXPECT_FALSE(Dropped(2));
}

TEST_F(Relay, BeforeTheStartALeavingJoinerFreesItsSeatAndALeavingHostClosesTheGame)
{
    Arrive(1, Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::Open}));
    Arrive(2, Join("Bo"));
    Arrive(3, Join("Cy"));
    Disconnect(2, false);
    EXPECT_EQ(The(1, MessageType::SeatTable).seats[1].presence, SeatPresence::Open);
    Arrive(4, Join("Bo")); // the same name may take a seat again
    EXPECT_EQ(The(4, MessageType::SeatTable).seats[1].name, "Bo");
    Disconnect(1, false);
    EXPECT_EQ(The(3, MessageType::Refused).reason, RefusalReason::HostLeft);
    EXPECT_EQ(The(4, MessageType::Refused).reason, RefusalReason::HostLeft);
    EXPECT_FALSE(game.HasGame());
    // A new host may open a game.
    Arrive(5, Host({SeatPlan::HostHuman, SeatPlan::Open}, "Eve"));
    EXPECT_TRUE(game.HasGame());
    EXPECT_EQ(The(5, MessageType::SeatTable).yourMachine, 1);
}

TEST_F(Relay, TheComputerTakesAnEmptySeatOverWhenEveryoneAgrees)
{
    ThreeSeatGame();
    Send(1, Turn(1, 1)); // seat 2 (Bo) to play
    Send(2, Vote(1));    // a present seat cannot be taken
    EXPECT_EQ(game.Seats()[1].machine, 2);
    Disconnect(2, false);
    Send(1, Vote(1));
    EXPECT_EQ(game.Seats()[1].presence, SeatPresence::Away); // Cy has not agreed yet
    Clear();
    Send(3, Vote(1));
    EXPECT_EQ(Text(game.Seats()), "Ann P1+ | Bo C1+ | Cy P3+"); // the lowest machine present plays it
    EXPECT_EQ(The(3, MessageType::SeatEvent).event, SeatEventKind::TakenOver);
    // The seat is to play now: its new machine gets the turn to play it from.
    EXPECT_EQ(Got(1, MessageType::Turn), EncodeMessage(Turn(1, 1)));
    EXPECT_TRUE(Logged("take over: seat 2 played by the computer on machine 1"));
    Send(1, Turn(2, 2));
    EXPECT_EQ(The(3, MessageType::Turn).turn, 2u);

    // Bo comes back: the seat is his again (not its turn now).
    Arrive(12, Join("Bo"));
    EXPECT_EQ(Text(game.Seats()), "Ann P1+ | Bo P2+ | Cy P3+");
    EXPECT_TRUE(Logged("return: seat 2 back to \"Bo\""));
}

TEST_F(Relay, ASeatTakenOverGoesBackOnlyWhenItsTurnInPlayEnds)
{
    ThreeSeatGame();
    Send(1, Turn(1, 1));
    Disconnect(2, true);
    Send(1, Vote(1));
    Send(3, Vote(1));
    ASSERT_EQ(game.Seats()[1].machine, 1);
    Arrive(12, Join("Bo")); // seat 2's turn is being played by the computer
    EXPECT_EQ(game.Seats()[1].machine, 1);
    Send(1, Turn(2, 2)); // the computer ends it
    EXPECT_EQ(game.Seats()[1].machine, 2);
    EXPECT_EQ(The(12, MessageType::SeatTable).seats[1].control, SeatControl::Person);
}

TEST_F(Relay, MalformedOrOutOfPlaceMessagesDropTheirConnection)
{
    Arrive(1, Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::Open, SeatPlan::Open}));
    struct Row
    {
        std::vector<uint8_t> bytes;
        bool joinFirst;
        const char* why;
    };
    Message refused;
    refused.type = MessageType::Refused;
    std::vector<uint8_t> oversized(kMaxSmallMessageBytes + 10, 0);
    oversized[0] = uint8_t(MessageType::Vote);
    const Row rows[] = {
        {{}, false, "empty message"},
        {{99, 1, 2}, false, "unknown message type 99"},
        {{7}, true, "malformed vote message"},
        {EncodeMessage(Vote(0)), false, "sent a vote message before joining"},
        {EncodeMessage(refused), true, "does not take"},
        {EncodeMessage(Join("Zed")), true, "does not take"},
        {oversized, false, "too large"},
    };
    uint32_t c = 100;
    for (const Row& row : rows)
    {
        Connect(c);
        if (row.joinFirst)
        {
            Send(c, Join("Zed" + std::to_string(c)));
            ASSERT_EQ(Count(c, MessageType::Refused), 0);
        }
        log.clear();
        SendBytes(c, row.bytes);
        EXPECT_TRUE(Dropped(c)) << row.why;
        EXPECT_TRUE(Logged(row.why)) << row.why;
        c++;
    }
}

TEST_F(Relay, AConnectionThatFloodsOrNeverJoinsIsDropped)
{
    ThreeSeatGame();
    // A burst of votes within the bound is fine; past it the machine goes.
    for (int k = 0; k < int(RelayGame::kMessageBurst) - 1; k++)
        Send(2, Vote(1));
    EXPECT_FALSE(Dropped(2));
    Send(2, Vote(1));
    Send(2, Vote(1));
    EXPECT_TRUE(Dropped(2));
    EXPECT_TRUE(Logged("sends more than its bound"));
    EXPECT_EQ(game.Seats()[1].presence, SeatPresence::Away);
    // The allowance refills with time.
    for (int k = 0; k < 3 * int(RelayGame::kMessageBurst); k++)
    {
        now += 1.0 / RelayGame::kMessagesPerSecond;
        Send(3, Vote(1));
    }
    EXPECT_FALSE(Dropped(3));
    // Bytes count too: four largest snapshots at once are more than the bound.
    const Message big = Turn(1, 1, kMaxSnapshotBytes);
    for (int k = 0; k < 3; k++)
        Send(1, big);
    EXPECT_FALSE(Dropped(1));
    Send(1, big);
    EXPECT_TRUE(Dropped(1));

    Clear();
    Connect(50);
    now += RelayGame::kJoinWindowSeconds - 0.5;
    game.Tick(now);
    Collect();
    EXPECT_FALSE(Dropped(50));
    now += 1.0;
    game.Tick(now);
    Collect();
    EXPECT_TRUE(Dropped(50));
    EXPECT_TRUE(Logged("did not join in time"));
}
