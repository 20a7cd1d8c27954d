#include <gtest/gtest.h>

#include "combat/TurretCone.h"
#include "support/GLTest.h"

namespace
{

// --- Loop counts in single precision ---

TEST(ConeStepsTest, BeamDefaultsGiveElevenLinesEachWay)
{
    EXPECT_EQ(ConeSteps(-90.0f, 90.0f, 0.2f * 90.0f).size(), 11u);
    EXPECT_EQ(ConeSteps(-10.0f, 10.0f, 0.2f * 10.0f).size(), 11u);
}

TEST(ConeStepsTest, GunDefaultsLoseTheLastPitchLineToRounding)
{
    EXPECT_EQ(ConeSteps(-180.0f, 180.0f, 0.2f * 180.0f).size(), 11u);
    const std::vector<float> pitches = ConeSteps(-20.0f, 88.0f, 0.1f * (88.0f - -20.0f));
    EXPECT_EQ(pitches.size(), 10u);
    EXPECT_EQ(pitches.front(), -20.0f);
    EXPECT_LT(pitches.back(), 88.0f);
}

TEST(ConeStepsTest, DegenerateStepsEndTheLoop)
{
    // Zero, negative and vanishing steps come from odd marker values; none may hang.
    EXPECT_EQ(ConeSteps(0.0f, 0.0f, 0.0f).size(), 1u);
    EXPECT_EQ(ConeSteps(-5.0f, 5.0f, -1.0f).size(), 1u);
    EXPECT_LE(ConeSteps(-20.0f, -19.999998f, 1e-9f).size(), 2u);
    EXPECT_TRUE(ConeSteps(5.0f, -5.0f, 1.0f).empty());
}

TEST(ConeRadiiTest, ShellsDoubleFromFour)
{
    float edge = 0.0f;
    const std::vector<float> beam = ConeRadii(128.0f, edge);
    EXPECT_EQ(beam, (std::vector<float>{4, 8, 16, 32, 64, 128}));
    EXPECT_EQ(edge, 256.0f);
    const std::vector<float> gun = ConeRadii(64.0f, edge);
    EXPECT_EQ(gun.size(), 5u);
    EXPECT_EQ(edge, 128.0f);
}

TEST(ConePointTest, YawAndPitchPlaceThePoint)
{
    const Vector ahead = ConePoint(0.0f, 0.0f, 4.0f);
    EXPECT_NEAR(ahead.z, -4.0f, 1e-6f);
    const Vector right = ConePoint(90.0f, 0.0f, 1.0f);
    EXPECT_NEAR(right.x, 1.0f, 1e-5f);
    EXPECT_NEAR(right.z, 0.0f, 1e-5f);
    const Vector up = ConePoint(0.0f, 90.0f, 2.0f);
    EXPECT_NEAR(up.y, 2.0f, 1e-5f);
}

TEST(ConeEdgesTest, OnlyArcsBelow175HaveEdgeLines)
{
    EXPECT_TRUE(ConeHasEdges(FiringArc{90.0f, -10.0f, 10.0f}));
    EXPECT_TRUE(ConeHasEdges(FiringArc{174.9f, -10.0f, 10.0f}));
    EXPECT_FALSE(ConeHasEdges(FiringArc{175.0f, -10.0f, 10.0f}));
    EXPECT_FALSE(ConeHasEdges(FiringArc{180.0f, -20.0f, 88.0f}));
}

TEST(ConeStateTest, StateChoosesColourAndWidth)
{
    EXPECT_EQ(ConeListForState(Spent), 0);
    EXPECT_EQ(ConeListForState(Idle), 1);
    EXPECT_EQ(ConeListForState(OutOfArc), 1);
    EXPECT_EQ(ConeListForState(Aiming), 2);
    EXPECT_EQ(ConeListForState(Firing), 3);
    EXPECT_EQ(ConeLineWidthForState(Firing), 3.0f);
    EXPECT_EQ(ConeLineWidthForState(Aiming), 1.5f);
    EXPECT_EQ(ConeLineWidthForState(Spent), 1.5f);
}

// --- The compiled lists ---

class ConeListTest : public GLTest
{
};

// Draws cone list i seen from 60 above and behind the mount and returns the
// brightest pixel of the frame.
static Rgb DrawAndFindBrightest(GLuint list)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -300.0f);
    glRotatef(30.0f, 1.0f, 0.0f, 0.0f);
    glCallList(list);
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    Rgb best{0, 0, 0};
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        if (pixels[i] + pixels[i + 1] + pixels[i + 2] > best.r + best.g + best.b)
        {
            best = Rgb{pixels[i], pixels[i + 1], pixels[i + 2]};
        }
    }
    return best;
}

TEST_F(ConeListTest, FourListsInTheirColoursRestoringState)
{
    ConeShape shape{FiringArc{90.0f, -10.0f, 10.0f}, 18.0f, 2.0f, 128.0f, 0.1f};
    const GLuint first = CompileConeLists(shape);
    ASSERT_NE(first, 0u);
    for (GLuint i = 0; i < 4; ++i)
    {
        EXPECT_TRUE(glIsList(first + i));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const Rgb yellow = DrawAndFindBrightest(first + 3);
    EXPECT_GT(yellow.r, 100);
    EXPECT_GT(yellow.g, 100);
    EXPECT_LT(yellow.b, 30);
    const Rgb red = DrawAndFindBrightest(first + 1);
    EXPECT_GT(red.r, 100);
    EXPECT_LT(red.g, 30);
    const Rgb orange = DrawAndFindBrightest(first + 2);
    EXPECT_GT(orange.r, orange.g);
    EXPECT_GT(orange.g, 40);
    const Rgb grey = DrawAndFindBrightest(first + 0);
    EXPECT_LT(grey.r, 60);
    EXPECT_GT(grey.r, 0);

    // The list leaves culling and depth writes on and blending off again.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);

    glDeleteLists(first, 4);
}

} // namespace
