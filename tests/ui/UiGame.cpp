#include "UiGame.h"

#include <GL/glu.h>

#include "assets/Model.h"

Game* SharedGame()
{
    static Game* game = new Game(2, "map1");
    return game;
}

Ship* FleetShip(Game* game, const std::string& shipClass)
{
    for (Ship* ship : game->players[0]->fleet)
    {
        if (ship->model != nullptr && ship->model->fileName == shipClass)
        {
            return ship;
        }
    }
    return nullptr;
}

void SelectOnly(Game* game, Ship* ship)
{
    Player* player = game->players[0];
    for (Ship* selected : player->selection)
    {
        selected->Deselect();
    }
    player->selection.clear();
    if (ship != nullptr)
    {
        player->SelectShip(ship->id, false);
    }
}

void LookAt(const Vector& target, float distance, float farPlane)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -distance);
    glTranslatef(-target.x, -target.y, -target.z);
}
