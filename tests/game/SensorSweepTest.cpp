// The detection results of a whole battle: the game's sweep against the plain
// one (every pair of ships, the plain nebula walk), every observer entry of
// every ship after every tick.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "input/EventHandling.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "support/BattleScript.h"
#include "support/GLTest.h"
#include "world/Environment.h"
#include "world/ReferenceQueries.h"

namespace
{

// The detection test as the rules state it, with nothing left out.
class PlainSweepGame : public Game
{
  public:
    using Game::Game;

    int hiddenPairs = 0;     // tests failed because of the nebula between the ships
    int endlessWalks = 0;    // pairs between which the plain walk never ends
    int unresolvedWalks = 0; // pairs whose walk neither ended nor repeated a pass

    void SensorSweep(Ship* s) override
    {
        if (!s->IsAlive())
        {
            return;
        }
        for (Player* player : players)
        {
            if (player == currentPlayer)
            {
                continue;
            }
            for (Ship* t : player->fleet)
            {
                // Ships almost level on one axis: the plain walk's step on
                // that axis can round away, and it then never ends. Its sum
                // stops changing, and the detection test takes that sum.
                bool endless = false;
                const float e = ReferenceObscurationToTheEnd(*environment, s->position, t->position, endless);
                endlessWalks += endless ? 1 : 0;
                unresolvedWalks += std::isnan(e) ? 1 : 0;
                if (t->sensorRange + s->signature - e > 0.0f)
                    s->MarkSeen(t->id, player->GetIndex());
                else
                    s->MarkUnseen(t->id, player->GetIndex()), hiddenPairs++;
                if (s->sensorRange + t->signature - e > 0.0f)
                    t->MarkSeen(s->id, s->owner);
                else
                    t->MarkUnseen(s->id, s->owner), hiddenPairs++;
            }
        }
    }
};

// FNV-1a over everything every ship's detection entries hold.
struct Digest
{
    uint64_t value = 1469598103934665603ull;
    void Add(const void* data, size_t size)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; i++)
        {
            value = (value ^ bytes[i]) * 1099511628211ull;
        }
    }
    template <typename T> void Add(const T& item) { Add(&item, sizeof item); }
};

void AddShip(Digest& digest, const Ship& ship)
{
    digest.Add(ship.id);
    for (const auto& [playerIndex, entry] : ship.detection)
    {
        digest.Add(playerIndex);
        digest.Add(entry.state);
        digest.Add(entry.lastPosition);
        digest.Add(entry.lastOrientation);
        for (const auto& [observer, sees] : entry.observers)
        {
            digest.Add(observer);
            digest.Add(sees);
        }
    }
}

constexpr int kTurns = 12;

// Plays the scripted battle and returns the digest of all detection entries
// after every tick.
std::vector<uint64_t> DetectionTrace(Game& game)
{
    std::vector<uint64_t> trace;
    for (int turn = 0; turn < kTurns; turn++)
    {
        battle::OrderTurn(game);
        for (int tick = 0; tick < battle::kTicksPerTurn; tick++)
        {
            HandleTick(game);
            Digest digest;
            for (const Player* player : game.GetPlayers())
            {
                for (const Ship* ship : player->fleet)
                {
                    AddShip(digest, *ship);
                }
            }
            for (const Ship* wreck : game.GetWrecks())
            {
                AddShip(digest, *wreck);
            }
            trace.push_back(digest.value);
        }
        game.NextPlayer();
    }
    return trace;
}

// Plays the scripted battle on a new game of type G from a fixed start.
template <typename G> std::vector<uint64_t> PlayBattle(const char* map, std::unique_ptr<G>& game)
{
    SeedRandom(1);
    gTickClock = TickClock();
    game.reset(new G(4, map));
    return DetectionTrace(*game);
}

} // namespace

TEST(SensorSweep, AWholeBattleDetectsExactlyAsThePlainSweep)
{
    ASSERT_TRUE(OpenGameDisplay());
    for (const char* map : {"map1", "map3"})
    {
        std::unique_ptr<Game> game;
        const std::vector<uint64_t> fast = PlayBattle(map, game);
        const int shipsLost = int(game->nextId - 5) - battle::LiveShips(*game);
        game.reset();
        std::unique_ptr<PlainSweepGame> plainGame;
        const std::vector<uint64_t> plain = PlayBattle(map, plainGame);
        ASSERT_EQ(fast.size(), plain.size());
        const auto firstDifference = std::mismatch(fast.begin(), fast.end(), plain.begin()).first;
        EXPECT_EQ(firstDifference, fast.end())
            << map << ": detection differs from tick " << (firstDifference - fast.begin());
        // A real fight, in which the nebula hid ships for a while, and ships
        // stood level with each other.
        EXPECT_GT(shipsLost, 4) << map;
        EXPECT_GT(plainGame->hiddenPairs, 100) << map;
        EXPECT_GT(plainGame->endlessWalks, 0) << map;
        EXPECT_EQ(plainGame->unresolvedWalks, 0) << map;
    }
}
