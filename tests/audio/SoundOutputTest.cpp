// What a player hears, checked in the mixed output itself: a real game runs
// its ticks through the game's own tick handling while SDL_mixer mixes into
// SDL's disk driver, and the file it writes is taken apart again.
//
// The test keeps game time and sound time in step: each tick runs under the
// audio lock, where the frame at which a sound started now would begin is
// known exactly (SoundPlayer::MixedFrames), and the next tick waits until the
// mixer has moved on. The test reads from the game's state what happened in
// each tick (a beam that appeared, a hull that lost strength, a ship that
// died, an explosion that began) and so knows every sound that must start at
// that tick's frame, how loud and on which side. A least-squares fit of the
// sound files, each at its frame, to the whole output then measures the
// level of every sound in each channel; what is left over must be nothing.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "audio/GameSounds.h"
#include "audio/Hearing.h"
#include "audio/MixedOutput.h"
#include "audio/SoundPlayer.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "input/KeyCommands.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "support/ScopedEnvironment.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"
#include "world/Explosion.h"

namespace
{

// One sound the output must hold: a file from a frame on, at a level per channel.
struct Expected
{
    Sound sound;
    uint64_t frame;
    double left; // the channel's factor: volume and balance as the mixer applies them
    double right;
    std::string what;
    double measuredLeft = 0.0;
    double measuredRight = 0.0;
};

// The factors the mixer applies for a request: the volume in 128ths, the
// balance in 255ths.
std::pair<double, double> Levels(const PlayRequest& request)
{
    const double volume = std::lround(double(request.gain) * MIX_MAX_VOLUME) / double(MIX_MAX_VOLUME);
    const std::pair<float, float> balance = StereoBalance(request.pan);
    return {volume * std::lround(balance.first * 255.0) / 255.0,
            volume * std::lround(balance.second * 255.0) / 255.0};
}

double Overlap(const std::vector<float>& a, uint64_t aStart, const std::vector<float>& b, uint64_t bStart)
{
    const uint64_t start = std::max(aStart, bStart);
    const uint64_t end = std::min(aStart + a.size(), bStart + b.size());
    double sum = 0.0;
    for (uint64_t t = start; t < end; t++)
    {
        sum += double(a[t - aStart]) * b[t - bStart];
    }
    return sum;
}

// A sound of a ship, heard by player 0 as that player detects the ship.
SoundEvent ShipEvent(Sound sound, const Ship& ship, const Vector& position)
{
    const auto entry = ship.detection.find(0);
    const int32_t detection = entry == ship.detection.end() ? 0 : entry->second.state;
    return SoundEvent{sound, position, 1.0f, ship.owner, 0, detection, ship.id};
}

// What the test reads from the game before and after a tick.
struct ShipState
{
    const Ship* ship;
    bool alive;
    double hull;
    Vector position;
};

struct Snapshot
{
    std::map<uint32_t, ShipState> ships;          // fleets and wrecks
    std::map<const Explosion*, float> explosions; // by address, with age
    int beams = 0;
    size_t fleet0 = 0;
};

Snapshot Take(const Game& game)
{
    Snapshot s;
    for (const Player* player : game.GetPlayers())
    {
        for (const Ship* ship : player->fleet)
        {
            s.ships[ship->id] = {ship, ship->IsAlive(), TotalHull(*ship), ship->position};
        }
    }
    for (const Ship* wreck : game.GetWrecks())
    {
        s.ships[wreck->id] = {wreck, false, 0.0, wreck->position};
    }
    for (const Explosion* explosion : game.GetEnvironment()->explosions)
    {
        s.explosions[explosion] = explosion->age;
    }
    s.beams = game.GetBeams()->Count();
    s.fleet0 = game.players[0]->fleet.size();
    return s;
}

// The sound of a hull struck in a tick: Sound::BulletHit or Sound::BeamHit,
// none in ticks in which nothing strikes.
using Hit = std::optional<Sound>;

class SoundOutput : public GLTest
{
  protected:
    void TearDown() override
    {
        std::remove(outputPath.c_str());
        GLTest::TearDown();
    }

