// A computer's turn through the real loop and its frames: what the one person
// watching sees of it (only what their own ships detect), the neutral screen
// for two or more people, the key that plays the rest of the turn unseen,
// and Escape.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ai/ComputerPlayer.h"
#include "app/ComputerTurn.h"
#include "app/Startup.h"
#include "audio/GameSounds.h"
#include "audio/SoundQueue.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ships/TestGame.h"
#include "support/Events.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"
#include "world/Environment.h"

namespace
{

constexpr SeatKind H = SeatKind::Human;
constexpr SeatKind E = SeatKind::ComputerEasy;

// Every stencil value of the frame in the back buffer.
std::set<unsigned> StencilValues()
{
    std::vector<GLubyte> values(800 * 600);
    glReadPixels(0, 0, 800, 600, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, values.data());
    return std::set<unsigned>(values.begin(), values.end());
}

// A game on map1 whose players' seats are given, at the start of the turn of
// player index `mover`, with the clocks of a fresh program.
std::unique_ptr<Game> GameAtTurnOf(const std::vector<SeatKind>& kinds, int mover)
{
    SeedRandom(1);
    auto game = std::make_unique<Game>(int(kinds.size()), "map1");
    SeatKind seats[4] = {H, H, H, H};
    std::copy(kinds.begin(), kinds.end(), seats);
    SeatPlayers(*game, seats, 11);
    for (int i = 0; i < mover; i++)
    {
        game->NextPlayer();
    }
    gTickClock = TickClock();
    gAnimationTime = 0.0f;
    return game;
}

std::vector<Vector> Positions(const Game& game)
{
    std::vector<Vector> positions;
    for (const Player* player : game.GetPlayers())
    {
        for (const Ship* ship : player->fleet)
        {
            positions.push_back(ship->GetPosition());
        }
    }
    return positions;
}

// Types Space from SDL's timer thread once `gTicksBeforeKey` timer periods
// have passed: in the middle of a turn that is being watched.
int gTicksBeforeKey = 0;

Uint32 TypeKeyLater(Uint32 interval, void*)
{
    if (gTicksBeforeKey > 0 && --gTicksBeforeKey == 0)
    {
        PushEvent(SDL_KEYDOWN, SDLK_SPACE);
    }
    return interval;
}

// A computer player of the test's own: it notes what is heard, posts a sound
// of one of its ships, types a key in the middle of its ticks and ends its turn.
class ListeningPlayer : public ComputerPlayer
{
  public:
    ListeningPlayer(Game& game_, const Ship& ship_) : game(game_), ship(ship_) {}

    void PlayTurn(const std::function<void()>& advanceTick) override
    {
        heard.push_back(GetHeardSounds());
        const bool enabled = gSoundQueue.Enabled();
        gSoundQueue.Enable(true);
        PostShipSound(Sound::BulletHit, ship);
        posted = gSoundQueue.Take();
        gSoundQueue.Enable(enabled);
        advanceTick();
        PushEvent(SDL_KEYDOWN, SDLK_SPACE);
        advanceTick();
        advanceTick();
        heard.push_back(GetHeardSounds());
        game.SetState(1);
    }

    void SaveMemory(ComputerMemory&) const override {}
    bool LoadMemory(const ComputerMemory&, std::string&) override { return true; }

