#ifndef KORVANE_TESTS_COMBAT_SCENARIOSUPPORT_H
#define KORVANE_TESTS_COMBAT_SCENARIOSUPPORT_H

#include <string>
#include <vector>

#include "assets/Ase.h"
#include "game/Game.h"
#include "math/Vector.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

// A real two-player game on the generated data, built once per test suite,
// and real ships placed by hand for each test.
class GameTest : public GLTest
{
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override;

    // A ship of the class, assembled from the game's catalogue, not in any
    // fleet; deleted after the test unless it was destroyed (the game owns wrecks).
    Ship* MakeShip(const std::string& className, int owner, const Vector& position,
                   const Orientation& orientation = Orientation(0, 0, 0));

    static Game* game;

  private:
    std::vector<Ship*> madeShips;
};

// A marker node as the scene reader makes it; position and rotation in file axes.
AseNode Marker(const std::string& type, const Vector& position, const std::vector<float>& properties = {},
               const Vector& rotation = Vector(0, 0, 0));

// The sum of a ship's six hull faces.
float HullTotal(const Ship* ship);

#endif
