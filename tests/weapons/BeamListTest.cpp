#include <gtest/gtest.h>

#include "math/Random.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"

namespace
{

class BeamListTest : public GLTest
{
};

TEST_F(BeamListTest, FirstBeamGetsIdTwoAndItsLength)
{
    BeamList beams;
    const uint32_t first = beams.AddBeam(Vector(0, 0, 0), Vector(3, 4, 0), Vector(1, 0, 0), 5.0f);
    const uint32_t second = beams.AddBeam(Vector(1, 1, 1), Vector(0, 0, -10), Vector(0, 1, 0), 2.0f);
    EXPECT_EQ(first, 2u);
    EXPECT_EQ(second, 3u);
    ASSERT_NE(beams.FindBeam(first), nullptr);
    EXPECT_FLOAT_EQ(beams.FindBeam(first)->length, 5.0f);
    EXPECT_FLOAT_EQ(beams.FindBeam(second)->length, 10.0f);
}

TEST_F(BeamListTest, MoveRecomputesTheLengthAndIgnoresUnknownIds)
{
    BeamList beams;
    const uint32_t id = beams.AddBeam(Vector(0, 0, 0), Vector(3, 4, 0), Vector(1, 0, 0), 5.0f);
    beams.MoveBeam(id, Vector(1, 2, 3), Vector(0, 0, 12));
    const Beam* beam = beams.FindBeam(id);
    ASSERT_NE(beam, nullptr);
    EXPECT_EQ(beam->start, Vector(1, 2, 3));
    EXPECT_FLOAT_EQ(beam->length, 12.0f);
    beams.MoveBeam(999, Vector(5, 5, 5), Vector(1, 0, 0));
    beams.MoveBeam(0, Vector(5, 5, 5), Vector(1, 0, 0));
    EXPECT_EQ(beams.FindBeam(id)->start, Vector(1, 2, 3));
    EXPECT_EQ(beams.Count(), 1);
}

TEST_F(BeamListTest, RemoveKeepsTheOrderOfTheOthers)
{
    BeamList beams;
    const uint32_t a = beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f);
    const uint32_t b = beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f);
    const uint32_t c = beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f);
    beams.RemoveBeam(b);
    beams.RemoveBeam(12345);
    ASSERT_EQ(beams.Count(), 2);
    EXPECT_EQ(beams.beams[0].id, a);
    EXPECT_EQ(beams.beams[1].id, c);
    // Ids are not given out again.
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f), c + 1);
}

TEST_F(BeamListTest, ClearEmptiesButIdsGoOn)
{
    BeamList beams;
    beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f);
    const uint32_t last = beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f);
    beams.Clear();
    EXPECT_EQ(beams.Count(), 0);
    EXPECT_EQ(beams.FindBeam(last), nullptr);
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f), last + 1);
}

TEST_F(BeamListTest, IdCounterSkipsZeroWhenItWraps)
{
    BeamList beams;
    beams.lastId = 0xffffffffu;
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f), 1u);
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f), 2u);
}

// Counts the pixels of the frame whose red exceeds the other channels by 40.
static int RedPixels()
{
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        count += pixels[i] > pixels[i + 1] + 40 && pixels[i] > pixels[i + 2] + 40 ? 1 : 0;
    }
    return count;
}

TEST_F(BeamListTest, DrawsABeamAcrossTheViewInBothViews)
{
    BeamList beams;
    // A red beam from left to right 100 in front of the camera.
    beams.AddBeam(Vector(-40, 0, -100), Vector(80, 0, 0), Vector(1, 0, 0), 5.0f);
    SeedRandom(1);
    beams.Draw(false);
    const int normal = RedPixels();
    EXPECT_GT(normal, 500);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    beams.Draw(true);
    const int sensor = RedPixels();
    // A thin line across the view: hundreds of pixels, far fewer than the textured beam.
    EXPECT_GT(sensor, 200);
    EXPECT_LT(sensor, normal);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);
}

TEST_F(BeamListTest, EachBeamDrawDrawsSevenFractionsInTheNormalViewAndFourInTheSensorView)
{
    BeamList beams;
    beams.AddBeam(Vector(0, 0, -100), Vector(10, 0, 0), Vector(1, 0, 0), 5.0f);
    SeedRandom(9);
    beams.Draw(false);
    const int afterNormal = Random();
    SeedRandom(9);
    for (int i = 0; i < 7; ++i)
    {
        Random();
    }
    EXPECT_EQ(afterNormal, Random());

    SeedRandom(9);
    beams.Draw(true);
    const int afterSensor = Random();
    SeedRandom(9);
    for (int i = 0; i < 4; ++i)
    {
        Random();
    }
    EXPECT_EQ(afterSensor, Random());
}

TEST_F(BeamListTest, ZeroLengthBeamDrawsWithoutError)
{
    BeamList beams;
    beams.AddBeam(Vector(0, 0, -100), Vector(0, 0, 0), Vector(1, 0, 0), 5.0f);
    beams.Draw(false);
    beams.Draw(true);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
