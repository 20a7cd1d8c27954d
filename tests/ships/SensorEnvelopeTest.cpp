// The sensor envelope is walked and compiled only when drawn, yet shows the
// nebula from where the ship was when it took the envelope, through the
// regions that existed then.

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "world/Environment.h"

namespace
{

class SensorEnvelope : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game = NewEmptyGame(2);
        ship = PlaceShip(game, 0, Vector());
        ship->Select();
        // The whole envelope (1010 units in open space) in view.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 4.0 / 3.0, 1.0, 6000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(-kTestOrigin.x, -kTestOrigin.y, -kTestOrigin.z - 3000.0f);
    }

    void TearDown() override
    {
        delete game;
        GLTest::TearDown();
    }

    // The frame of the ship drawn in the sensor view.
    std::vector<unsigned char> Frame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        ship->Draw(true);
        std::vector<unsigned char> pixels(800 * 600 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    Game* game = nullptr;
    Ship* ship = nullptr;
};

} // namespace

TEST_F(SensorEnvelope, ShowsTheNebulaOfTheMomentItWasTaken)
{
    ship->BuildSensorEnvelope();
    const std::vector<unsigned char> openSpace = Frame();

    // A dense cloud around the ship, added after the envelope was taken but
    // before it is drawn.
    ship->BuildSensorEnvelope();
    NebulaRegion* cloud = new NebulaRegion;
    cloud->min = kTestOrigin - Vector(200.0f, 200.0f, 200.0f);
    cloud->max = kTestOrigin + Vector(200.0f, 200.0f, 200.0f);
    cloud->density = 1.0f;
    game->GetEnvironment()->regions.push_back(cloud);
    EXPECT_TRUE(Frame() == openSpace);

    // Taken far from the cloud, drawn back beside it: still open space.
    ship->SetPosition(kTestOrigin.x + 5000.0f, kTestOrigin.y, kTestOrigin.z);
    ship->BuildSensorEnvelope();
    ship->SetPosition(kTestOrigin.x, kTestOrigin.y, kTestOrigin.z);
    EXPECT_TRUE(Frame() == openSpace);

    // Taken inside the cloud, where the sensor reaches 10 units: another frame.
    ship->BuildSensorEnvelope();
    EXPECT_FALSE(Frame() == openSpace);
}
