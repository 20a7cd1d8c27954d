// Mesh drawing and bounding boxes, checked through OpenGL's feedback mode and
// pixels read back from the real display.

#include <gtest/gtest.h>

#include <algorithm>

#include "AssetFiles.h"
#include "GLFeedback.h"
#include "assets/Mesh.h"
#include "support/GLTest.h"

namespace
{

AseMesh* MakeMesh(const std::vector<Vector>& vertices, const std::vector<AseFace>& faces)
{
    AseMesh* mesh = new AseMesh();
    mesh->vertices = vertices;
    mesh->faces = faces;
    return mesh;
}

AseFace Face(uint32_t a, uint32_t b, uint32_t c)
{
    AseFace face;
    face.vertex[0] = a;
    face.vertex[1] = b;
    face.vertex[2] = c;
    return face;
}

const float kEmpty = kEmptyBoxExtent;

} // namespace

// ---------------------------------------------------------------- bounds (no drawing)

TEST(MeshBoundsTest, MeshBoxSpansItsVertices)
{
    AseMesh* mesh = MakeMesh({{1, -2, 3}, {-4, 5, 0.5f}, {2, 0, -6}}, {});
    Vector min;
    Vector max;
    MeshBounds(mesh, &min, &max);
    EXPECT_EQ(min, Vector(-4, -2, -6));
    EXPECT_EQ(max, Vector(2, 5, 3));
    delete mesh;
}

TEST(MeshBoundsTest, EmptyMeshAndMarkerOnlyTreeGiveTheEmptyBox)
{
    AseMesh empty;
    Vector min(1, 1, 1);
    Vector max(1, 1, 1);
    MeshBounds(&empty, &min, &max);
    EXPECT_EQ(min, Vector(kEmpty, kEmpty, kEmpty));
    EXPECT_EQ(max, Vector(-kEmpty, -kEmpty, -kEmpty));

    AseGroup markersOnly("ship");
    markersOnly.nodes.push_back(new AseNode());
    markersOnly.groups.push_back(new AseGroup("\"empty\""));
    GroupBounds(&markersOnly, &min, &max);
    EXPECT_EQ(min, Vector(kEmpty, kEmpty, kEmpty));
    EXPECT_EQ(max, Vector(-kEmpty, -kEmpty, -kEmpty));
}

TEST(MeshBoundsTest, NestedTreeMergesEveryLevel)
{
    AseGroup root("ship");
    root.meshes.push_back(MakeMesh({{0, 0, 0}, {1, 1, 1}}, {}));
    AseGroup* wing = new AseGroup("\"wing\"");
    wing->meshes.push_back(MakeMesh({{-10, 0.5f, 0}}, {}));
    AseGroup* tip = new AseGroup("\"tip\"");
    tip->meshes.push_back(MakeMesh({{0, 0, 40}, {0, -3, 0}}, {}));
    wing->groups.push_back(tip);
    wing->groups.push_back(new AseGroup("\"hollow\""));
    root.groups.push_back(wing);

    Vector min;
    Vector max;
    GroupBounds(&root, &min, &max);
    EXPECT_EQ(min, Vector(-10, -3, 0));
    EXPECT_EQ(max, Vector(1, 1, 40));
}

// ---------------------------------------------------------------- drawing

class MeshDrawTest : public GLTest
{
};

TEST_F(MeshDrawTest, FacesAreEmittedInFileOrderWithTheirCorners)
{
    AseMesh* mesh =
        MakeMesh({{0, 0, 0}, {100, 0, 0}, {0, 50, 0}, {-30, -40, 20}}, {Face(0, 1, 2), Face(3, 1, 0)});
    const auto primitives = Feedback([&] { DrawMesh(mesh); });
    ASSERT_EQ(primitives.size(), 2u);
    EXPECT_EQ(primitives[0].kind, GL_POLYGON_TOKEN);
    ASSERT_EQ(primitives[0].vertices.size(), 3u);
    EXPECT_NEAR(primitives[0].vertices[1].position.x, 100.0f, 0.01f);
    EXPECT_NEAR(primitives[0].vertices[2].position.y, 50.0f, 0.01f);
    const Vector first = primitives[1].vertices[0].position;
    EXPECT_NEAR(first.x, -30.0f, 0.01f);
    EXPECT_NEAR(first.y, -40.0f, 0.01f);
    EXPECT_NEAR(first.z, 20.0f, 0.1f);
    delete mesh;
}

TEST_F(MeshDrawTest, UntexturedMeshEmitsNoTextureCoordinates)
{
    // The faces carry texture indices but the mesh has no texture vertices: the
    // current texture coordinate set before the call must come through unchanged.
    AseMesh* mesh = MakeMesh({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}}, {Face(0, 1, 2)});
    mesh->faces[0].texCoord[1] = 5;
    const auto primitives = Feedback(
        [&]
        {
            glTexCoord2f(0.25f, 0.75f);
            DrawMesh(mesh);
        });
    ASSERT_EQ(primitives.size(), 1u);
    for (const FeedbackVertex& v : primitives[0].vertices)
    {
        EXPECT_FLOAT_EQ(v.s, 0.25f);
        EXPECT_FLOAT_EQ(v.t, 0.75f);
    }

    mesh->texCoords = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}};
    mesh->faces[0].texCoord[0] = 2;
    mesh->faces[0].texCoord[1] = 0;
    mesh->faces[0].texCoord[2] = 1;
    const auto textured = Feedback([&] { DrawMesh(mesh); });
    ASSERT_EQ(textured.size(), 1u);
    EXPECT_FLOAT_EQ(textured[0].vertices[0].s, 0.5f);
    EXPECT_FLOAT_EQ(textured[0].vertices[1].t, 0.2f);
    EXPECT_FLOAT_EQ(textured[0].vertices[2].s, 0.3f);
    delete mesh;
}

