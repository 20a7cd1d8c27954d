#include <gtest/gtest.h>

#include <cmath>

#include "app/SetupMenu.h"

namespace
{

const std::vector<std::string> kMaps = {"map1", "map2", "map3"};

TEST(MenuClick, PlayerButtonsSetTheNumberOfPlayers)
{
    GameSetup setup;
    setup.mapName = "map1";
    EXPECT_FALSE(ApplyMenuClick(3, kMaps, setup));
    EXPECT_EQ(setup.numPlayers, 3);
    EXPECT_FALSE(ApplyMenuClick(4, kMaps, setup));
    EXPECT_EQ(setup.numPlayers, 4);
    EXPECT_FALSE(ApplyMenuClick(2, kMaps, setup));
    EXPECT_EQ(setup.numPlayers, 2);
    EXPECT_EQ(setup.mapName, "map1");
}

TEST(MenuClick, MapButtonsChooseByPosition)
{
    GameSetup setup;
    setup.mapName = "map1";
    EXPECT_FALSE(ApplyMenuClick(12, kMaps, setup));
    EXPECT_EQ(setup.mapName, "map3");
    EXPECT_FALSE(ApplyMenuClick(10, kMaps, setup));
    EXPECT_EQ(setup.mapName, "map1");
    // One past the last map is no button.
    EXPECT_FALSE(ApplyMenuClick(13, kMaps, setup));
    EXPECT_EQ(setup.mapName, "map1");
}

TEST(MenuClick, BeginEndsTheMenuAndOtherValuesDoNothing)
{
    GameSetup setup;
    setup.mapName = "map2";
    for (unsigned v : {0u, 1u, 5u, 9u, 50u, 98u, 100u, 255u})
    {
        EXPECT_FALSE(ApplyMenuClick(v, kMaps, setup)) << v;
        EXPECT_EQ(setup.numPlayers, 2) << v;
        EXPECT_EQ(setup.mapName, "map2") << v;
    }
    EXPECT_TRUE(ApplyMenuClick(kBeginButtonId, kMaps, setup));
    EXPECT_EQ(setup.numPlayers, 2);
}

TEST(MenuClick, ThreePlayersThenBegin)
{
    GameSetup setup;
    setup.mapName = kMaps.front();
    ApplyMenuClick(3, kMaps, setup);
    EXPECT_TRUE(ApplyMenuClick(99, kMaps, setup));
    EXPECT_EQ(setup.numPlayers, 3);
    EXPECT_EQ(setup.mapName, "map1");
}

TEST(MenuCamera, CirclesTheCentreLookingInwardsAndDown)
{
    Vector position, view;
    MenuCamera(0.0f, position, view);
    EXPECT_FLOAT_EQ(position.x, 75.0f);
    EXPECT_NEAR(position.z, 0.0f, 1e-5);
    EXPECT_NEAR(view.x, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(view.y, -0.707106f);
    EXPECT_FLOAT_EQ(view.z, -0.707106f);

    MenuCamera(90.0f, position, view);
    EXPECT_NEAR(position.x, 0.0f, 1e-3);
    EXPECT_NEAR(position.z, -75.0f, 1e-3);
    EXPECT_NEAR(view.x, -0.707106f, 1e-5);
    EXPECT_NEAR(view.z, 0.0f, 1e-5);
    EXPECT_NEAR(std::sqrt(view.x * view.x + view.y * view.y + view.z * view.z), 1.0, 1e-5);
}

} // namespace
