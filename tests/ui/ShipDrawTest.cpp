#include <GL/gl.h>

#include <vector>

#include "TestFont.h"
#include "UiGame.h"
#include "app/Startup.h"
#include "ui/Glow.h"
#include "world/Environment.h"

namespace
{

// Far below the nebulae of map1: open space.
const Vector kPlace(0.0f, -3000.0f, 0.0f);

class ShipDraw : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game = SharedGame();
        ship = FleetShip(game, "battlefrigate");
        ASSERT_NE(ship, nullptr);
        SelectOnly(game, nullptr);
        ship->targeted = false;
        ship->motionState = Ship::Stopped;
        ship->SetPosition(kPlace.x, kPlace.y, kPlace.z);
        ship->SetOrientation(0.0f, 0.0f, 0.0f);
        LookAt(kPlace, 150.0f);
    }

    void TearDown() override
    {
        SelectOnly(game, nullptr);
        GLTest::TearDown();
    }

    Game* game = nullptr;
    Ship* ship = nullptr;
};

int CountAll(unsigned value)
{
    return CountStencil(0, 0, 800, 600, value);
}

std::vector<GLuint> ReadAllStencil()
{
    std::vector<GLuint> stencil(800 * 600);
    glReadPixels(0, 0, 800, 600, GL_STENCIL_INDEX, GL_UNSIGNED_INT, stencil.data());
    return stencil;
}

std::vector<unsigned char> ReadAllColour()
{
    std::vector<unsigned char> colour(800 * 600 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, colour.data());
    return colour;
}

} // namespace

TEST(ShipGlow, PulsesOverTenSecondsAndByIdOffset)
{
    EXPECT_NEAR(GlowStrength(0, 0.0f), 0.7f, 1e-6);
    EXPECT_NEAR(GlowStrength(0, 2.5f), 1.0f, 1e-5);
    EXPECT_NEAR(GlowStrength(0, 7.5f), 0.4f, 1e-5);
    EXPECT_NEAR(GlowStrength(0, 10.0f), GlowStrength(0, 0.0f), 1e-4);
    // Id 6 is 90 degrees ahead of id 0: a quarter of the period.
    EXPECT_NEAR(GlowStrength(6, 0.0f), GlowStrength(0, 2.5f), 1e-5);
}