    // One tick of the game's own tick handling, under the audio lock, and
    // the expected sounds of what it did.
    void Tick(Game& game, Hit hit, const Snapshot& before)
    {
        SDL_LockAudio();
        const uint64_t frame = gSoundPlayer.MixedFrames();
        HandleTick(game);
        SDL_UnlockAudio();
        const Snapshot after = Take(game);

        std::vector<SoundEvent> events;
        for (const auto& [id, now] : after.ships)
        {
            const auto old = before.ships.find(id);
            const bool wasAlive = old != before.ships.end() && old->second.alive;
            if (wasAlive && !now.alive)
            {
                events.push_back(ShipEvent(Sound::HullBreak, *now.ship, old->second.position));
                events.push_back({Sound::ShipDestroyed, old->second.position});
            }
            else if (wasAlive && hit && now.hull < old->second.hull)
            {
                events.push_back(ShipEvent(*hit, *now.ship, now.ship->position));
            }
        }
        const std::vector<Beam>& beams = game.GetBeams()->beams;
        for (int i = before.beams; i < int(beams.size()); i++)
        {
            events.push_back({Sound::BeamFire, beams[size_t(i)].start});
        }
        int newBullets = 0;
        for (const Bullet* bullet : game.GetBullets()->bullets)
        {
            if (bullet->age == 1 && newBullets++ % 2 == 0) // the first bullet of a salvo, one tick out
            {
                events.push_back({Sound::GunFire, bullet->position - bullet->velocity});
            }
        }
        for (const Explosion* explosion : game.GetEnvironment()->explosions)
        {
            const auto old = before.explosions.find(explosion);
            const bool fresh =
                old == before.explosions.end() || (explosion->age == 0.0f && old->second > 0.0f);
            if (fresh && explosion->count == 2.0f)
            {
                events.push_back({Sound::Explosion, explosion->centre, 0.35f});
            }
            else if (fresh && explosion->count == 10.0f && explosion->colour.y == 0.0f) // the red of the two
            {
                events.push_back({Sound::Explosion, explosion->centre});
            }
        }
        if (after.fleet0 == before.fleet0 + 5)
        {
            events.push_back({Sound::FighterLaunch, carrier->position});
        }

        // The camera: its eye at kTestOrigin, looking along -Z, so +X is to the right.
        for (const PlayRequest& request : HearEvents(events, Listener{kTestOrigin, 0.0f}, limit, tickCount))
        {
            if (!muted)
            {
                Expect(request, frame, tickCount);
            }
        }
        tickFrames.push_back(frame);
        tickCount++;
        while (gSoundPlayer.MixedFrames() < frame + 2 * SoundPlayer::kBlockFrames)
        {
            SDL_Delay(1);
        }
    }

    void Expect(const PlayRequest& request, uint64_t frame, uint64_t tick)
    {
        const auto [left, right] = Levels(request);
        // The same sound twice at one frame is one louder sound to the fit.
        const auto same =
            std::find_if(expected.begin(), expected.end(),
                         [&](const Expected& e) { return e.sound == request.sound && e.frame == frame; });
        if (same != expected.end())
        {
            same->left += left;
            same->right += right;
            return;
        }
        expected.push_back({request.sound, frame, left, right,
                            std::string(SoundName(request.sound)) + " at tick " + std::to_string(tick)});
    }

    // Ticks with nothing but what the game does by itself.
    void Run(Game& game, int ticks, Hit hit = {})
    {
        for (int i = 0; i < ticks; i++)
        {
            Tick(game, hit, Take(game));
        }
    }

    // Marks the next tick as `label`, does `action` and runs that tick, then
    // `rest` ticks with nothing but what the game does by itself.
    void Step(Game& game, const std::string& label, Hit hit, int rest, const std::function<void()>& action)
    {
        at[label] = tickCount;
        const Snapshot before = Take(game);
        action();
        Tick(game, hit, before);
        Run(game, rest);
    }

