// What the player at the screen hears of the world's sounds: who may hear a
// ship, how loud and from which side, the repeat limit and the queue. Pure
// code, no device.

#include <gtest/gtest.h>

#include <cmath>

#include "audio/Hearing.h"
#include "audio/SoundQueue.h"

namespace
{

SoundEvent EventAt(Sound sound, const Vector& position, int32_t owner = -1, int32_t viewer = 0,
                   int32_t detection = 0, uint32_t source = 0)
{
    return SoundEvent{sound, position, 1.0f, owner, viewer, detection, source};
}

// A camera at the origin's height 100, looking along -Z (heading 0).
Listener AtOrigin(float heading = 0.0f)
{
    return Listener{Vector(0.0f, 100.0f, 0.0f), heading};
}

} // namespace

TEST(Hearing, StrengthFallsWithDistanceAndEndsAtTheSilentDistance)
{
    EXPECT_FLOAT_EQ(DistanceGain(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(DistanceGain(kNearDistance), 1.0f);
    EXPECT_FLOAT_EQ(DistanceGain(2.0f * kNearDistance), 0.5f);
    EXPECT_FLOAT_EQ(DistanceGain(10.0f * kNearDistance), 0.1f);
    EXPECT_FLOAT_EQ(DistanceGain(kFadeDistance), kNearDistance / kFadeDistance);
    EXPECT_NEAR(DistanceGain(0.5f * (kFadeDistance + kSilentDistance)),
                0.5f * kNearDistance / (0.5f * (kFadeDistance + kSilentDistance)), 1e-6);
    EXPECT_EQ(DistanceGain(kSilentDistance), 0.0f);
    EXPECT_EQ(DistanceGain(1e9f), 0.0f);
    EXPECT_EQ(DistanceGain(std::nanf("")), 0.0f);
    float previous = 2.0f;
    for (float d = 0.0f; d < kSilentDistance + 100.0f; d += 7.0f)
    {
        const float gain = DistanceGain(d);
        EXPECT_LE(gain, previous) << d;
        previous = gain;
    }

    // Through Hear: from the eye, in three dimensions, times the loudness at the source.
    SoundEvent event = EventAt(Sound::Explosion, Vector(0.0f, 100.0f + 600.0f, 0.0f));
    EXPECT_FLOAT_EQ(Hear(event, AtOrigin()).gain, 0.25f);
    event.loudness = 0.5f;
    EXPECT_FLOAT_EQ(Hear(event, AtOrigin()).gain, 0.125f);
    event.position = Vector(0.0f, 100.0f, kSilentDistance + 1.0f);
    EXPECT_FALSE(Hear(event, AtOrigin()).audible);
    // So faint that it would round to nothing: not played.
    event.position = Vector(0.0f, 100.0f, 0.99f * kSilentDistance);
    event.loudness = 1.0f;
    EXPECT_FALSE(Hear(event, AtOrigin()).audible);
}

TEST(Hearing, PanFollowsTheBearingAcrossTheView)
{
    // Heading 0 looks along -Z: +X is to the right.
    EXPECT_FLOAT_EQ(PanOf(Vector(500.0f, 0.0f, 0.0f), AtOrigin()), kMaxPan);
    EXPECT_FLOAT_EQ(PanOf(Vector(-500.0f, 0.0f, 0.0f), AtOrigin()), -kMaxPan);
    EXPECT_NEAR(PanOf(Vector(0.0f, 0.0f, -500.0f), AtOrigin()), 0.0f, 1e-6);
    EXPECT_NEAR(PanOf(Vector(0.0f, 0.0f, 500.0f), AtOrigin()), 0.0f, 1e-6); // behind: no side either
    EXPECT_NEAR(PanOf(Vector(500.0f, 0.0f, -500.0f), AtOrigin()), kMaxPan * std::sqrt(0.5), 1e-5);
    // Heading 90 looks along -X: -Z is to the right, +Z to the left.
    EXPECT_NEAR(PanOf(Vector(0.0f, 0.0f, -500.0f), AtOrigin(90.0f)), kMaxPan, 1e-4);
    EXPECT_NEAR(PanOf(Vector(0.0f, 0.0f, 500.0f), AtOrigin(90.0f)), -kMaxPan, 1e-4);
    // Heading 225 (player 2's start) looks along (+0.707, +0.707): right is (-0.707, +0.707).
    EXPECT_NEAR(PanOf(Vector(-300.0f, 0.0f, 300.0f), AtOrigin(225.0f)), kMaxPan, 1e-4);
    // Right under the camera there is no side; near it, less of one.
    EXPECT_EQ(PanOf(Vector(0.0f, -50.0f, 0.0f), AtOrigin()), 0.0f);
    EXPECT_NEAR(PanOf(Vector(0.5f * kNearDistance, 0.0f, 0.0f), AtOrigin()), 0.5f * kMaxPan, 1e-5);
    // Height does not move a sound sideways.
    EXPECT_FLOAT_EQ(PanOf(Vector(500.0f, 900.0f, 0.0f), AtOrigin()), kMaxPan);
}

TEST(Hearing, StereoBalanceKeepsTheCentreWholeAndSilencesTheFarSideAtAFullPan)
{
    // pan -> left, right; beyond the ends: the ends
    const float rows[][3] = {{0.0f, 1.0f, 1.0f}, {1.0f, 0.0f, 1.0f}, {-1.0f, 1.0f, 0.0f}, {5.0f, 0.0f, 1.0f}};
    for (const auto& row : rows)
    {
        EXPECT_NEAR(StereoBalance(row[0]).first, row[1], 1e-6) << row[0];
        EXPECT_NEAR(StereoBalance(row[0]).second, row[2], 1e-6) << row[0];
    }
    float previousLeft = 2.0f;
    for (float pan = -1.0f; pan <= 1.0f; pan += 0.125f)
    {
        const std::pair<float, float> b = StereoBalance(pan);
        EXPECT_LE(b.first, previousLeft) << pan;
        const std::pair<float, float> mirrored = StereoBalance(-pan);
        EXPECT_NEAR(b.first, mirrored.second, 1e-6) << pan;
        EXPECT_NEAR(b.second, mirrored.first, 1e-6) << pan;
        previousLeft = b.first;
    }
    // Half way to the right: the left keeps sqrt 2 cos(3 pi / 8) of its level.
    EXPECT_NEAR(StereoBalance(0.5f).first, std::sqrt(2.0) * std::cos(3.0 * M_PI / 8.0), 1e-6);
}

TEST(Hearing, AShipRepeatsABurnOrAHitOnlyAfterItsGap)
{
    RepeatLimit limit;
    EXPECT_TRUE(limit.Allow(Sound::BeamHit, 7, 100));
    for (uint64_t tick = 100; tick < 110; tick++)
    {
        EXPECT_FALSE(limit.Allow(Sound::BeamHit, 7, tick)) << tick;
    }
    EXPECT_TRUE(limit.Allow(Sound::BeamHit, 7, 110));
    // Another ship, another sound, or no ship at all: not held back.
    EXPECT_TRUE(limit.Allow(Sound::BeamHit, 8, 111));
    EXPECT_TRUE(limit.Allow(Sound::BulletHit, 7, 111));
    EXPECT_FALSE(limit.Allow(Sound::BulletHit, 7, 112));
    EXPECT_TRUE(limit.Allow(Sound::BulletHit, 7, 113));
    EXPECT_TRUE(limit.Allow(Sound::BeamHit, 0, 111));
    EXPECT_TRUE(limit.Allow(Sound::BeamHit, 0, 111));
    EXPECT_TRUE(limit.Allow(Sound::HullBreak, 7, 111));
    EXPECT_TRUE(limit.Allow(Sound::HullBreak, 7, 111));
    limit.Clear();
    EXPECT_TRUE(limit.Allow(Sound::BeamHit, 7, 112));
}

TEST(Hearing, ATickPlaysWhatIsHeardInOrderAndOnlyTheLoudestFewOfOneSound)
{
    const Listener listener = AtOrigin();
    std::vector<SoundEvent> events;
    events.push_back(EventAt(Sound::GunFire, Vector(0.0f, 100.0f, -1200.0f)));           // 0.125
    events.push_back(EventAt(Sound::BulletHit, Vector(0.0f, 100.0f, -300.0f), 1, 0, 1)); // hidden
    events.push_back(EventAt(Sound::GunFire, Vector(0.0f, 100.0f, -300.0f)));            // 0.5
    events.push_back(EventAt(Sound::Explosion, Vector(300.0f, 100.0f, 0.0f)));           // 0.5, right
    events.push_back(EventAt(Sound::GunFire, Vector(0.0f, 100.0f, -600.0f)));            // 0.25
    events.push_back(EventAt(Sound::GunFire, Vector(0.0f, 100.0f, -100.0f)));            // 1
    events.push_back(EventAt(Sound::GunFire, Vector(0.0f, 100.0f, -2400.0f)));           // 0.0625
    events.push_back(EventAt(Sound::BeamHit, Vector(0.0f, 100.0f, -150.0f), 0, 0, 0, 9));
    events.push_back(EventAt(Sound::BeamHit, Vector(0.0f, 100.0f, -150.0f), 0, 0, 0, 9)); // repeat
    RepeatLimit limit;
    const std::vector<PlayRequest> played = HearEvents(events, listener, limit, 5);
    ASSERT_EQ(played.size(), 5u);
    EXPECT_EQ(played[0].sound, Sound::GunFire);
    EXPECT_FLOAT_EQ(played[0].gain, 0.5f);
    EXPECT_EQ(played[1].sound, Sound::Explosion);
    EXPECT_FLOAT_EQ(played[1].gain, 0.5f);
    EXPECT_FLOAT_EQ(played[1].pan, kMaxPan);
    EXPECT_EQ(played[2].sound, Sound::GunFire);
    EXPECT_FLOAT_EQ(played[2].gain, 0.25f);
    EXPECT_EQ(played[3].sound, Sound::GunFire);
    EXPECT_FLOAT_EQ(played[3].gain, 1.0f);
    EXPECT_EQ(played[4].sound, Sound::BeamHit);
    // The next tick the burn is still too soon; nothing else was posted.
    EXPECT_TRUE(HearEvents({events[7]}, listener, limit, 6).empty());
    EXPECT_EQ(HearEvents({events[7]}, listener, limit, 15).size(), 1u);
}

TEST(SoundQueueTest, PostsOnlyWhileEnabledAndHandsThemOverOnceInOrder)
{
    SoundQueue queue;
    queue.Post(EventAt(Sound::Explosion, Vector()));
    EXPECT_EQ(queue.Size(), 0u) << "nobody listens: nothing is kept";
    queue.Enable(true);
    for (int i = 0; i < 3; i++)
    {
        queue.Post(EventAt(Sound(i), Vector(float(i), 0.0f, 0.0f)));
    }
    std::vector<SoundEvent> taken = queue.Take();
    ASSERT_EQ(taken.size(), 3u);
    for (int i = 0; i < 3; i++)
    {
        EXPECT_EQ(taken[size_t(i)].sound, Sound(i));
    }
    EXPECT_TRUE(queue.Take().empty());

    // Never taken: it keeps a bounded number, the newest.
    for (int i = 0; i < 10000; i++)
    {
        queue.Post(EventAt(Sound::GunFire, Vector(float(i), 0.0f, 0.0f)));
    }
    taken = queue.Take();
    ASSERT_LT(taken.size(), 10000u);
    ASSERT_GE(taken.size(), 1000u);
    EXPECT_EQ(taken.back().position.x, 9999.0f);
    EXPECT_EQ(taken.front().position.x, float(10000 - taken.size()));

    queue.Post(EventAt(Sound::GunFire, Vector()));
    queue.Enable(false);
    EXPECT_EQ(queue.Size(), 0u) << "disabled: what was posted goes";
}
