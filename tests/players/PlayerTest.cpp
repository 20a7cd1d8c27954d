// Players: the camera, selection and the next-ship glide, and a move order
// given to a selection.

#include <gtest/gtest.h>

#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

TEST(PlayerCamera, HeadingAndZoomStayInTheirRanges)
{
    Player player(nullptr, 0);
    EXPECT_EQ(player.GetViewDirection(), Vector(-0.499999106f, -0.707105994f, -0.499999762f)) << "heading 45";
    // Heading set and kept; zoom set and kept between the view angles 5 and 120 degrees.
    const float rows[][4] = {{-45, 315, 0.01f, 0.083333336f}, {720, 360, 0.5f, 0.5f}, {725, 5, 3, 2}};
    for (const auto& row : rows)
    {
        player.SetHeading(row[0]);
        player.SetZoom(row[2]);
        EXPECT_EQ(player.GetHeading(), row[1]) << row[0];
        EXPECT_EQ(player.GetZoom(), row[3]) << row[2];
    }
    player.ChangeZoom(-3.0f);
    EXPECT_EQ(player.GetZoom(), 0.083333336f);
}

TEST(PlayerTest, SelectionNextShipAndMoveOrder)
{
    ASSERT_TRUE(OpenGameDisplay());
    Game game(2, "map1");
    Player* me = game.players[0];
    std::vector<Ship*>& fleet = me->fleet;
    EXPECT_TRUE(me->SelectShip(fleet[1]->GetId(), false));
    EXPECT_TRUE(me->SelectShip(fleet[3]->GetId(), true));
    EXPECT_FALSE(me->SelectShip(game.players[1]->fleet[0]->GetId(), true)) << "not this player's ship";
    EXPECT_EQ(me->selection, std::vector<Ship*>({fleet[1], fleet[3]}));
    EXPECT_EQ(me->GetSelectionCentre(), fleet[2]->GetPosition());
    EXPECT_TRUE(me->SelectShip(fleet[1]->GetId(), true)); // added again: removed
    EXPECT_TRUE(me->SelectShip(fleet[3]->GetId(), true));
    EXPECT_FALSE(me->HasSelection() || fleet[1]->selected || fleet[3]->selected);
    EXPECT_EQ(me->GetSelectionCentre(), fleet[3]->GetPosition()) << "not refreshed for an empty selection";

    me->SelectShip(fleet[3]->GetId(), false);
    me->SelectNextShip();
    EXPECT_TRUE(fleet[4]->selected && !fleet[3]->selected);
    me->SelectNextShip(); // the last ship wraps to the first
    EXPECT_EQ(me->selection, std::vector<Ship*>({fleet[0]}));
    const auto glide = [me]()
    {
        int ticks = 0;
        for (; me->IsCameraGliding() && ticks < 100; ticks++)
            me->Update();
        return ticks;
    };
    const int ticks = glide(); // ten steps of a tenth; rounding may end the X test one early
    EXPECT_TRUE(ticks == 9 || ticks == 10) << ticks;
    const Vector view = me->GetViewDirection();
    for (int k = 0; k < 3; k++) // the eye ends 200 back from the ship along the view
        EXPECT_NEAR(me->GetEyePosition()[k], fleet[0]->GetPosition()[k] - 200 * view[k], 1e-3);
    me->SetFocus(fleet[1]->GetPosition().x - 200 * view.x, 0, 0); // no X step to end the glide
    me->SelectNextShip();
    EXPECT_EQ(glide(), 10);
    EXPECT_NEAR(me->GetEyePosition().z, fleet[1]->GetPosition().z - 200 * view.z, 1e-3);

    Ship* a = fleet[0];
    Ship* b = fleet[4];
    me->SelectShip(a->GetId(), false);
    me->SelectShip(b->GetId(), true);
    const Vector centre = me->GetSelectionCentre();
    me->MoveSelection(centre.x + 10, centre.y + 20, centre.z - 400); // the formation is kept
    EXPECT_EQ(a->destination, a->GetPosition() + Vector(10, 20, -400));
    EXPECT_EQ(b->destination, b->GetPosition() + Vector(10, 20, -400));

    for (Ship* ship : fleet)
        delete ship;
    fleet.clear();
    me->selection.clear();
    me->SelectNextShip();
    EXPECT_FALSE(me->HasSelection() || me->IsCameraGliding()) << "nothing to select in an empty fleet";
}