TEST_F(ShipDraw, HullWritesTheIdAndNothingAroundIt)
{
    ship->Draw(false);
    const int hull = CountAll(ship->id);
    EXPECT_GT(hull, 500);
    EXPECT_EQ(ReadStencil(400, 300), ship->id);
    EXPECT_EQ(hull + CountAll(0), 800 * 600);
    EXPECT_EQ(ReadStencil(5, 5), 0u);
    EXPECT_EQ(ReadStencil(795, 595), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShipDraw, MarkersAndLightsWriteNoStencil)
{
    ship->Draw(false);
    const std::vector<GLuint> plainStencil = ReadAllStencil();
    const std::vector<unsigned char> plainColour = ReadAllColour();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    SelectOnly(game, ship);
    ship->targeted = true;
    ship->lightsOn = true;
    for (ShipLight* light : ship->lights)
    {
        light->blinkTime = light->blinkPeriod;
    }
    ship->Draw(false);
    const std::vector<GLuint> markedStencil = ReadAllStencil();
    const std::vector<unsigned char> markedColour = ReadAllColour();
    // The markers may hide parts of the hull behind them, but never add an id
    // pixel or any other stencil value.
    int added = 0;
    int other = 0;
    for (size_t i = 0; i < markedStencil.size(); ++i)
    {
        added += markedStencil[i] == ship->id && plainStencil[i] != ship->id ? 1 : 0;
        other += markedStencil[i] != ship->id && markedStencil[i] != 0 ? 1 : 0;
    }
    EXPECT_EQ(added, 0);
    EXPECT_EQ(other, 0);
    // The markers and lights do show.
    int changed = 0;
    for (size_t i = 0; i < markedColour.size(); i += 4)
    {
        changed += markedColour[i] != plainColour[i] || markedColour[i + 1] != plainColour[i + 1] ? 1 : 0;
    }
    EXPECT_GT(changed, 50);
}

TEST_F(ShipDraw, WireFrameInTheSensorViewStillWritesTheId)
{
    ship->Draw(true);
    EXPECT_GT(CountAll(ship->id), 100);
    EXPECT_EQ(CountAll(ship->id) + CountAll(0), 800 * 600);
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
}

TEST_F(ShipDraw, GhostIsAWireFrameThatWritesZero)
{
    Player* other = game->players[1];
    Ship* enemy = other->fleet[0];
    const Vector seenAt = kPlace;
    DetectionEntry& entry = enemy->detection[0];
    entry.state = 1;
    entry.lastPosition = seenAt;
    entry.lastOrientation = Orientation(0, 0, 0);
    enemy->SetPosition(5000.0f, 0.0f, 0.0f);
    enemy->DrawAsSeen(false);
    EXPECT_EQ(CountAll(0), 800 * 600);
    // Drawn in its owner's colour, blue.
    EXPECT_GT(CountColour(0, 0, 800, 600, 0, 0, 255), 50);
}

TEST_F(ShipDraw, ShipsNeverSeenAreNotDrawnAndVisibleOnesAre)
{
    Ship* enemy = game->players[1]->fleet[1];
    enemy->detection[0].state = 0;
    enemy->SetPosition(kPlace.x, kPlace.y, kPlace.z);
    enemy->DrawAsSeen(false);
    EXPECT_EQ(CountColour(0, 0, 800, 600, 0, 0, 0), 800 * 600);
    enemy->detection[0].state = 2;
    enemy->DrawAsSeen(false);
    EXPECT_GT(CountAll(enemy->id), 500);
    enemy->SetPosition(-5000.0f, 0.0f, 0.0f);
}

TEST_F(ShipDraw, SensorEnvelopeShowsOnlyForASelectedShipInTheSensorView)
{
    ship->BuildSensorEnvelope();
    LookAt(kPlace, 3000.0f, 6000.0f);
    const int grey = 230;
    ship->Draw(true);
    EXPECT_EQ(CountColour(0, 0, 800, 600, grey, grey, grey), 0);

    SelectOnly(game, ship);
    ship->Draw(false);
    EXPECT_EQ(CountColour(0, 0, 800, 600, grey, grey, grey), 0);
    ship->Draw(true);
    const int envelope = CountColour(0, 0, 800, 600, grey, grey, grey);
    EXPECT_GT(envelope, 200);
    // The envelope writes no stencil: only the (tiny) hull does.
    EXPECT_LT(CountAll(ship->id), 200);
}

// The envelope is compiled only when drawn, but shows the nebula from where
// the ship was when it took the envelope, and only the regions that existed then.
TEST_F(ShipDraw, SensorEnvelopeShowsTheNebulaOfTheMomentItWasTaken)
{
    SelectOnly(game, ship);
    LookAt(kPlace, 3000.0f, 6000.0f);
    auto envelopeFrame = [&]()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        ship->Draw(true);
        return ReadAllColour();
    };
    const int grey = 230;
    auto greyPixels = [&]() { return CountColour(0, 0, 800, 600, grey, grey, grey); };

    ship->BuildSensorEnvelope();
    const std::vector<unsigned char> openSpace = envelopeFrame();
    const int openSpaceGrey = greyPixels();
    EXPECT_GT(openSpaceGrey, 2000);

    // A dense cloud around the ship, added after the envelope was taken but
    // before it is drawn.
    ship->BuildSensorEnvelope();
    NebulaRegion* cloud = new NebulaRegion;
    cloud->min = kPlace - Vector(200.0f, 200.0f, 200.0f);
    cloud->max = kPlace + Vector(200.0f, 200.0f, 200.0f);
    cloud->density = 1.0f;
    Environment* environment = game->GetEnvironment();
    environment->regions.push_back(cloud);

    EXPECT_TRUE(envelopeFrame() == openSpace);

    // Taken far from the cloud, drawn back beside it: still open space.
    ship->SetPosition(kPlace.x + 5000.0f, kPlace.y, kPlace.z);
    ship->BuildSensorEnvelope();
    ship->SetPosition(kPlace.x, kPlace.y, kPlace.z);
    EXPECT_TRUE(envelopeFrame() == openSpace);

    // Taken inside the cloud: the sensor reaches 10 units in every direction.
    ship->BuildSensorEnvelope();
    envelopeFrame();
    EXPECT_LT(greyPixels(), openSpaceGrey / 10);

    environment->regions.pop_back();
    delete cloud;
}

TEST_F(ShipDraw, OrderPathShowsGreenThenDarkRed)
{
    SelectOnly(game, ship);
    ship->moveTimeLeft = 1.0f;
    ship->speed = 1.0f;
    LookAt(kPlace, 200.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Facing +X, a move of 60 units that way: 20 ticks green, the rest dark red.
    ship->SetOrientation(0.0f, 270.0f, 0.0f);
    ship->DrawOrderPreview(60.0f, 0.0f, 0.0f, false);
    EXPECT_GT(CountColour(0, 0, 800, 600, 77, 255, 77), 5);
    EXPECT_GT(CountColour(0, 0, 800, 600, 128, 0, 0), 5);
    EXPECT_EQ(CountAll(0), 800 * 600);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    glClear(GL_COLOR_BUFFER_BIT);
    ship->moveTimeLeft = 0.0f;
    ship->DrawOrderPreview(100.0f, 0.0f, 0.0f, false);
    EXPECT_EQ(CountColour(0, 0, 800, 600, 77, 255, 77), 0);
    EXPECT_GT(CountColour(0, 0, 800, 600, 128, 0, 0), 20);
}

TEST_F(ShipDraw, FleetDrawsEveryLiveShipWithItsId)
{
    Player* player = game->players[0];
    for (size_t i = 0; i < player->fleet.size(); ++i)
    {
        player->fleet[i]->SetPosition(kPlace.x - 80.0f + 40.0f * float(i), kPlace.y, kPlace.z - 100.0f);
    }
    LookAt(kPlace, 200.0f);
    player->DrawFleet(false, false);
    for (Ship* member : player->fleet)
    {
        EXPECT_GT(CountAll(member->id), 50) << member->name;
    }
    player->fleet[0]->alive = false;
    glClear(GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    player->DrawFleet(false, false);
    EXPECT_EQ(CountAll(player->fleet[0]->id), 0);
    player->fleet[0]->alive = true;
}