    // A bullet that strikes the ship in the next tick.
    static void BulletAt(Game& game, Ship* target)
    {
        game.GetBullets()->AddBullet(target->position + Vector(0.0f, 0.0f, 5.0f), Vector(0.0f, 0.0f, -1.0f),
                                     Vector(1.0f, 1.0f, 0.0f), 1.0f, target);
    }

    // The mixer writes into a file through SDL's disk driver, with no wait
    // between blocks beyond a millisecond.
    const std::string outputPath = testing::TempDir() + "korvane-sound-output.raw";
    const ScopedEnvironment driver{"SDL_AUDIODRIVER", "disk"};
    const ScopedEnvironment file{"SDL_DISKAUDIOFILE", outputPath};
    const ScopedEnvironment delay{"SDL_DISKAUDIODELAY", "1"};
    std::vector<Expected> expected;
    std::vector<uint64_t> tickFrames;
    uint64_t tickCount = 0;
    std::map<std::string, uint64_t> at; // the tick of each step
    RepeatLimit limit;
    bool muted = false;
    Ship* carrier = nullptr;
};

} // namespace

TEST_F(SoundOutput, EachSoundStartsAtItsTickAsLoudAndOnTheSideTheCameraHearsIt)
{
    Game* game = NewEmptyGame(2);
    Player& viewer = *game->players[0];
    viewer.SetHeading(0.0f);
    viewer.SetFocus(kTestOrigin.x, kTestOrigin.y - 100.0f, kTestOrigin.z); // the eye at kTestOrigin
    Ship* frigate = PlaceShip(game, 0, Vector(260.0f, -120.0f, -230.0f), "battlefrigate");
    Ship* manta = PlaceShip(game, 0, Vector(-60.0f, -120.0f, -250.0f), "beamfrigateopen");
    carrier = PlaceShip(game, 0, Vector(-400.0f, -150.0f, -500.0f), "escortcarrier2");
    Ship* shown = PlaceShip(game, 1, Vector(60.0f, -120.0f, -420.0f));
    Ship* hidden = PlaceShip(game, 1, Vector(-250.0f, -120.0f, -350.0f));
    Ship* nearLeft = PlaceShip(game, 1, Vector(-220.0f, -80.0f, -60.0f));
    Ship* farRight = PlaceShip(game, 1, Vector(750.0f, -100.0f, -250.0f));
    Ship* whileMuted = PlaceShip(game, 1, Vector(0.0f, -100.0f, -220.0f));
    SettleFleets(game);
    // What player 1's ships are to player 0: shown by its sensors, or never seen.
    for (Ship* ship : game->players[1]->fleet)
    {
        ship->detection.erase(0);
        if (ship != hidden)
        {
            ship->detection[0].state = 2;
        }
    }
    for (BeamTurret* turret : manta->beamTurrets)
    {
        turret->burstFire = true;
    }
    for (GunTurret* turret : frigate->gunTurrets)
    {
        turret->burstFire = true;
    }

    {
        SoundSession session;
        ASSERT_TRUE(gSoundPlayer.IsOpen());
        Run(*game, 10);

        // A bullet on a ship in sight, then on one out of sight, then on the
        // same ship once it is in sight.
        Step(*game, "shown hit", Sound::BulletHit, 20, [&] { BulletAt(*game, shown); });
        const double hiddenHull = TotalHull(*hidden);
        Step(*game, "hidden hit", Sound::BulletHit, 20, [&] { BulletAt(*game, hidden); });
        EXPECT_LT(TotalHull(*hidden), hiddenHull) << "the bullet did hit";
        hidden->detection[0].state = 2;
        Step(*game, "seen hit", Sound::BulletHit, 20, [&] { BulletAt(*game, hidden); });

        // A ship destroyed near on the left, then one far on the right; each
        // burns for three seconds, bursts and turns to dust.
        Step(*game, "near", Hit(), 100, [&] { Destroy(nearLeft); });
        Step(*game, "far", Hit(), 100, [&] { Destroy(farRight); });
        ASSERT_TRUE(game->GetWrecks().empty());

        // Muted, a ship dies in silence; sound comes back for the next hit.
        at["mute"] = tickCount;
        ToggleSoundMute();
        muted = true;
        Run(*game, 10);
        Step(*game, "muted death", Hit(), 100, [&] { Destroy(whileMuted); });
        ToggleSoundMute();
        muted = false;
        Step(*game, "unmute", Sound::BulletHit, 20, [&] { BulletAt(*game, shown); });

        // The fusion frigate burns the ship in sight with its beams, then the
        // battle frigate fires its guns at it.
        game->SetOrderType(3);
        manta->SetTarget(shown);
        Run(*game, 100, Sound::BeamHit);
        frigate->SetTarget(shown);
        Run(*game, 120, Sound::BulletHit);

        // The carrier launches its fighters; an order.
        Step(*game, "launch", Hit(), 30,
             [&] { carrier->hangars[0]->Launch(carrier->position, carrier->orientation); });
        viewer.SelectShip(manta->id, false);
        SDL_LockAudio();
        const uint64_t orderFrame = gSoundPlayer.MixedFrames();
        HandleKeyPress(*game, SDLK_s);
        SDL_UnlockAudio();
        Expect({Sound::Order, 1.0f, 0.0f}, orderFrame, tickCount);
        Run(*game, 30);
    }
    delete game;

    // Every kind of sound of the world came.
    for (Sound sound : {Sound::BeamFire, Sound::GunFire, Sound::BulletHit, Sound::BeamHit, Sound::HullBreak,
                        Sound::ShipDestroyed, Sound::Explosion, Sound::FighterLaunch, Sound::Order})
    {
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
                                [&](const Expected& e) { return e.sound == sound; }))
            << SoundName(sound) << " never played";
    }

    MixedOutput output;
    ASSERT_TRUE(ReadOutput(outputPath, output));
    ASSERT_GT(output.left.size(), tickFrames.back());
    std::map<Sound, std::vector<float>> files;
    for (int i = 0; i < kSoundCount; i++)
    {
        ASSERT_TRUE(ReadSamples(SoundFile(Sound(i)), files[Sound(i)]))
            << SoundFile(Sound(i)) << ": " << SDL_GetError();
    }
    for (size_t i = 0; i < output.left.size(); i++)
    {
        ASSERT_LT(std::max(std::fabs(output.left[i]), std::fabs(output.right[i])), 32767.0f)
            << "clipped at frame " << i << ": the fit would not hold";
    }

    // SDL writes blocks of silence before the mixer first runs, the more of
    // them the longer a busy machine takes to start it (over a hundred seen):
    // the first sound heard tells how many.
    const Expected& first = expected.front();
    const std::vector<float>& firstFile = files[first.sound];
    size_t heard = 0;
    while (heard < output.left.size() && output.left[heard] == 0.0f && output.right[heard] == 0.0f)
    {
        heard++;
    }
    const size_t sounding =
        size_t(std::find_if(firstFile.begin(), firstFile.end(), [](float s) { return s != 0.0f; }) -
               firstFile.begin());
    ASSERT_GE(heard, first.frame + sounding) << "something was heard before the first sound";
    const uint64_t lead =
        (heard - sounding - first.frame) / SoundPlayer::kBlockFrames * SoundPlayer::kBlockFrames;
    for (Expected& e : expected)
    {
        e.frame += lead;
    }

    // The fit: out = sum of file_i from frame_i times level_i, per channel.
    const size_t n = expected.size();
    std::vector<std::vector<double>> gram(n, std::vector<double>(n, 0.0));
    std::vector<double> left(n), right(n);
    for (size_t i = 0; i < n; i++)
    {
        const std::vector<float>& a = files[expected[i].sound];
        for (size_t j = i; j < n; j++)
        {
            gram[i][j] = gram[j][i] =
                Overlap(a, expected[i].frame, files[expected[j].sound], expected[j].frame);
        }
        left[i] = Overlap(output.left, 0, a, expected[i].frame);
        right[i] = Overlap(output.right, 0, a, expected[i].frame);
    }
    ASSERT_TRUE(Solve(gram, left) && Solve(gram, right));
    for (size_t i = 0; i < n; i++)
    {
        Expected& e = expected[i];
        e.measuredLeft = left[i];
        e.measuredRight = right[i];
        EXPECT_NEAR(e.measuredLeft, e.left, 0.01 + 0.02 * e.left) << e.what << ", left";
        EXPECT_NEAR(e.measuredRight, e.right, 0.01 + 0.02 * e.right) << e.what << ", right";
    }

    // Nothing else is in the output: what the fit leaves is the mixer's rounding.
    std::vector<double> residualLeft(output.left.begin(), output.left.end());
    std::vector<double> residualRight(output.right.begin(), output.right.end());
    for (const Expected& e : expected)
    {
        const std::vector<float>& file = files[e.sound];
        for (size_t t = 0; t < file.size() && e.frame + t < residualLeft.size(); t++)
        {
            residualLeft[e.frame + t] -= e.measuredLeft * file[t];
            residualRight[e.frame + t] -= e.measuredRight * file[t];
        }
    }
    double signal = 0.0;
    double rest = 0.0;
    size_t worst = 0;
    for (size_t t = 0; t < residualLeft.size(); t++)
    {
        signal += double(output.left[t]) * output.left[t] + double(output.right[t]) * output.right[t];
        const double r = residualLeft[t] * residualLeft[t] + residualRight[t] * residualRight[t];
        rest += r;
        if (r > residualLeft[worst] * residualLeft[worst] + residualRight[worst] * residualRight[worst])
        {
            worst = t;
        }
    }
    EXPECT_LT(rest, 1e-4 * signal)
        << "the output holds more than the expected sounds; the largest rest at frame " << worst
        << " (tick frames are " << lead << " + the frame of the tick)";

    auto find = [&](Sound sound, uint64_t tick) -> const Expected*
    {
        const auto found = std::find_if(expected.begin(), expected.end(),
                                        [&](const Expected& e)
                                        { return e.sound == sound && e.frame == tickFrames[tick] + lead; });
        return found == expected.end() ? nullptr : &*found;
    };
    auto silent = [&](uint64_t from, uint64_t to)
    {
        for (uint64_t t = from + lead; t < to + lead && t < output.left.size(); t++)
        {
            if (output.left[t] != 0.0f || output.right[t] != 0.0f)
            {
                return false;
            }
        }
        return true;
    };

    // A hit on a ship out of sight is not heard at all: its tick is silent
    // for as long as the sound would last; the same hit in sight is heard.
    ASSERT_NE(find(Sound::BulletHit, at["shown hit"]), nullptr);
    EXPECT_TRUE(
        silent(tickFrames[at["hidden hit"]], tickFrames[at["hidden hit"]] + files[Sound::BulletHit].size()));
    const Expected* seen = find(Sound::BulletHit, at["seen hit"]);
    ASSERT_NE(seen, nullptr);
    EXPECT_GT(seen->measuredLeft, 0.1);

    // Near is louder than far, and each comes from its side.
    const Expected* nearSound = find(Sound::ShipDestroyed, at["near"]);
    const Expected* farSound = find(Sound::ShipDestroyed, at["far"]);
    ASSERT_NE(nearSound, nullptr);
    ASSERT_NE(farSound, nullptr);
    EXPECT_GT(nearSound->measuredLeft + nearSound->measuredRight,
              3.0 * (farSound->measuredLeft + farSound->measuredRight));
    EXPECT_GT(nearSound->measuredLeft, 3.0 * nearSound->measuredRight) << "the near ship is on the left";
    EXPECT_GT(farSound->measuredRight, 3.0 * farSound->measuredLeft) << "the far ship is on the right";
    EXPECT_NE(find(Sound::HullBreak, at["near"]), nullptr);

    // The wreck bursts on its 61st tick (the first is the tick of its death).
    EXPECT_NE(find(Sound::Explosion, at["near"] + 60), nullptr);

    // Muted, nothing at all is mixed.
    EXPECT_TRUE(silent(tickFrames[at["mute"]], tickFrames[at["unmute"]]));
    EXPECT_NE(find(Sound::BulletHit, at["unmute"]), nullptr);
}
