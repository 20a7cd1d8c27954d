// A game rebuilt from its snapshot is the same game: the same snapshot again,
// and the same next turns, whatever the hand-over it was taken at; and a game
// that cannot be rebuilt is refused with the reason.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ai/ComputerPlayer.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/AutoPlayer.h"
#include "players/Player.h"
#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

using ResumeTest = GLTest;

// A game of computer players, as korvane-autoplay starts one: the scripted
// player in every seat but those listed as Hard.
std::unique_ptr<Game> NewGame(int players, const std::string& map, uint32_t seed,
                              const std::vector<int>& hardSeats = {})
{
    gAnimationTime = 0.0f;
    std::unique_ptr<Game> game(new Game(players, map));
    SeedRandom(seed);
    for (Player* player : game->players)
    {
        const bool hard =
            std::find(hardSeats.begin(), hardSeats.end(), player->GetIndex()) != hardSeats.end();
        player->seat = hard ? SeatKind::ComputerHard : SeatKind::ComputerEasy;
        player->computer = MakeComputerPlayer(player->seat, *game, *player, seed);
    }
    return game;
}

// One turn as the turn cycle plays a computer's, up to the next hand-over.
void PlayTurn(Game& game)
{
    Player& player = *game.GetCurrentPlayer();
    game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    game.SetState(0);
    player.computer->PlayTurn([&game]() { AdvanceGameTick(game); });
    game.NextPlayer();
}

// The snapshot's bytes without the frame-rate figures, which are measured
// on the wall clock.
std::vector<uint8_t> Bytes(const Game& game)
{
    Snapshot s = CaptureSnapshot(game);
    s.fps = 0.0f;
    s.fpsSmoothed = 0.0f;
    return EncodeSnapshot(s);
}

// What the program holds outside the game when a snapshot is taken.
struct Globals
{
    unsigned randomState = RandomState();
    float animationTime = gAnimationTime;
    int tickCounter = gTickClock.tickCounter;
};

std::unique_ptr<Game> Restore(const std::vector<uint8_t>& bytes, const Globals& taken = Globals(),
                              Game* donor = nullptr)
{
    // The program's state outside the game comes from the snapshot too: set
    // otherwise than it was when the snapshot was taken, anything the
    // snapshot left out shows in the game that plays on.
    SeedRandom(taken.randomState + 1);
    gAnimationTime = taken.animationTime + 0.05f;
    gTickClock.tickCounter = taken.tickCounter + 1;
    Snapshot s;
    std::string error;
    EXPECT_TRUE(DecodeSnapshot(bytes, s, error)) << error;
    std::unique_ptr<Game> game(RestoreGame(s, error, donor));
    EXPECT_NE(game, nullptr) << error;
    return game;
}

} // namespace

