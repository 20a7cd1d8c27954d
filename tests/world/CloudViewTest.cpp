// Clouds wholly outside the view are left out of the drawing. Swept across each
// side of the view and through the near and far planes, a cloud must draw the
// same frame (colour and stencil) whether the view may leave it out or not.

#include <vector>

#include "support/GLTest.h"
#include "world/Environment.h"

namespace
{

using CloudsOutOfView = GLTest;

TEST_F(CloudsOutOfView, OnlyCloudsThatWouldLeaveNoPixelAreLeftOut)
{
    Environment environment;
    environment.AddRegion(Vector(0, 0, 0), Vector(10, 10, 10), 0.2f, 0.0f, Vector(1, 0.5f, 0.2f));
    NebulaRegion& region = *environment.regions[0];
    region.active = true;
    Cloud& cloud = *region.clouds[0];
    cloud.visible = true;
    cloud.size = 40.0f;
    cloud.blend = 0.5f;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, environment.puffTexture);
    glStencilFunc(GL_ALWAYS, 7, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    // The whole frame, colour and stencil, of the cloud drawn within `view`.
    auto frame = [&](const ViewVolume& view)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        region.Draw(0.0f, environment.puffList, false, view);
        std::vector<GLuint> pixels(800 * 600 * 2);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glReadPixels(0, 0, 800, 600, GL_STENCIL_INDEX, GL_UNSIGNED_INT, pixels.data() + 800 * 600);
        return pixels;
    };
    // The camera at the origin looks along -z; the sides of the view lie at
    // x = 0.552 and y = 0.414 times the depth, the near and far planes at 1 and 500.
    const Vector sweeps[][2] = {
        {Vector(55.2f, 0, -100), Vector(1, 0, 0)}, {Vector(-55.2f, 0, -100), Vector(-1, 0, 0)},
        {Vector(0, 41.4f, -100), Vector(0, 1, 0)}, {Vector(0, -41.4f, -100), Vector(0, -1, 0)},
        {Vector(0, 0, -1), Vector(0, 0, 1)},       {Vector(0, 0, -500), Vector(0, 0, -1)}};
    int leftOut = 0;
    for (const auto& sweep : sweeps)
    {
        for (float step = -9.0f; step <= 42.0f; step += 3.0f)
        {
            cloud.position = sweep[0] + sweep[1] * step;
            for (int lod = 0; lod < 3; lod += 2)
            {
                cloud.lod = lod;
                ASSERT_TRUE(frame(ViewVolume::Current()) == frame(ViewVolume()))
                    << "at " << step << " beyond plane " << (&sweep - sweeps) << ", lod " << lod;
                leftOut += ViewVolume::Current().SphereOutside(cloud.position, CloudExtent(cloud.size));
            }
        }
    }
    EXPECT_GT(leftOut, 6 * 2 * 3);
}

} // namespace