TEST_F(MeshDrawTest, NormalsFollowTheFaceIndices)
{
    // Lit with a light along +z: a corner whose normal faces the light is bright,
    // one whose normal faces away is dark.
    AseMesh* mesh = MakeMesh({{-100, -100, 0}, {100, -100, 0}, {0, 100, 0}}, {Face(0, 1, 2)});
    mesh->normals = {{0, 0, -1}, {0, 0, 1}};
    for (uint32_t& n : mesh->faces[0].normal)
    {
        n = 1;
    }
    UseOneToOneProjection();
    glDisable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat direction[4] = {0, 0, 1, 0};
    const GLfloat white[4] = {1, 1, 1, 1};
    const GLfloat black[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    DrawMesh(mesh);
    EXPECT_GT(ReadPixel(400, 300).r, 200);

    for (uint32_t& n : mesh->faces[0].normal)
    {
        n = 0;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawMesh(mesh);
    EXPECT_LT(ReadPixel(400, 300).r, 30);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    delete mesh;
}

TEST_F(MeshDrawTest, BrokenIndicesAreNeverReadOutsideTheLists)
{
    // A mesh built by code rather than the reader: faces without normals, a
    // normal or texture index past its list, a vertex index past its list.
    AseMesh* mesh =
        MakeMesh({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}}, {Face(0, 1, 2), Face(0, 1, 3), Face(2, 1, 0)});
    mesh->texCoords = {{0, 0}};
    mesh->faces[2].texCoord[0] = 9;
    mesh->faces[2].normal[1] = 9;
    const auto primitives = Feedback([&] { DrawMesh(mesh); });
    EXPECT_EQ(primitives.size(), 2u) << "the face with vertex 3 is skipped";
    mesh->normals = {{0, 0, 1}};
    EXPECT_EQ(Feedback([&] { DrawMesh(mesh); }).size(), 2u);
    delete mesh;
}

TEST_F(MeshDrawTest, GroupDrawsNestedGroupsBeforeItsOwnMeshes)
{
    AseGroup root("ship");
    root.meshes.push_back(MakeMesh({{1, 0, 0}, {2, 0, 0}, {1, 1, 0}}, {Face(0, 1, 2)}));
    AseGroup* first = new AseGroup("\"a\"");
    first->meshes.push_back(MakeMesh({{10, 0, 0}, {20, 0, 0}, {10, 10, 0}}, {Face(0, 1, 2)}));
    AseGroup* inner = new AseGroup("\"b\"");
    inner->meshes.push_back(MakeMesh({{30, 0, 0}, {40, 0, 0}, {30, 10, 0}}, {Face(0, 1, 2)}));
    first->groups.push_back(inner);
    AseGroup* second = new AseGroup("\"c\"");
    second->meshes.push_back(MakeMesh({{50, 0, 0}, {60, 0, 0}, {50, 10, 0}}, {Face(0, 1, 2)}));
    root.groups.push_back(first);
    root.groups.push_back(second);
    root.nodes.push_back(new AseNode());

    const auto primitives = Feedback([&] { DrawGroup(&root); });
    ASSERT_EQ(primitives.size(), 4u) << "markers are not drawn";
    const float expected[4] = {30, 10, 50, 1};
    for (int i = 0; i < 4; i++)
    {
        EXPECT_NEAR(primitives[i].vertices[0].position.x, expected[i], 0.01f) << i;
    }
}

TEST_F(MeshDrawTest, BoundingBoxOutlineFillsTheBoxAndRestoresState)
{
    AseGroup root("ship");
    root.meshes.push_back(MakeMesh({{-100, -80, -10}, {120, 90, 10}}, {}));
    Vector min;
    Vector max;
    UseOneToOneProjection();
    glColor3f(0, 1, 0);
    DrawBoundingBox(&root, &min, &max);
    EXPECT_EQ(min, Vector(-100, -80, -10));
    EXPECT_EQ(max, Vector(120, 90, 10));

    // Seen along -z the outline is the rectangle from (-100, -80) to (120, 90):
    // the vertical edges are lit, the inside is not.
    auto litNear = [](int x, int y)
    {
        int best = 0;
        for (int dx = -1; dx <= 1; dx++)
        {
            for (int dy = -1; dy <= 1; dy++)
            {
                best = std::max(best, ReadPixel(x + dx, y + dy).g);
            }
        }
        return best;
    };
    EXPECT_GT(litNear(400 - 100, 300), 200);
    EXPECT_GT(litNear(400 + 120, 300), 200);
    EXPECT_GT(litNear(400, 300 + 90), 200) << "the top edge";
    EXPECT_EQ(ReadPixel(400, 300).g, 0) << "an outline, not a filled box";
    EXPECT_EQ(ReadPixel(400 - 150, 300).g, 0);

    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(MeshDrawTest, OutlineOfAnEmptyTreeUsesTheExtremeBox)
{
    AseGroup root("markers");
    Vector min;
    Vector max;
    const auto primitives = Feedback([&] { DrawBoundingBox(&root, &min, &max); });
    EXPECT_EQ(min, Vector(kEmpty, kEmpty, kEmpty));
    EXPECT_EQ(max, Vector(-kEmpty, -kEmpty, -kEmpty));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
