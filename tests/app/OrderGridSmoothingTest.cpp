#include <GL/gl.h>

#include <vector>

#include "app/SceneAids.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

namespace
{

class OrderGridSmoothing : public GLTest
{
};

// While a move point is placed, the previews of the selected ships are drawn
// after the fleets' drop lines, inside the grid's smoothed and blended pass: a
// preview line has soft edges, pixels only partly covered and so only partly
// coloured over the background.
TEST_F(OrderGridSmoothing, PreviewLinesAfterTheDropLinesHaveSoftEdges)
{
    Game game(2, "map1");
    Player& player = *game.GetCurrentPlayer();
    Ship* a = player.fleet[0];
    Ship* b = player.fleet[1];
    a->SetPosition(0.0f, 0.0f, 0.0f);
    b->SetPosition(40.3f, 0.0f, 0.0f);
    for (Ship* ship : {a, b})
    {
        ship->SetOrientation(0.0f, 0.0f, 0.0f);
        ship->NewTurn();
        player.SelectShip(ship->id, true);
    }
    player.RefreshSelectionCentre();
    game.SetOrderMode(3);
    game.SetOrderType(1);
    game.SetOrderPoint(player.GetSelectionCentre().x, 0.0f, -300.0f);

    // Straight down on the plane y = 0: world (x, z) at pixel (400 + x, 300 - z).
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400.0, 400.0, -300.0, 300.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    DrawOrderGrid(game);

    // Row z = -250 lies beyond the grid; ship b's preview crosses it at x = 40.3.
    std::vector<unsigned char> row(21 * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(430, 550, 21, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    int covered = 0;
    int soft = 0;
    for (int i = 0; i < 21; ++i)
    {
        const int green = row[4 * i + 1];
        covered += green > 0 ? 1 : 0;
        soft += green > 0 && green < 250 ? 1 : 0;
    }
    EXPECT_GT(covered, 0) << "the preview of the second ship is not in the sampled row";
    EXPECT_GT(soft, 0) << "every pixel of the preview line is fully coloured: it is drawn without blending";
}

} // namespace
