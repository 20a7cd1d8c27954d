#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "net/NetSession.h"
#include "net/RelayServer.h"
#include "support/LoopbackRelay.h"

namespace
{

uint64_t Fnv1a(const std::vector<uint8_t>& bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 0x100000001b3ull;
    return hash;
}

// A toy game played through sessions: the game is a list of bytes, a turn
// appends the seat that played it, and the game is over after kTurns turns.
// Each machine keeps the game it loaded and checks every turn's hash.
struct Machine
{
    std::unique_ptr<NetSession> session = std::make_unique<NetSession>();
    std::vector<uint8_t> game;
    int turnsLoaded = 0;
    int turnsPlayed = 0;
    bool mismatch = false;
    uint32_t stopAtTurn = 0; // when set, the machine stops before playing this turn
    bool stopped = false;

    static constexpr uint32_t kTurns = 12;

    // Loads what arrived and plays what is this machine's.
    void Step()
    {
        session->Poll(1);
        Message turn;
        while (session->TakeNewTurn(turn))
        {
            game = turn.snapshot;
            turnsLoaded++;
            if (Fnv1a(game) != turn.hash)
            {
                mismatch = true;
                session->ReportMismatch(turn, Fnv1a(game));
            }
        }
        while (session->MustPlay())
        {
            if (stopAtTurn != 0 && session->LatestTurn().turn == stopAtTurn)
            {
                stopped = true;
                return;
            }
            const uint8_t seat = session->LatestTurn().seatToPlay;
            game.push_back(seat);
            turnsPlayed++;
            const bool over = session->LatestTurn().turn + 1 == kTurns;
            const uint8_t next = uint8_t((seat + 1) % session->Seats().size());
            session->EndTurn(next, over, over ? seat : kNoSeat, Fnv1a(game), game, {});
        }
    }
};

class Sessions : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(relay.Start(error)) << error;
        port = relay.Port();
    }
    void TearDown() override { machines.clear(); }

    Machine& Host(const std::vector<SeatPlan>& plan, const std::string& name = "Ann")
    {
        machines.push_back(std::make_unique<Machine>());
        std::string error;
        EXPECT_TRUE(machines.back()->session->Host("127.0.0.1", port, "TOY123", name, plan, {9, 8}, error))
            << error;
        return *machines.back();
    }
    Machine& Join(const std::string& name, const std::string& code = "TOY123")
    {
        machines.push_back(std::make_unique<Machine>());
        std::string error;
        EXPECT_TRUE(machines.back()->session->Join("127.0.0.1", port, code, name, error)) << error;
        return *machines.back();
    }

    bool StepUntil(const std::function<bool()>& done, double seconds = 10.0)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            for (auto& m : machines)
                m->Step();
            if (done())
                return true;
        }
        return false;
    }

    // The host begins once every seat is taken.
    void BeginWhenFull(Machine& host)
    {
        ASSERT_TRUE(StepUntil([&] { return host.session->AllSeatsTaken(); }));
        host.session->Begin(0, Fnv1a(host.game), host.game);
    }

    bool AllOver()
    {
        return std::all_of(machines.begin(), machines.end(),
                           [](const auto& m) { return m->session->GetPhase() == NetSession::Phase::Over; });
    }

    LoopbackRelay relay;
    unsigned short port = 0;
    std::vector<std::unique_ptr<Machine>> machines;
};

// The game every machine must end with: the seats in turn, twelve turns.
std::vector<uint8_t> GameOf(uint32_t seats)
{
    std::vector<uint8_t> game;
    for (uint32_t t = 0; t < Machine::kTurns; t++)
        game.push_back(uint8_t(t % seats));
    return game;
}

} // namespace

