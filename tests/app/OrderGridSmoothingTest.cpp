#include <GL/gl.h>

#include "app/SceneAids.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

class OrderGridSmoothing : public GLTest
{
};

// While a move point is placed, the selected ships' previews are drawn after
// the fleets' drop lines, still inside the grid's smoothed, blended pass: the
// edges of a preview line are only partly coloured over the background.
TEST_F(OrderGridSmoothing, PreviewLinesAfterTheDropLinesHaveSoftEdges)
{
    Game game(2, "map1");
    Player& player = *game.GetCurrentPlayer();
    for (int i = 0; i < 2; ++i)
    {
        Ship* ship = player.fleet[i];
        ship->SetPosition(40.3f * i, 0.0f, 0.0f);
        ship->SetOrientation(0.0f, 0.0f, 0.0f);
        ship->NewTurn();
        player.SelectShip(ship->id, true);
    }
    player.RefreshSelectionCentre();
    game.SetOrderMode(3);
    game.SetOrderType(1);
    game.SetOrderPoint(player.GetSelectionCentre().x, 0.0f, -300.0f);

    // Straight down on the plane y = 0: world (x, z) lands on pixel (400 + x, 300 - z).
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400.0, 400.0, -300.0, 300.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    DrawOrderGrid(game);

    // Across the second ship's preview at z = -250, beyond the grid.
    int covered = 0, soft = 0;
    for (int x = 430; x <= 450; ++x)
    {
        const int green = ReadPixel(x, 550).g;
        covered += green > 0 ? 1 : 0;
        soft += green > 0 && green < 250 ? 1 : 0;
    }
    EXPECT_GT(covered, 0) << "the preview is not where it should be";
    EXPECT_GT(soft, 0) << "every pixel of the preview is fully coloured: drawn without blending";
}
