// The environment's drawing under the game's real display: the puff texture,
// the state around the clouds, the levels of detail and the cut-offs.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "math/Random.h"
#include "support/GLTest.h"
#include "world/Environment.h"

namespace
{

const Vector kOrigin(0, 0, 0);
const Vector kForward(0, 0, -1);

bool AnyLitPixel()
{
    for (int y = 200; y <= 400; y += 10)
    {
        for (int x = 300; x <= 500; x += 10)
        {
            const Rgb p = ReadPixel(x, y);
            if (p.r + p.g + p.b > 0)
            {
                return true;
            }
        }
    }
    return false;
}

// Squeezes every cloud of the region into a few spots in front of the camera.
void PlaceClouds(NebulaRegion& region, const Vector& spot)
{
    for (Cloud* cloud : region.clouds)
    {
        cloud->position = spot;
        cloud->velocity = Vector(0, 0, 0);
    }
}

// The number of polygons OpenGL receives while `draw` runs, through feedback mode.
template <typename F> int CountPolygons(F draw)
{
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    int polygons = 0;
    for (GLint i = 0; i < used;)
    {
        const GLint token = GLint(buffer[i++]);
        if (token == GL_POLYGON_TOKEN)
        {
            const GLint vertices = GLint(buffer[i++]);
            i += 3 * vertices;
            ++polygons;
        }
        else if (token == GL_PASS_THROUGH_TOKEN)
        {
            i += 1;
        }
        else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                 token == GL_COPY_PIXEL_TOKEN)
        {
            i += 3;
        }
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
        {
            i += 6;
        }
        else
        {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return polygons;
}

} // namespace

TEST(PuffTexelsTest, ASoftSpotOf100AtTheCentreFallingToZero)
{
    unsigned char texels[kPuffTextureSize * kPuffTextureSize];
    ComputePuffTexels(texels);
    EXPECT_EQ(texels[16 * 32 + 16], 100);
    EXPECT_EQ(texels[16 * 32 + 24], 50); // half way: d = 0.5
    EXPECT_EQ(texels[24 * 32 + 16], 50);
    EXPECT_EQ(texels[16 * 32 + 0], 0); // d = 1.0 exactly
    EXPECT_EQ(texels[0], 0);
    EXPECT_EQ(texels[16 * 32 + 28], 14); // d = 0.75
    EXPECT_EQ(texels[16 * 32 + 31], 0);  // d = 0.9375: 0.96 truncated
    for (unsigned char t : texels)
    {
        EXPECT_LE(t, 100);
    }
}

TEST_F(GLTest, EnvironmentUploadsThePuffTextureByItsRule)
{
    Environment environment;
    ASSERT_NE(environment.puffTexture, 0u);
    ASSERT_TRUE(glIsList(environment.puffList));
    glBindTexture(GL_TEXTURE_2D, environment.puffTexture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 32);

    unsigned char expected[kPuffTextureSize * kPuffTextureSize];
    ComputePuffTexels(expected);
    std::vector<unsigned char> uploaded(kPuffTextureSize * kPuffTextureSize);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, uploaded.data());
    for (int i = 0; i < kPuffTextureSize * kPuffTextureSize; ++i)
    {
        ASSERT_EQ(uploaded[i], expected[i]) << "texel " << i;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GLTest, CloudsAreBlendedWriteNoDepthAndRestoreTheState)
{
    Environment environment;
    SeedRandom(4);
    environment.AddRegion(Vector(-200, -200, -300), Vector(200, 200, -20), 0.2f, 0.0f, Vector(1, 1, 1));
    PlaceClouds(*environment.regions[0], Vector(0, 0, -100));
    environment.Update(kOrigin, kForward);
    ASSERT_TRUE(environment.regions[0]->active);

    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    environment.Draw(kOrigin, 0.0f, kForward, false);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const Rgb centre = ReadPixel(400, 300);
    EXPECT_GT(centre.r, 0);
    GLfloat depth = 0.0f;
    glReadPixels(400, 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);

    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), environment.puffTexture);
    glDisable(GL_FOG);
}

