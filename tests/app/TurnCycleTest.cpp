#include <gtest/gtest.h>

#include "app/TurnCycle.h"
#include "math/Random.h"

namespace
{

TEST(TurnCycleTexts, NameThePlayerCountingFromOne)
{
    EXPECT_EQ(HandOverText(0), "Player 1 begin when ready");
    EXPECT_EQ(HandOverText(1), "Player 2 begin when ready");
    EXPECT_EQ(WinnerText(2), "Player 3 Wins!");
    EXPECT_EQ(WinnerText(3), "Player 4 Wins!");
}

TEST(WinnerScreen, FadesOverFortyTicksAndEachPressRestarts)
{
    WinnerScreenState screen;
    for (int i = 0; i < 100; i++)
    {
        screen.Tick();
    }
    EXPECT_FALSE(screen.Finished()) << "waits for the first press";
    screen.Press();
    EXPECT_FLOAT_EQ(screen.FadeAlpha(), 0.0f);
    for (int i = 0; i < 30; i++)
    {
        screen.Tick();
    }
    EXPECT_FLOAT_EQ(screen.FadeAlpha(), 0.75f);
    screen.Press();
    EXPECT_FLOAT_EQ(screen.FadeAlpha(), 0.0f);
    int ticks = 0;
    while (!screen.Finished())
    {
        screen.Tick();
        ticks++;
    }
    EXPECT_EQ(ticks, 40);
    EXPECT_FLOAT_EQ(screen.FadeAlpha(), 1.0f);
}

TEST(WinnerScreen, FireworksDrawNineFractionsOrOne)
{
    const Vector green(0.0f, 1.0f, 0.0f);
    int fired = 0;
    SeedRandom(77);
    for (int i = 0; i < 1000; i++)
    {
        Firework firework;
        const bool fires = NextFirework(green, firework);
        if (!fires)
        {
            continue;
        }
        fired++;
        EXPECT_GE(firework.position.x, -25.0f);
        EXPECT_LT(firework.position.x, 25.0f);
        EXPECT_GE(firework.position.y, -25.0f);
        EXPECT_LT(firework.position.z, 25.0f);
        EXPECT_GE(firework.colour.y, 1.0f);
        EXPECT_LT(firework.colour.x, 0.8f);
        EXPECT_GE(firework.scale, 0.0f);
        EXPECT_LT(firework.scale, 0.1f);
        EXPECT_GE(firework.count, 0);
        EXPECT_LE(firework.count, 4);
    }
    EXPECT_GT(fired, 200);
    EXPECT_LT(fired, 400);

    // A firework uses exactly nine fractions, in the order position, colour,
    // scale, count.
    for (unsigned seed = 1; seed < 200; seed++)
    {
        SeedRandom(seed);
        double r[10];
        for (double& value : r)
        {
            value = RandomFraction();
        }
        SeedRandom(seed);
        if (r[0] >= 0.3)
        {
            Firework none;
            EXPECT_FALSE(NextFirework(green, none));
            EXPECT_EQ(RandomFraction(), r[1]) << "a tick without firework draws one fraction";
            continue;
        }
        Firework firework;
        ASSERT_TRUE(NextFirework(green, firework));
        EXPECT_FLOAT_EQ(firework.position.x, float(50.0 * r[1] - 25.0));
        EXPECT_FLOAT_EQ(firework.colour.z, float(0.8 * r[6]));
        EXPECT_FLOAT_EQ(firework.scale, float(0.1 * r[7]));
        EXPECT_EQ(firework.count, int(5.0 * r[8]));
        EXPECT_EQ(RandomFraction(), r[9]);
    }
}

} // namespace
