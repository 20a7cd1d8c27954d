// The generated model scenes: well formed, complete, consistent indices,
// usable normals and texture coordinates, in both data sets.

#include "DataSupport.h"
#include "support/GLTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{

const char* const kModels[] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter",
                               "gunturret",     "gunturret_base",  "gunturret_guns", "beamturret"};

class ModelFiles : public ::testing::TestWithParam<std::string>
{
};

TEST_P(ModelFiles, EveryModelScansAndItsIndicesNormalsAndTextureCoordinatesAreSound)
{
    for (const char* name : kModels)
    {
        SCOPED_TRACE(name);
        const ScannedScene scene = ScanAse(GetParam() + "/Models/" + name + ".ase");
        ASSERT_TRUE(scene.ok) << scene.error;
        ASSERT_EQ(scene.meshes.size(), 1u);
        const ScannedMesh& m = scene.meshes[0];
        EXPECT_EQ(m.vertices.size(), m.declaredVertices);
        EXPECT_EQ(m.faces.size(), m.declaredFaces);
        ASSERT_EQ(m.tfaces.size(), m.faces.size());
        ASSERT_EQ(m.normals.size(), m.faces.size());
        for (size_t i = 0; i < m.faces.size(); ++i)
            for (int k = 0; k < 3; ++k)
            {
                ASSERT_LT(m.faces[i][k], m.vertices.size()) << "face " << i;
                ASSERT_LT(m.tfaces[i][k], m.tverts.size()) << "texture face " << i;
                const P3& n = m.normals[i][k];
                const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
                ASSERT_NEAR(length, 1.0f, 0.01f) << "normal of face " << i;
            }
        for (const auto& t : m.tverts)
        {
            ASSERT_GE(t[0], 0.0f);
            ASSERT_LE(t[0], 1.0f);
            ASSERT_GE(t[1], 0.0f);
            ASSERT_LE(t[1], 1.0f);
        }
    }
}

TEST_P(ModelFiles, FacesPointOutwardsAndAgreeWithTheirVertexNormals)
{
    // Back faces are culled when ships are drawn: a face wound the wrong way
    // is a hole. Each face's winding normal must lie on the side of its own
    // vertex normals.
    for (const char* name : kModels)
    {
        SCOPED_TRACE(name);
        const ScannedScene scene = ScanAse(GetParam() + "/Models/" + name + ".ase");
        ASSERT_TRUE(scene.ok) << scene.error;
        const ScannedMesh& m = scene.meshes[0];
        int disagreeing = 0;
        for (size_t i = 0; i < m.faces.size(); ++i)
        {
            const P3 &a = m.vertices[m.faces[i][0]], &b = m.vertices[m.faces[i][1]],
                     &c = m.vertices[m.faces[i][2]];
            const P3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
            const P3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
            const P3& vn = m.normals[i][0];
            if (n.x * vn.x + n.y * vn.y + n.z * vn.z < 0)
                ++disagreeing;
        }
        EXPECT_EQ(disagreeing, 0);
    }
}

TEST_P(ModelFiles, ShipsHaveDetailWithinTheTriangleBudget)
{
    for (const char* name : {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter"})
    {
        const ScannedScene scene = ScanAse(GetParam() + "/Models/" + name + ".ase");
        ASSERT_TRUE(scene.ok) << scene.error;
        EXPECT_GE(scene.meshes[0].faces.size(), 300u) << name;
        EXPECT_LE(scene.meshes[0].faces.size(), 4000u) << name;
    }
}

TEST_P(ModelFiles, ClassesDifferInSizeAndShape)
{
    // Extents in game axes (width, height, length) of the four classes.
    auto extent = [&](const char* name)
    {
        const ScannedScene scene = ScanAse(GetParam() + "/Models/" + name + ".ase");
        P3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
        for (const P3& f : scene.meshes.at(0).vertices)
        {
            const P3 g = MeshPointInGame(f);
            lo = P3{std::fmin(lo.x, g.x), std::fmin(lo.y, g.y), std::fmin(lo.z, g.z)};
            hi = P3{std::fmax(hi.x, g.x), std::fmax(hi.y, g.y), std::fmax(hi.z, g.z)};
        }
        return P3{hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
    };
    const P3 frigate = extent("battlefrigate"), fusion = extent("beamfrigateopen"),
             carrier = extent("escortcarrier2"), fighter = extent("smallfighter");
    EXPECT_GT(fusion.x, fusion.z * 0.8f) << "the fusion frigate is nearly as wide as it is long";
    EXPECT_LT(frigate.x, frigate.z * 0.7f) << "the battle frigate is long and slim";
    EXPECT_GT(carrier.z, frigate.z * 1.3f) << "the carrier is the longest";
    EXPECT_LT(fighter.z, 15.0f) << "the fighter is small";
    // The fleets stand 100 apart: no capital ship may be so wide that its
    // neighbours overlap it.
    for (const P3& e : {frigate, fusion, carrier})
        EXPECT_LT(e.x, 95.0f);
}

INSTANTIATE_TEST_SUITE_P(BothDataSets, ModelFiles, ::testing::Values(DataDir(), TestDataDir()));

} // namespace
