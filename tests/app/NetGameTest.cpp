// The game's side of a network game against a relay on loopback and a
// scripted host: the turns another machine sends are rebuilt and their hash
// checked, a game that differs is reported to the others and never played,
// a game that cannot begin hands its reason back to the menu, and closing
// the window leaves the game as Escape does.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "app/NetGame.h"
#include "game/Game.h"
#include "net/NetSession.h"
#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"
#include "support/Events.h"
#include "support/GLTest.h"
#include "support/LoopbackRelay.h"

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
        std::string error;
        ASSERT_TRUE(relay.Start(error)) << error;
        // The game the host sends, built here (drawing needs this thread's
        // context); its player is the second seat's, the game under test's.
        Game game(2, "map1");
        game.NextPlayer();
        const Snapshot snapshot = CaptureSnapshot(game);
        bytes = EncodeSnapshot(snapshot);
        hash = SnapshotHash(snapshot);
    }

    void TearDown() override
    {
        stop = true;
        if (hostThread.joinable())
            hostThread.join();
        GLTest::TearDown();
    }

    // The host opens the game and, once the game under test has joined, runs
    // script until it returns true (or 30 seconds pass, and then closes the
    // game under test's window).
    void StartHost(std::function<bool(NetSession&)> script)
    {
        hostThread = std::thread(
            [this, script]
            {
                NetSession host;
                std::string error;
                if (!host.Host("127.0.0.1", relay.Port(), kCode, "Ann", {SeatPlan::HostHuman, SeatPlan::Open},
                               {}, error))
                {
                    hostError = error;
                    return;
                }
                hostOpen = true;
                const Clock::time_point end = Clock::now() + std::chrono::seconds(30);
                bool joined = false, done = false;
                while (!stop && !done && Clock::now() < end)
                {
                    host.Poll(5);
                    joined = joined || host.AllSeatsTaken();
                    done = joined && script(host);
                }
                hostSawMismatch = host.MismatchReported();
                host.Leave(2000);
                // A game under test still waiting for its turn would wait for
                // good: it is closed, and the test fails on what it missed.
                if (!done && !stop)
                    PushEvent(SDL_QUIT);
            });
    }

    // Whether the relay has told the host that the game under test left.
    static bool HeardBoLeave(NetSession& host)
    {
        std::string notice;
        bool left = false;
        while (host.TakeNotice(notice))
            left = left || notice == "Player 2 (Bo) left the game";
        return left;
    }

    // The game under test joins once the relay has the host's game (before
    // that the relay refuses it: no game).
    NetChoice Joining() const
    {
        const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
        while (!hostOpen && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return NetChoice{NetChoice::Role::Join, "127.0.0.1", relay.Port(), "", kCode, "Bo"};
    }

    // The window of the game under test is closed in the lobby or in the game.
    void ExpectClosingLeavesAtOnce(bool inGame)
    {
        std::atomic<bool> closed{false}, left{false};
        Clock::time_point pressed;
        StartHost(
            [&](NetSession& host)
            {
                Message turn;
                if (!closed && (!inGame || (host.HasTurn() && host.TakeNewTurn(turn))))
                {
                    closed = true;
                    PushEvent(SDL_QUIT);
                }
                else if (inGame && !host.HasTurn())
                    host.Begin(1, hash, bytes);
                else if (!closed && Clock::now() - pressed > std::chrono::milliseconds(200))
                {
                    PushEvent(SDL_KEYDOWN, SDLK_SPACE); // past the hand-over screen
                    PushEvent(SDL_KEYDOWN, SDLK_d);     // the turn ends
                    pressed = Clock::now();
                }
                left = left || (closed && HeardBoLeave(host));
                return left.load();
            });
        const NetGameEnd end = RunNetworkGame(Joining(), GameSetup(), true);
        hostThread.join();
        FlushEvents();
        EXPECT_TRUE(closed);
        EXPECT_TRUE(end.closed);
        EXPECT_EQ(end.begun, inGame);
        EXPECT_EQ(end.status, 0);
        EXPECT_TRUE(left);
    }

    LoopbackRelay relay;
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
    StartHost(
        [&](NetSession& host)
        {
            if (!host.HasTurn())
            {
                host.Begin(0, hash, bytes);
                return false;
            }
            // Turn 1, the game as it was, over without a winner: the game
            // under test loads it, checks it and shows the end screens.
            host.EndTurn(1, true, kNoSeat, hash, bytes, {});
            return true;
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
    StartHost(
        [&](NetSession& host)
        {
            if (!host.HasTurn())
                host.Begin(0, hash ^ 1, bytes); // the hash of another game
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

// Closed in the lobby (both seats taken, no game sent yet), or once the game
// under test has played its turn and waits for Ann's: it leaves at once, as
// Escape does, and the relay tells the host at once (a time-out would come a
// minute later).
TEST_F(NetGameTest, ClosingTheWindowInTheLobbyLeavesBeforeTheGameBegins)
{
    ExpectClosingLeavesAtOnce(false);
}

TEST_F(NetGameTest, ClosingTheWindowLeavesTheGameAtOnce)
{
    ExpectClosingLeavesAtOnce(true);
}

} // namespace