TEST_F(GLTest, TheSensorViewBindsNoTextureAndShowsEveryRegionsBox)
{
    Environment environment;
    SeedRandom(4);
    environment.AddRegion(Vector(-100, -100, -300), Vector(100, 100, -200), 0.5f, 1.0f, Vector(0, 1, 0));
    // Far from the camera: inactive, so no clouds are drawn or moved.
    environment.Update(Vector(0, 0, 2000), kForward);
    ASSERT_FALSE(environment.regions[0]->active);

    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    glBindTexture(GL_TEXTURE_2D, sentinel);
    environment.Draw(kOrigin, 30.0f, kForward, false);
    EXPECT_FALSE(AnyLitPixel());

    // Texturing left on by the caller is switched off for the sensor view.
    glBindTexture(GL_TEXTURE_2D, sentinel);
    glEnable(GL_TEXTURE_2D);
    environment.Draw(kOrigin, 30.0f, kForward, true);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), sentinel);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // The translucent green box, alpha 0.5 over black, front and back faces:
    // 0.5 + 0.5 x 0.5 of full green.
    const Rgb centre = ReadPixel(400, 300);
    EXPECT_EQ(centre.r, 0);
    EXPECT_NEAR(centre.g, 191, 3);
    // The box is a solid: culling is back on afterwards.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glDisable(GL_FOG);
}

TEST_F(GLTest, ThreeLevelsOfDetailDrawOneFiveOrTwentyFiveQuadsCrossFaded)
{
    Environment environment;
    PuffNode tree(2);
    const float rgba[4] = {1, 1, 1, 1};
    glTranslatef(0, 0, -100);
    const int quad =
        CountPolygons([&] { DrawCloudPuffs(environment.puffList, 10.0f, &tree, 0, 1.0f, rgba); });
    ASSERT_GE(quad, 1);
    auto quads = [&](int lod, float blend)
    {
        return CountPolygons([&] { DrawCloudPuffs(environment.puffList, 10.0f, &tree, lod, blend, rgba); }) /
               quad;
    };
    EXPECT_EQ(quads(0, 1.0f), 1);
    EXPECT_EQ(quads(1, 1.0f), 5);
    EXPECT_EQ(quads(1, 0.5f), 6);
    EXPECT_EQ(quads(2, 1.0f), 25);
    EXPECT_EQ(quads(2, 0.5f), 30);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GLTest, ExplosionsAreCutOffFarAheadAndBehindButNotInTheSensorView)
{
    Environment environment;
    const Vector colour(1, 1, 0);
    auto explosionAt = [&](const Vector& centre)
    {
        SeedRandom(6);
        environment.AddExplosion(3, 1.0f, &centre, &colour, false);
        Explosion* explosion = environment.explosions.back();
        for (Cloud* cloud : explosion->clouds)
        {
            cloud->position = Vector(0, 0, -100); // in plain view whatever the centre
        }
        return explosion;
    };
    auto drawn = [&](bool sensorView)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        environment.Draw(kOrigin, 0.0f, kForward, sensorView);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return AnyLitPixel();
    };

    explosionAt(Vector(0, 0, -999));
    // Too far from the camera for the normal view (beyond 577.35), not along the view.
    environment.explosions.back()->centre = Vector(0, 0, -400);
    EXPECT_TRUE(drawn(false));
    environment.explosions.back()->centre = Vector(0, 0, -1001);
    EXPECT_FALSE(drawn(false));
    EXPECT_TRUE(drawn(true));
    environment.explosions.back()->centre = Vector(0, 0, 1.5f);
    EXPECT_FALSE(drawn(false));
    EXPECT_FALSE(drawn(true));
    environment.explosions.back()->centre = Vector(0, 0, 0.5f);
    EXPECT_TRUE(drawn(false));
    EXPECT_TRUE(drawn(true));
    environment.explosions.back()->shownInSensorView = false;
    EXPECT_FALSE(drawn(true));
    glDisable(GL_FOG);
}

TEST_F(GLTest, OnlyTheVisibleCloudsOfAnActiveRegionAreDrawn)
{
    Environment environment;
    SeedRandom(12);
    environment.AddRegion(Vector(-200, -200, -400), Vector(200, 200, -20), 0.2f, 0.0f, Vector(1, 1, 1));
    NebulaRegion& region = *environment.regions[0];
    PlaceClouds(region, Vector(0, 0, -100));
    environment.Update(kOrigin, kForward);
    ASSERT_TRUE(region.active);

    // Every cloud hidden, as the update leaves clouds beyond 500 along the view.
    for (Cloud* cloud : region.clouds)
    {
        cloud->visible = false;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    environment.Draw(kOrigin, 0.0f, kForward, false);
    EXPECT_FALSE(AnyLitPixel());

    // One visible cloud is enough to show.
    region.clouds[0]->visible = true;
    glClear(GL_COLOR_BUFFER_BIT);
    environment.Draw(kOrigin, 0.0f, kForward, false);
    EXPECT_TRUE(AnyLitPixel());

    // An inactive region draws nothing, whatever its clouds say.
    region.active = false;
    glClear(GL_COLOR_BUFFER_BIT);
    environment.Draw(kOrigin, 0.0f, kForward, false);
    EXPECT_FALSE(AnyLitPixel());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDisable(GL_FOG);
}