TEST_F(ResumeTest, EveryHandOverRestoresToTheSameGameThatPlaysOnTheSame)
{
    // At every hand-over the game is restored from its snapshot, which must
    // come back byte for byte, and the next turns, played by the original and
    // by the restored game, end the same; the restored game plays on.
    const struct
    {
        int players;
        const char* map;
        uint32_t seed;
        std::vector<int> hardSeats;
        int hardOvers; // at most
        int ahead;     // the turns compared after each
        bool donor;    // restored with the models of the game it replaces, as a network game does
    } games[] = {
        // Through the first fights: fighters launched, ships destroyed, wrecks
        // burning, dust clouds, explosions and bullets in flight.
        {3, "map3", 11, {}, 24, 1, true},
        // The Hard player remembers contacts, damage done and where it
        // searched (the program's generator is one for both games, so each
        // plays its turns in one go from its snapshot).
        {3, "map2", 4, {0, 2}, 6, 3, false},
    };
    bool sawWreck = false, sawBullets = false, sawExplosion = false, sawFighters = false, sawDust = false,
         remembered = false;
    for (const auto& row : games)
    {
        std::unique_ptr<Game> game = NewGame(row.players, row.map, row.seed, row.hardSeats);
        const size_t mapRegions = game->environment->regions.size();
        for (int handOver = 1; handOver <= row.hardOvers && game->GetState() != 2; handOver++)
        {
            PlayTurn(*game);
            if (row.donor && handOver == 3)
            {
                // A hand-over in the middle of things: a ship just destroyed, its
                // wreck burning, and bullets on their way to a ship and to none.
                Player& victim = *game->players[(game->currentPlayerPos + 1) % 3];
                Destroy(victim.fleet[1]);
                victim.DropDeadShips();
                Ship* target = game->players[(game->currentPlayerPos + 2) % 3]->fleet[0];
                for (int i = 0; i < 3; i++)
                {
                    game->bullets->AddBullet(Vector(float(i), 50.0f, 0.0f), Vector(0.5f, -1.0f, 2.0f),
                                             Vector(1.0f, 1.0f, 0.0f), 2.0f, i < 2 ? target : nullptr);
                }
            }
            const std::vector<uint8_t> bytes = Bytes(*game);
            const Globals taken;
            sawWreck = sawWreck || !game->wrecks.empty();
            sawBullets = sawBullets || !game->bullets->bullets.empty();
            sawExplosion = sawExplosion || !game->environment->explosions.empty();
            sawDust = sawDust || game->environment->regions.size() > mapRegions;
            for (const Player* player : game->players)
                for (const Ship* ship : player->fleet)
                    sawFighters = sawFighters || ship->name == "Vuvorivud Uduvurov";
            for (const PlayerRecord& player : CaptureSnapshot(*game).players)
                remembered = remembered || !player.memory.hard.tracks.empty();

            std::vector<std::vector<uint8_t>> next;
            for (int i = 0; i < row.ahead && game->GetState() != 2; i++)
            {
                PlayTurn(*game);
                next.push_back(Bytes(*game));
            }
            std::unique_ptr<Game> resumed = Restore(bytes, taken, row.donor ? game.get() : nullptr);
            ASSERT_NE(resumed, nullptr);
            ASSERT_TRUE(Bytes(*resumed) == bytes)
                << row.map << ": the game restored at hand-over " << handOver;
            for (size_t i = 0; i < next.size(); i++)
            {
                PlayTurn(*resumed);
                ASSERT_TRUE(Bytes(*resumed) == next[i])
                    << row.map << ": turn " << i + 1 << " after hand-over " << handOver;
            }
            game = std::move(resumed);
        }
    }
    EXPECT_TRUE(sawWreck && sawBullets && sawExplosion && sawFighters && sawDust && remembered)
        << sawWreck << sawBullets << sawExplosion << sawFighters << sawDust << remembered;
}

TEST_F(ResumeTest, OnlyCloudsWhosePuffsTurnedKeepTheirAngles)
{
    std::unique_ptr<Game> game = NewGame(2, "map1", 3);
    PlayTurn(*game);
    Snapshot s = CaptureSnapshot(*game);
    size_t kept = 0, clouds = 0;
    for (const RegionRecord& region : s.regions)
    {
        for (const CloudRecord& cloud : region.clouds)
        {
            clouds++;
            kept += cloud.angles.empty() ? 0 : 1;
            EXPECT_TRUE(cloud.spins.empty());
        }
    }
    EXPECT_GT(clouds, 100u);
    EXPECT_LT(kept, clouds / 4);
    // Turn one cloud's tree: its angles are kept, and come back.
    Cloud& cloud = *game->environment->regions[0]->clouds[3];
    SpinPuffs(cloud.puffs, 2);
    s = CaptureSnapshot(*game);
    ASSERT_EQ(s.regions[0].clouds[3].angles.size(), kPuffAngleCount);
    EXPECT_EQ(s.regions[0].clouds[3].angles[0], cloud.puffs->children[4]->angles[0].x);
    std::unique_ptr<Game> resumed = Restore(EncodeSnapshot(s));
    ASSERT_NE(resumed, nullptr);
    const Cloud& back = *resumed->environment->regions[0]->clouds[3];
    for (int i = 0; i < 4; i++)
    {
        EXPECT_EQ(back.puffs->angles[i], cloud.puffs->angles[i]);
        EXPECT_EQ(back.puffs->children[i]->angles[2], cloud.puffs->children[i]->angles[2]);
        EXPECT_EQ(back.puffs->children[2]->spin[i], cloud.puffs->children[2]->spin[i]);
    }
}

