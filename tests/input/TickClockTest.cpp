#include <gtest/gtest.h>

#include "input/TickClock.h"

namespace
{

TEST(AnimationClock, NeverExceedsTen)
{
    float t = 0.0f;
    for (int i = 0; i < 200; i++)
    {
        t = AdvanceAnimationTime(t);
        ASSERT_LE(t, 10.0f);
        ASSERT_GT(t, 0.0f);
    }
    EXPECT_TRUE(t > 9.9f || t < 0.1f) << t;
    for (int i = 0; i < 1000; i++)
    {
        t = AdvanceAnimationTime(t);
        ASSERT_LE(t, 10.0f);
    }
}

TEST(FrameRate, FirstMeasurementOnTheTwentyFirstTick)
{
    TickClock clock;
    int ticks = 0;
    int measuredAt = 0;
    for (ticks = 1; ticks <= 60 && measuredAt == 0; ticks++)
    {
        if (clock.MeasurementDue())
        {
            measuredAt = ticks;
        }
        clock.Count();
    }
    EXPECT_EQ(measuredAt, 21);
}

TEST(FrameRate, MeasuresFramesPerSecondAndSmooths)
{
    TickClock clock;
    clock.tickCounter = 20;
    clock.lastMeasureTime = 1000;
    int frames = 60;
    float fps = 0.0f, smoothed = 50.0f;
    clock.Measure(2000, frames, fps, smoothed);
    EXPECT_FLOAT_EQ(fps, 60.0f);
    EXPECT_FLOAT_EQ(smoothed, 0.1f * 60.0f + 0.9f * 50.0f);
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(clock.tickCounter, 0);
    EXPECT_EQ(clock.lastMeasureTime, 2000u);

    // Integer arithmetic: 10 frames in 3 ms is 3333.
    frames = 10;
    clock.Measure(2003, frames, fps, smoothed);
    EXPECT_FLOAT_EQ(fps, 3333.0f);
}

TEST(FrameRate, NoTimePassedKeepsTheLastRate)
{
    TickClock clock;
    clock.lastMeasureTime = 500;
    int frames = 7;
    float fps = 42.0f, smoothed = 42.0f;
    clock.Measure(500, frames, fps, smoothed);
    EXPECT_FLOAT_EQ(fps, 42.0f);
    EXPECT_FLOAT_EQ(smoothed, 42.0f);
    EXPECT_EQ(frames, 0);
}

TEST(FrameRate, EnvironmentStepsOnEveryOtherTick)
{
    TickClock clock;
    int steps = 0;
    for (int i = 0; i < 40; i++)
    {
        if (clock.EnvironmentStepDue())
        {
            steps++;
        }
        if (clock.MeasurementDue())
        {
            int frames = 0;
            float fps = 0, smoothed = 0;
            clock.Measure(1000u * (i + 1), frames, fps, smoothed);
        }
        clock.Count();
    }
    // Counter values 0, 2, ..., 20 in the first 21 ticks (11 steps), then
    // 2, ..., 18 in the next 19 (9): the count restarts at 1 after a measurement.
    EXPECT_EQ(steps, 20);
}

} // namespace
