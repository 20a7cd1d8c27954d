#include "combat/ScenarioSupport.h"

Game* GameTest::game = nullptr;

void GameTest::SetUpTestSuite()
{
    if (OpenGameDisplay() && game == nullptr)
    {
        game = new Game(2, "map1");
    }
}

void GameTest::TearDownTestSuite()
{
    delete game;
    game = nullptr;
}

void GameTest::TearDown()
{
    for (Ship* ship : madeShips)
    {
        if (ship->IsAlive())
        {
            delete ship;
        }
    }
    madeShips.clear();
    GLTest::TearDown();
}

Ship* GameTest::MakeShip(const std::string& className, int owner, const Vector& position,
                         const Orientation& orientation)
{
    Ship* ship = new Ship(game->TakeId(), owner, game);
    ship->Assemble(game->FindShipModel(className), owner);
    ship->SetPosition(position.x, position.y, position.z);
    ship->SetOrientation(orientation.x, orientation.y, orientation.z);
    madeShips.push_back(ship);
    return ship;
}

AseNode Marker(const std::string& type, const Vector& position, const std::vector<float>& properties,
               const Vector& rotation)
{
    AseNode node;
    node.name = type + "01";
    node.type = type;
    node.position = position;
    node.rotation = rotation;
    node.propertyCount = int32_t(properties.size());
    for (size_t i = 0; i < properties.size() && i < size_t(kMaxAseProperties); ++i)
    {
        node.properties[i] = properties[i];
    }
    return node;
}

float HullTotal(const Ship* ship)
{
    float total = 0.0f;
    for (int face = 0; face < kHullFaces; ++face)
    {
        total += ship->hull[face];
    }
    return total;
}