TEST_F(ResumeTest, AGameThatCannotBeBuiltIsRefusedWithTheReason)
{
    std::unique_ptr<Game> game = NewGame(2, "map1", 5);
    PlayTurn(*game);
    const Snapshot good = CaptureSnapshot(*game);
    const GLuint light = game->GetLightTexture(3);

    struct Case
    {
        const char* what;
        void (*change)(Snapshot&);
        const char* message;
    };
    const Case cases[] = {
        {"missing map", [](Snapshot& s) { s.map = "map9"; },
         "the map map9 is missing (Models/Maps/map9.ase)"},
        {"changed map", [](Snapshot& s) { s.regions[1].max.x += 1.0f; },
         "the map map1 has changed since the game was saved"},
        {"map with fewer regions", [](Snapshot& s) { s.regions.pop_back(); },
         "the map map1 has changed since the game was saved (it has more nebulae)"},
        {"cloud count", [](Snapshot& s) { s.regions[0].clouds.pop_back(); },
         "the map map1 has changed since the game was saved"},
        {"dust that does not fit its box",
         [](Snapshot& s)
         {
             RegionRecord dust = s.regions[0];
             dust.clouds.resize(1);
             s.regions.push_back(dust);
         },
         "the file is damaged: dust cloud 3 does not fit its box"},
        {"unknown class", [](Snapshot& s) { s.ships[2].model = "dreadnought"; },
         "the file is damaged: ship 7 is of an unknown class dreadnought"},
        {"changed class", [](Snapshot& s) { s.ships[0].gunTurrets.pop_back(); },
         "the ship class battlefrigate has changed since the game was saved"},
        {"changed lights", [](Snapshot& s) { s.ships[4].lightBlinkTimes.push_back(0.0f); },
         "the ship class battlefrigate has changed since the game was saved"},
        {"memory", [](Snapshot& s) { s.players[1].memory.scripted.searchIndex = 99; },
         "the file is damaged: player 2's memory: search point 99 of 5"},
        {"Hard memory's rival",
         [](Snapshot& s)
         {
             s.players[0].seat = int32_t(SeatKind::ComputerHard);
             s.players[0].memory.hard.kept = true;
             s.players[0].memory.hard.rival = 4;
         },
         "the file is damaged: player 1's memory: rival 4, grid of 0 regions"},
        {"Hard memory's contact",
         [](Snapshot& s)
         {
             s.players[0].seat = int32_t(SeatKind::ComputerHard);
             s.players[0].memory.hard.kept = true;
             s.players[0].memory.hard.tracks.resize(1);
             s.players[0].memory.hard.tracks[0].id = 6;
             s.players[0].memory.hard.tracks[0].classIndex = 40;
         },
         "the file is damaged: player 1's memory: contact 6: owner 0, role 0, class 40"},
        {"check", [](Snapshot& s) { s.currentPlayer = 5; }, "the file is damaged: the next player is 6 of 2"},
    };
    for (const Case& c : cases)
    {
        Snapshot s = good;
        c.change(s);
        std::string error;
        std::unique_ptr<Game> restored(RestoreGame(s, error, game.get()));
        EXPECT_EQ(restored, nullptr) << c.what;
        EXPECT_EQ(error, c.message) << c.what;
        // The game that lent its models has them back.
        EXPECT_NE(game->FindShipModel("battlefrigate"), nullptr) << c.what;
    }
    std::string error;
    std::unique_ptr<Game> restored(RestoreGame(good, error, game.get()));
    ASSERT_NE(restored, nullptr) << error;
    EXPECT_NE(restored->FindShipModel("battlefrigate"), nullptr);
    EXPECT_EQ(game->FindShipModel("battlefrigate"), nullptr);
    EXPECT_EQ(restored->GetLightTexture(3), light);
}

TEST_F(ResumeTest, AHardSeatOfAnOlderSaveStartsAfreshFromWhatItSees)
{
    // Saves made before the Hard player had a memory of its own hold none for
    // it: the seat resumes with a Hard player that knows only what its
    // sensors show, and the game plays on to its end.
    std::unique_ptr<Game> game = NewGame(2, "map1", 3, {1});
    PlayTurn(*game);
    PlayTurn(*game);
    Snapshot s = CaptureSnapshot(*game);
    ASSERT_TRUE(s.players[1].memory.hard.kept);
    s.players[1].memory.hard = HardMemory();
    std::string error;
    std::unique_ptr<Game> resumed(RestoreGame(s, error));
    ASSERT_NE(resumed, nullptr) << error;
    for (int turn = 0; turn < 120 && resumed->GetState() != 2; turn++)
    {
        PlayTurn(*resumed);
    }
    EXPECT_EQ(resumed->GetState(), 2);
    EXPECT_TRUE(CaptureSnapshot(*resumed).players[1].memory.hard.turn > 0);
}
