#include <gtest/gtest.h>

#include "app/IntroScreen.h"

namespace
{

TEST(IntroAnimation, ExplosionsOnEveryOtherTickUntilAPress)
{
    IntroAnimation intro;
    int bursts = 0;
    for (int i = 0; i < 100; i++)
    {
        if (intro.Tick())
        {
            bursts++;
        }
    }
    EXPECT_EQ(bursts, 50);
    EXPECT_FALSE(intro.Finished());
    EXPECT_FLOAT_EQ(intro.zoom, 1.0f);
}

TEST(IntroAnimation, LeavesEightyTicksAfterThePress)
{
    IntroAnimation intro;
    intro.Tick();
    intro.Press();
    int ticks = 0;
    while (!intro.Finished())
    {
        EXPECT_FALSE(intro.Tick()) << "no new explosions while leaving";
        ticks++;
        ASSERT_LT(ticks, 1000);
    }
    EXPECT_EQ(ticks, kIntroLeaveTicks);
    // The view narrows by halves but never below 0.01.
    EXPECT_FLOAT_EQ(intro.zoom, 0.01f);
}

TEST(IntroAnimation, APressDuringTheLeaveRestartsTheCount)
{
    IntroAnimation intro;
    intro.Press();
    for (int i = 0; i < 70; i++)
    {
        intro.Tick();
    }
    intro.Press();
    int ticks = 0;
    while (!intro.Finished())
    {
        intro.Tick();
        ticks++;
    }
    EXPECT_EQ(ticks, 80);
}

TEST(IntroAnimation, ZoomHalvesPerTickWhileLeaving)
{
    IntroAnimation intro;
    intro.Press();
    intro.Tick();
    EXPECT_FLOAT_EQ(intro.zoom, 0.5f);
    intro.Tick();
    EXPECT_FLOAT_EQ(intro.zoom, 0.25f);
}

} // namespace
