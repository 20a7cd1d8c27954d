// The game's side of a network game against a relay on loopback and a
// scripted host: the turns another machine sends are rebuilt and their hash
// checked, a game that differs is reported to the others and never played,
// and a game that cannot begin hands its reason back to the menu.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "app/NetGame.h"
#include "game/Game.h"
#include "net/NetSession.h"
#include "net/RelayServer.h"
#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"
#include "support/GLTest.h"

namespace
{

using Clock = std::chrono::steady_clock;

const char* const kCode = "NETGAME1";

// A relay on 127.0.0.1 served by a thread of its own, and a scripted host
// in another: it opens a two-seat game (its person, and a seat for the game
// under test), and once both seats are taken runs its script. Every loop
// ends within its time even when the other side never answers.
class NetGameTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        log = std::tmpfile();
        RelayConfig config;
        config.address = "127.0.0.1";
        config.port = 0;
        server = std::make_unique<RelayServer>(config, log);
        std::string error;
        ASSERT_TRUE(server->Open(error)) << error;
        relay = std::thread(
            [this]
            {
                const Clock::time_point end = Clock::now() + std::chrono::seconds(120);
                while (!stop && Clock::now() < end)
                {
                    server->Service(2);
                }
            });
        // The game the host sends, built here: drawing needs this thread's context.
        Game* game = new Game(2, "map1");
        const Snapshot snapshot = CaptureSnapshot(*game);
        delete game;
        bytes = EncodeSnapshot(snapshot);
        hash = SnapshotHash(snapshot);
    }

    void TearDown() override
    {
        stop = true;
        if (hostThread.joinable())
        {
            hostThread.join();
        }
        relay.join();
        server.reset();
        std::fclose(log);
        GLTest::TearDown();
    }

    // The host opens the game and, once the game under test has joined, runs
    // script until it returns true (or 30 seconds pass).
    void StartHost(std::function<bool(NetSession&)> script)
    {
        hostThread = std::thread(
            [this, script]
            {
                NetSession host;
                std::string error;
                if (!host.Host("127.0.0.1", server->Port(), kCode, "Ann",
                               {SeatPlan::HostHuman, SeatPlan::Open}, {}, error))
                {
                    hostError = error;
                    return;
                }
                hostOpen = true;
                const Clock::time_point end = Clock::now() + std::chrono::seconds(30);
                bool done = false;
                while (!stop && !done && Clock::now() < end)
                {
                    host.Poll(5);
                    done = host.AllSeatsTaken() && script(host);
                }
                hostSawMismatch = host.MismatchReported();
                host.Leave(2000);
            });
    }

    // The game under test joins once the relay has the host's game (before
    // that the relay refuses it: no game).
    NetChoice Joining() const
    {
        const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
        while (!hostOpen && Clock::now() < end)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        NetChoice choice;
        choice.role = NetChoice::Role::Join;
        choice.address = "127.0.0.1";
        choice.port = server->Port();
        choice.code = kCode;
        choice.name = "Bo";
        return choice;
    }

    std::FILE* log = nullptr;
    std::unique_ptr<RelayServer> server;
    std::thread relay;
    std::thread hostThread;
    std::atomic<bool> stop{false};
    std::vector<uint8_t> bytes;
    uint64_t hash = 0;
    std::string hostError;
    std::atomic<bool> hostSawMismatch{false};
    std::atomic<bool> hostOpen{false};
};

TEST_F(NetGameTest, TheTurnsOfAnotherMachineAreRebuiltAndCheckedToTheEnd)
{
    int step = 0;
    StartHost(
        [&](NetSession& host)
        {
            if (step == 0)
            {
                host.Begin(0, hash, bytes);
                step = 1;
            }
            else if (step == 1)
            {
                // Turn 1, the game as it was, over without a winner: the game
                // under test loads it, checks it and shows the end screens.
                host.EndTurn(1, true, kNoSeat, hash, bytes, {});
                step = 2;
            }
            return step == 2;
        });
    const NetGameEnd end = RunNetworkGame(Joining(), GameSetup(), true);
    EXPECT_EQ(hostError, "");
    EXPECT_EQ(end.status, 0) << end.reason;
    EXPECT_TRUE(end.begun);
    EXPECT_EQ(end.reason, "");
    stop = true;
    hostThread.join();
    EXPECT_FALSE(hostSawMismatch);
}

TEST_F(NetGameTest, AGameThatDiffersIsReportedToTheOthersAndNotPlayed)
{
    bool sent = false;
    StartHost(
        [&](NetSession& host)
        {
            if (!sent)
            {
                host.Begin(0, hash ^ 1, bytes); // the hash of another game
                sent = true;
            }
            return host.MismatchReported();
        });
    const NetGameEnd end = RunNetworkGame(Joining(), GameSetup(), true);
    EXPECT_EQ(end.status, 1);
    EXPECT_FALSE(end.begun);
    EXPECT_NE(end.reason.find("differs from the one sent"), std::string::npos) << end.reason;
    hostThread.join();
    EXPECT_TRUE(hostSawMismatch);
}

TEST_F(NetGameTest, ARefusedJoinHandsItsReasonBackToTheMenu)
{
    StartHost([](NetSession&) { return false; });
    NetChoice choice = Joining();
    choice.code = "WRONG1";
    const Clock::time_point start = Clock::now();
    const NetGameEnd end = RunNetworkGame(choice, GameSetup(), true);
    EXPECT_EQ(end.status, 1);
    EXPECT_FALSE(end.begun);
    EXPECT_EQ(end.reason, "refused: wrong game code");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    // Nobody at the address: the reason too, and no wait past the connection's.
    choice = Joining();
    choice.port = 1;
    const NetGameEnd nobody = RunNetworkGame(choice, GameSetup(), true);
    EXPECT_EQ(nobody.status, 1);
    EXPECT_FALSE(nobody.reason.empty());
}

} // namespace