TEST_F(Sessions, MachinesPlayTheSeatsTheyOwnAndEndWithTheSameGame)
{
    // The host plays its own seat and a computer's; Bo and Cy one each.
    Machine& ann = Host({SeatPlan::HostHuman, SeatPlan::HostComputer, SeatPlan::Open, SeatPlan::Open});
    Machine& bo = Join("Bo");
    ASSERT_TRUE(StepUntil([&] { return bo.session->Seats().size() == 4 && bo.session->OwnsSeat(2); }));
    EXPECT_FALSE(ann.session->AllSeatsTaken());
    EXPECT_EQ(bo.session->Settings(), (std::vector<uint8_t>{9, 8}));
    Machine& cy = Join("Cy");
    BeginWhenFull(ann);
    ASSERT_TRUE(StepUntil([&] { return AllOver(); }));
    for (auto& m : machines)
    {
        EXPECT_EQ(m->game, GameOf(4));
        EXPECT_FALSE(m->mismatch);
        EXPECT_EQ(m->turnsPlayed, m.get() == &ann ? 6 : 3);
        EXPECT_EQ(m->session->LatestTurn().winner, 3);
    }
    EXPECT_EQ(cy.turnsLoaded, 10); // the game's start, and every turn the others ended
    EXPECT_EQ(bo.session->SeatLabel(0) + "," + bo.session->SeatLabel(1) + "," + bo.session->SeatLabel(2),
              "Ann,Computer,Bo");
    std::string notice;
    ASSERT_TRUE(ann.session->TakeNotice(notice));
    EXPECT_EQ(notice, "Player 3 (Bo) joined");
}

TEST_F(Sessions, TheComputerTakesTheSeatOfAPlayerWhoLeftWhenTheOthersAgree)
{
    Machine& ann = Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::Open});
    Machine& bo = Join("Bo");
    Machine& cy = Join("Cy");
    BeginWhenFull(ann);
    cy.stopAtTurn = 2;
    ASSERT_TRUE(StepUntil([&] { return cy.stopped; }));
    cy.session->Leave();
    ASSERT_TRUE(StepUntil(
        [&]
        {
            return ann.session->Seats()[2].presence == SeatPresence::Away &&
                   bo.session->Seats()[2].presence == SeatPresence::Away;
        }));
    // Nobody plays seat 3 until both agree.
    ann.session->VoteTakeOver(2);
    EXPECT_FALSE(StepUntil([&] { return ann.session->OwnsSeat(2); }, 0.5));
    bo.session->VoteTakeOver(2);
    ASSERT_TRUE(StepUntil([&] { return ann.session->OwnsSeat(2); }));
    EXPECT_EQ(bo.session->SeatLabel(2), "Computer");
    machines.erase(machines.begin() + 2);
    ASSERT_TRUE(StepUntil([&] { return AllOver(); }));
    EXPECT_EQ(ann.game, GameOf(3));
    EXPECT_EQ(bo.game, GameOf(3));
}

// (The relay's refusals, and their text as a session's reason: RelayGameTest
// and RelayProcessTest.)
TEST_F(Sessions, AMalformedCodeFailsBeforeAnythingIsSent)
{
    NetSession bad;
    std::string error;
    EXPECT_FALSE(bad.Join("127.0.0.1", port, "abc", "Bo", error));
    EXPECT_NE(error.find("capital letters"), std::string::npos) << error;
}

TEST_F(Sessions, AMismatchIsReportedToTheOtherMachines)
{
    Machine& ann = Host({SeatPlan::HostHuman, SeatPlan::Open});
    Machine& bo = Join("Bo");
    ASSERT_TRUE(StepUntil([&] { return ann.session->AllSeatsTaken(); }));
    ann.session->Begin(1, 12345, {}); // a hash that is not the game's
    ASSERT_TRUE(StepUntil([&] { return bo.mismatch && ann.session->MismatchReported(); }));
    std::string notice, last;
    while (ann.session->TakeNotice(notice))
        last = notice;
    EXPECT_EQ(last, "the game differs on another machine after turn 0");
    // Neither plays on.
    EXPECT_EQ(ann.session->GetPhase(), NetSession::Phase::Failed);
    EXPECT_EQ(bo.session->GetPhase(), NetSession::Phase::Failed);
    EXPECT_FALSE(bo.session->MustPlay());
    EXPECT_EQ(bo.turnsPlayed, 0);
    EXPECT_EQ(bo.session->FailReason().rfind("the game loaded after turn 0 differs from the one sent", 0), 0u)
        << bo.session->FailReason();
}