    Game& game;
    const Ship& ship;
    std::vector<HeardSounds> heard;
    std::vector<SoundEvent> posted;
};

using ComputerTurnFrames = GLTest;

TEST_F(ComputerTurnFrames, TheWatchedTurnShowsOnlyWhatThePersonsOwnShipsDetect)
{
    const std::unique_ptr<Game> game(NewEmptyGame(2));
    Player& person = *game->players[0];
    Player& computer = *game->players[1];
    auto place = [&](int owner, const Vector& offset, const char* shipClass)
    {
        Ship* ship = PlaceShip(game.get(), owner, offset, shipClass);
        ship->motionState = Ship::Stopped;
        ship->BuildSensorEnvelope();
        return ship;
    };
    place(0, Vector(-70.0f, 0.0f, -30.0f), "battlefrigate"); // the person's own
    Ship* seen = place(1, Vector(50.0f, 0.0f, -50.0f), "beamfrigateopen");
    Ship* lost = place(1, Vector(-10.0f, 0.0f, -140.0f), "battlefrigate");
    Ship* neverSeen = place(1, Vector(10.0f, 0.0f, -10.0f), "escortcarrier2");
    seen->detection[0].state = 2;
    lost->detection[0].state = 1;
    lost->detection[0].lastPosition = kTestOrigin + Vector(-50.0f, 0.0f, -110.0f);
    lost->detection[0].lastOrientation = Orientation(0.0f, 60.0f, 0.0f);

    // The computer's turn, with one of its ships selected and under way.
    game->NextPlayer();
    computer.SelectShip(seen->id, false);
    seen->OrderMove(-60.0f, 0.0f, 40.0f);
    for (Player* player : {&person, &computer})
    {
        const Vector eye = kTestOrigin + Vector(0.0f, 0.0f, -60.0f) - Player::ViewDirectionFor(0.0f) * 160.0f;
        player->SetHeading(0.0f);
        player->SetFocus(eye.x, eye.y - 100.0f, eye.z);
    }

    // Through the person's eyes: their ship, the enemy they see, the ghost
    // (never pickable) where they lost the other, nothing of the one never
    // seen, and nothing of the computer's selection and orders.
    game->SetViewer(&person);
    SeedRandom(7);
    gAnimationTime = 2.5f;
    DrawWatchedFrame(*game);
    // (The reference holds the stencil values too: only the two ships'
    // ids, the ghost's and the unseen ship's nowhere.)
    EXPECT_TRUE(MatchesReference("computer-turn-watched"));

    // The same camera through the computer's own eyes shows its whole fleet:
    // all of it is in view.
    game->SetViewer(nullptr);
    DrawWatchedFrame(*game);
    const std::set<unsigned> ids = StencilValues();
    EXPECT_EQ(ids.count(lost->id), 1u);
    EXPECT_EQ(ids.count(neverSeen->id), 1u);
}

TEST_F(ComputerTurnFrames, AWatchedTurnFastForwardedIsTheSameTurnAsOnePlayedUnseen)
{
    // Watched for about a second, then a key plays the rest without drawing.
    std::unique_ptr<Game> watched = GameAtTurnOf({H, E}, 1);
    FlushEvents();
    gTicksBeforeKey = 20;
    SDL_TimerID typist = SDL_AddTimer(50, TypeKeyLater, nullptr);
    const ComputerTurnRecord record = PlayComputerTurn(*watched);
    SDL_RemoveTimer(typist);
    const unsigned watchedRandom = RandomState();
    const std::vector<Vector> watchedPositions = Positions(*watched);
    EXPECT_EQ(watched->GetState(), 1);
    EXPECT_EQ(watched->GetViewer(), watched->GetCurrentPlayer()) << "nobody watches once the turn is over";
    watched.reset();

    // The same turn with nothing drawn at all.
    const std::unique_ptr<Game> unseen = GameAtTurnOf({H, E}, 1);
    const std::vector<Vector> start = Positions(*unseen);
    Player& player = *unseen->GetCurrentPlayer();
    unseen->GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    unseen->SetState(0);
    player.computer->PlayTurn(
        [&]
        {
            if (GameOverReached(*unseen))
            {
                unseen->SetState(2);
            }
            HandleTick(*unseen);
        });
    EXPECT_GT(record.framesWatched, 2) << "the turn was watched before the key";
    EXPECT_GT(record.ticks, 40) << "most of the turn was played after the key";
    EXPECT_EQ(RandomState(), watchedRandom) << "the frames drew from the game's random numbers";
    EXPECT_EQ(Positions(*unseen), watchedPositions);
    EXPECT_NE(Positions(*unseen), start) << "the computer played its turn";
}

// A key at the start of a watched turn plays the whole turn after one frame;
// Escape, watched or not, ends the game before any tick.
TEST_F(ComputerTurnFrames, AKeyAtTheStartPlaysTheWholeTurnAfterOneFrameAndEscapeEndsTheGame)
{
    const struct
    {
        std::vector<SeatKind> seats;
        int mover;
        SDLKey key;
        int state, framesWatched;
    } rows[] = {
        {{E, H}, 0, SDLK_SPACE, 1, 1},  {{E, H}, 0, SDLK_d, 1, 1},         {{E, H}, 0, SDLK_TAB, 1, 1},
        {{H, E}, 1, SDLK_ESCAPE, 2, 1}, {{H, H, E}, 2, SDLK_ESCAPE, 2, 0},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE("key " + std::to_string(int(row.key)) + ", " + std::to_string(row.seats.size()) +
                     " players");
        const std::unique_ptr<Game> game = GameAtTurnOf(row.seats, row.mover);
        const std::vector<Vector> start = Positions(*game);
        FlushEvents();
        PushEvent(SDL_KEYDOWN, row.key);
        const ComputerTurnRecord record = PlayComputerTurn(*game);
        EXPECT_EQ(game->GetState(), row.state);
        EXPECT_EQ(record.framesWatched, row.framesWatched);
        EXPECT_EQ(record.ticks > 0, row.state == 1);
        EXPECT_EQ(Positions(*game) != start, row.state == 1) << "no tick after Escape";
        EXPECT_EQ(game->timer, nullptr);
    }
}

TEST_F(ComputerTurnFrames, WithTwoPeopleTheTurnRunsBehindTheNeutralScreenThatStaysUpToBeRead)
{
    const std::unique_ptr<Game> game = GameAtTurnOf({H, H, E}, 2);
    const std::vector<Vector> start = Positions(*game);
    FlushEvents();
    const Uint32 began = SDL_GetTicks();
    const ComputerTurnRecord record = PlayComputerTurn(*game);
    EXPECT_GE(SDL_GetTicks() - began, 1500u);
    EXPECT_EQ(game->GetState(), 1);
    EXPECT_NE(Positions(*game), start);
    EXPECT_EQ(record.framesWatched, 0) << "no view was drawn";
    EXPECT_TRUE(MatchesReference("computer-turn-neutral-done"));
    // The screen as it names the computer and shows its progress partway.
    DrawComputerTurnScreen(*game, 0.4f);
    EXPECT_TRUE(MatchesReference("computer-turn-neutral"));
}

TEST_F(ComputerTurnFrames, ThePersonWatchingHearsTheWorldAsTheySeeItAndNobodyHearsAnUnwatchedTurn)
{
    const struct
    {
        std::vector<SeatKind> seats;
        std::vector<HeardSounds> heard; // at the start, after the key
        int listener;                   // whose detection a ship's sound follows
    } cases[] = {
        {{H, E}, {HeardSounds::WorldOnly, HeardSounds::None}, 0},
        {{H, H, E}, {HeardSounds::None, HeardSounds::None}, 2},
    };
    for (const auto& c : cases)
    {
        const int mover = int(c.seats.size()) - 1;
        const std::unique_ptr<Game> game = GameAtTurnOf(c.seats, mover);
        auto* listening = new ListeningPlayer(*game, *game->players[size_t(mover)]->fleet.front());
        game->players[size_t(mover)]->computer.reset(listening);
        FlushEvents();
        PlayComputerTurn(*game);
        EXPECT_EQ(listening->heard, c.heard) << c.seats.size() << " players";
        ASSERT_EQ(listening->posted.size(), 1u);
        EXPECT_EQ(listening->posted[0].viewer, c.listener) << c.seats.size() << " players";
        EXPECT_EQ(GetHeardSounds(), HeardSounds::All) << "everything is heard again after the turn";
    }
}

} // namespace
