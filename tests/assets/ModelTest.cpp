// Model loading: the two display lists in game axes, the mirrored texture
// coordinate, the texture rules, the failures that end the program, and every
// model and map of the game's generated data.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "AssetFiles.h"
#include "GLFeedback.h"
#include "app/Startup.h"
#include "assets/Mesh.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "support/GLTest.h"

using ::testing::ExitedWithCode;

namespace
{

// A square image of four horizontal bands, top to bottom: red, green, blue, yellow.
std::vector<uint8_t> BandedPixels(int size, bool rgba)
{
    const uint8_t bands[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    std::vector<uint8_t> pixels;
    for (int y = 0; y < size; y++)
    {
        for (int x = 0; x < size; x++)
        {
            const uint8_t* c = bands[y * 4 / size];
            pixels.insert(pixels.end(), c, c + 3);
            if (rgba)
            {
                pixels.push_back(uint8_t(x * 255 / (size - 1)));
            }
        }
    }
    return pixels;
}

// A triangle in the file's x-z plane (y = 0), big enough to cover the centre
// of the screen once turned to game axes, all corners at texture point (0.5, t).
std::string FlatTriangle(float t)
{
    return TriangleScene({-150, 0, -150, 150, 0, -150, 0, 0, 150}, {0, 1, 2}, {0.5f, t, 0.5f, t, 0.5f, t});
}

// Writes the model "name" with the scene text and a banded skin and light map.
void WriteModel(const ScratchDataDir& dir, const std::string& name, const std::string& scene)
{
    dir.Write("Models/" + name + ".ase", scene);
    dir.Write("Textures/" + name + ".bmp", EncodeBmp24(8, 8, BandedPixels(8, false)));
    dir.Write("Textures/" + name + "_lmap.png", EncodePng(8, 8, true, BandedPixels(8, true)));
}

// The RGBA texels of level 0 of a texture, rows in upload order.
std::vector<uint8_t> TexelsOf(GLuint texture, int& width, int& height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> texels(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

GLint TexParameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// Draws the model list textured with the skin (colours replaced by the texture)
// under the one-to-one projection and returns the colour at the screen centre.
Rgb DrawTexturedCentre(const Model& model, GLuint texture)
{
    UseOneToOneProjection();
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glCallList(model.modelList);
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return ReadPixel(400, 300);
}

} // namespace

// ---------------------------------------------------------------- failures (children of death tests)

TEST(ModelDeathTest, MissingModelFileEndsTheProgram)
{
    ScratchDataDir dir;
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            Model model("nothere", "Nothing");
        },
        ExitedWithCode(0),
        "nothere Models/nothere.ase\nFile not found: Models/nothere.ase\nModel file nothere not found\n");
}

TEST(ModelDeathTest, MissingSkinEndsTheProgram)
{
    ScratchDataDir dir;
    dir.Write("Models/box.ase", FlatTriangle(0.5f));
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            Model model("box", "Box");
        },
        ExitedWithCode(0), "Texture file box.bmp not found\n$");
}

TEST(ModelDeathTest, MissingLightMapEndsTheProgramWithSdlText)
{
    ScratchDataDir dir;
    dir.Write("Models/box.ase", FlatTriangle(0.5f));
    dir.Write("Textures/box.bmp", EncodeBmp24(8, 8, BandedPixels(8, false)));
    EXPECT_EXIT(
        {
            // No display in the child: with no current context the skin's GL
            // calls do nothing, and the light map is looked for next.
            std::freopen("/dev/null", "r", stdin);
            Model model("box", "Box");
        },
        ExitedWithCode(0), "Texture file box_lmap.png not found: [^\n]+\n$");
}

TEST(ModelDeathTest, DamagedModelFileEndsTheProgramNamingTheFault)
{
    ScratchDataDir dir;
    dir.Write("Models/bad.ase", FlatTriangle(0.5f).substr(0, 200));
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            Model model("bad", "Bad");
        },
        ExitedWithCode(0),
        "Model file Models/bad.ase is damaged: the file ends inside an open block "
        "\\(\\*MESH_FACE_LIST\\)\n$");

    dir.Write("Models/index.ase", TriangleScene({0, 0, 0, 1, 0, 0}, {0, 1, 2}, {}));
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            Model model("index", "Index");
        },
        ExitedWithCode(0),
        "Model file Models/index.ase is damaged: face 0 of mesh body uses vertex 2 but the mesh has 2 "
        "vertices\n$");
}

TEST(ModelDeathTest, DirectoryInPlaceOfAModelFileEndsTheProgram)
{
    ScratchDataDir dir;
    std::filesystem::create_directory(dir.Path() + "/Models/folder.ase");
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            ReadAse("folder");
        },
        ExitedWithCode(0), "Model file Models/folder.ase is damaged: the file cannot be read\n$");
}

TEST(TextureDeathTest, MissingNamedPngEndsTheProgram)
{
    ScratchDataDir dir;
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            LoadPngTexture("light9");
        },
        ExitedWithCode(0), "^Texture file Textures/light9.png not found\n$");
}

// ---------------------------------------------------------------- the reader's file handling

TEST(ReadAseFile, AnnouncesTheFileAndReturnsNullWhenMissing)
{
    ScratchDataDir dir;
    testing::internal::CaptureStderr();
    AseGroup* missing = ReadAse("Maps/none");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(log, "Maps/none Models/Maps/none.ase\nFile not found: Models/Maps/none.ase\n");
}

TEST(ReadAseFile, ReadsTheFileUnderModelsWithTheGivenRootName)
{
    ScratchDataDir dir;
    dir.Write("Models/Maps/map7.ase", "*GEOMOBJECT {\n*NODE_NAME \"region:0.5\"\n}\n");
    testing::internal::CaptureStderr();
    AseGroup* scene = ReadAse("Maps/map7");
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->name, "Maps/map7");
    ASSERT_EQ(scene->meshes.size(), 1u);
    EXPECT_FLOAT_EQ(scene->meshes[0]->Property(0), 0.5f);
    EXPECT_EQ(
        log,
        "Maps/map7 Models/Maps/map7.ase\n  Mesh name region\n  Mesh property count 1\n   Property 0: 0.5\n");
    delete scene;
}

TEST(ReadAseFile, NotesNameTheFile)
{
    ScratchDataDir dir;
    dir.Write("Models/plain.ase", TriangleScene({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}) +
                                      "*HELPEROBJECT {\n*NODE_NAME \"hull:5\"\n}\n");
    testing::internal::CaptureStderr();
    AseGroup* scene = ReadAse("plain");
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_NE(scene, nullptr);
    EXPECT_NE(log.find("Models/plain.ase: marker hull has no *TM_POS; it is placed at 0 0 0\n"),
              std::string::npos)
        << log;
    delete scene;
}

// ---------------------------------------------------------------- models under the real display

class ModelTest : public GLTest
{
};

TEST_F(ModelTest, FilePointsAreDrawnInGameAxes)
{
    ScratchDataDir dir;
    WriteModel(dir, "axes", TriangleScene({10, 20, 30, -40, 5, 60, 7, -80, -9}, {0, 1, 2}, {}));
    Model model("axes", "Axes test");
    EXPECT_EQ(model.fileName, "axes");
    EXPECT_EQ(model.displayName, "Axes test");
    ASSERT_NE(model.scene, nullptr);

    const auto primitives = Feedback([&] { glCallList(model.modelList); });
    ASSERT_EQ(primitives.size(), 1u);
    const Vector file[3] = {{10, 20, 30}, {-40, 5, 60}, {7, -80, -9}};
    for (int k = 0; k < 3; k++)
    {
        const Vector game = primitives[0].vertices[k].position;
        EXPECT_NEAR(game.x, -file[k].x, 0.01f) << k;
        EXPECT_NEAR(game.y, file[k].z, 0.01f) << k;
        EXPECT_NEAR(game.z, file[k].y, 0.1f) << k;
        EXPECT_EQ(FileToGameAxes(file[k]), Vector(-file[k].x, file[k].z, file[k].y));
    }

    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1) << "the list pops what it pushes";
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(ModelTest, BoxListOutlinesTheFileBoxInGameAxes)
{
    ScratchDataDir dir;
    WriteModel(dir, "boxed", TriangleScene({-100, -30, -50, 120, 40, 0, 0, 10, 80}, {0, 1, 2}, {}));
    Model model("boxed", "Boxed");
    EXPECT_EQ(model.min, Vector(-100, -30, -50)) << "min and max stay in file axes";
    EXPECT_EQ(model.max, Vector(120, 40, 80));

    const auto primitives = Feedback([&] { glCallList(model.boxList); });
    ASSERT_FALSE(primitives.empty());
    Vector lo(1e9f, 1e9f, 1e9f);
    Vector hi(-1e9f, -1e9f, -1e9f);
    for (const FeedbackPrimitive& p : primitives)
    {
        EXPECT_EQ(p.kind, GL_LINE_TOKEN) << "drawn as an outline";
        for (const FeedbackVertex& v : p.vertices)
        {
            for (int axis = 0; axis < 3; axis++)
            {
                lo[axis] = std::min(lo[axis], v.position[axis]);
                hi[axis] = std::max(hi[axis], v.position[axis]);
            }
        }
    }
    // Game x = -file x, game y = file z, game z = file y.
    EXPECT_NEAR(lo.x, -120, 0.01f);
    EXPECT_NEAR(hi.x, 100, 0.01f);
    EXPECT_NEAR(lo.y, -50, 0.01f);
    EXPECT_NEAR(hi.y, 80, 0.01f);
    EXPECT_NEAR(lo.z, -30, 0.1f);
    EXPECT_NEAR(hi.z, 40, 0.1f);
}

TEST_F(ModelTest, TextureCoordinateCountsUpFromTheImageBottom)
{
    // Bands top to bottom: red, green, blue, yellow. t = 0.125 lies in the
    // bottom band, 0.375 in the second from the bottom, 0.875 in the top one.
    ScratchDataDir dir;
    const struct
    {
        float t;
        Rgb colour;
    } cases[] = {
        {0.125f, {255, 255, 0}}, {0.375f, {0, 0, 255}}, {0.625f, {0, 255, 0}}, {0.875f, {255, 0, 0}}};
    int index = 0;
    for (const auto& c : cases)
    {
        const std::string name = "band" + std::to_string(index++);
        WriteModel(dir, name, FlatTriangle(c.t));
        Model model(name, name);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const Rgb seen = DrawTexturedCentre(model, model.texture);
        EXPECT_EQ(seen.r, c.colour.r) << "t = " << c.t;
        EXPECT_EQ(seen.g, c.colour.g) << "t = " << c.t;
        EXPECT_EQ(seen.b, c.colour.b) << "t = " << c.t;
        // The light map is mirrored the same way by the list's texture matrix.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const Rgb lit = DrawTexturedCentre(model, model.lightMapTexture);
        EXPECT_EQ(lit.r, c.colour.r) << "light map, t = " << c.t;
        EXPECT_EQ(lit.b, c.colour.b) << "light map, t = " << c.t;
    }
    GLint depth = 0;
    glMatrixMode(GL_TEXTURE);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &depth);
    glMatrixMode(GL_MODELVIEW);
    EXPECT_EQ(depth, 1);
}

TEST_F(ModelTest, SkinAndLightMapFollowTheTextureRules)
{
    ScratchDataDir dir;
    WriteModel(dir, "rules", FlatTriangle(0.5f));
    Model model("rules", "Rules");
    EXPECT_NE(model.texture, model.lightMapTexture);
    for (GLuint texture : {model.texture, model.lightMapTexture})
    {
        EXPECT_EQ(TexParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(TexParameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(TexParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(TexParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    }
    int width = 0;
    int height = 0;
    // The skin is uploaded rows top first, blue-green-red read as BGR: texel 0 is the top band's red.
    std::vector<uint8_t> skin = TexelsOf(model.texture, width, height);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 8);
    EXPECT_EQ(skin[0], 255);
    EXPECT_EQ(skin[1], 0);
    EXPECT_EQ(skin[2], 0);
    const size_t lastRow = size_t(7) * 8 * 4;
    EXPECT_EQ(skin[lastRow + 0], 255) << "bottom band yellow";
    EXPECT_EQ(skin[lastRow + 1], 255);
    EXPECT_EQ(skin[lastRow + 2], 0);
    // The light map keeps its alpha: it rises across each row.
    std::vector<uint8_t> light = TexelsOf(model.lightMapTexture, width, height);
    EXPECT_EQ(light[3], 0);
    EXPECT_EQ(light[7 * 4 + 3], 255);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ModelTest, OtherPixelLayoutsAreConverted)
{
    // A paletted skin and a light map without alpha still upload what they show.
    ScratchDataDir dir;
    dir.Write("Models/odd.ase", FlatTriangle(0.5f));
    const std::vector<uint8_t> indices(16 * 4, 1);
    dir.Write("Textures/odd.bmp", EncodeBmp8(16, 4, indices, {0, 0, 0, 10, 200, 30}));
    dir.Write("Textures/odd_lmap.png", EncodePng(4, 4, false, std::vector<uint8_t>(4 * 4 * 3, 77)));
    Model model("odd", "Odd");
    int width = 0;
    int height = 0;
    std::vector<uint8_t> skin = TexelsOf(model.texture, width, height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(skin[0], 10);
    EXPECT_EQ(skin[1], 200);
    EXPECT_EQ(skin[2], 30);
    EXPECT_EQ(skin[skin.size() - 3], 200);
    std::vector<uint8_t> light = TexelsOf(model.lightMapTexture, width, height);
    EXPECT_EQ(light[0], 77);
    EXPECT_EQ(light[3], 255) << "an image without alpha is opaque";
}

TEST_F(ModelTest, ModelWithoutMeshesOutlinesTheExtremeBox)
{
    ScratchDataDir dir;
    WriteModel(dir, "markers",
               "*HELPEROBJECT {\n*NODE_NAME \"light01:2\"\n*NODE_TM {\n*TM_POS 1 2 3\n}\n}\n");
    Model model("markers", "Markers");
    EXPECT_EQ(model.min, Vector(kEmptyBoxExtent, kEmptyBoxExtent, kEmptyBoxExtent));
    EXPECT_EQ(model.max, Vector(-kEmptyBoxExtent, -kEmptyBoxExtent, -kEmptyBoxExtent));
    ASSERT_EQ(model.scene->nodes.size(), 1u);
    EXPECT_EQ(model.scene->nodes[0]->position, Vector(1, 2, 3));
    EXPECT_TRUE(glIsList(model.boxList));
    EXPECT_TRUE(glIsList(model.modelList));
}

TEST_F(ModelTest, NamedPngTextureIsUploadedByItsRule)
{
    ScratchDataDir dir;
    dir.Write("Textures/light2.png", EncodePng(4, 2, true, BandedPixels(4, true)));
    const GLuint texture = LoadPngTexture("light2");
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> texels = TexelsOf(texture, width, height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[1], 0);
    EXPECT_EQ(TexParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TexParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
}

TEST_F(ModelTest, AlphaTexturesTakeTheBlueByteOfEachPixel)
{
    // A 3 x 2 bitmap: its rows are 9 bytes long, padded to 12 in the surface, so
    // pixel index x + 3y read as if rows were exactly 9 bytes long reaches into
    // the padding for y = 1 - the rule as the game's projectile textures use it.
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 6; i++)
    {
        rgb.insert(rgb.end(), {uint8_t(100 + i), uint8_t(50), uint8_t(10 * i)});
    }
    ScratchDataDir dir;
    dir.Write("Textures/beam.bmp", EncodeBmp24(3, 2, rgb));
    SDL_Surface* surface = LoadBmpSurface("Textures\\beam.bmp");
    ASSERT_NE(surface, nullptr) << "the backslash path names the Textures directory";
    const std::vector<uint8_t> texels = AlphaTexelsFromBmp(surface);
    ASSERT_EQ(texels.size(), 6u);
    EXPECT_EQ(texels[0], 0);  // pixel 0: blue 0
    EXPECT_EQ(texels[1], 10); // pixel 1: blue 10
    EXPECT_EQ(texels[2], 20);
    const uint8_t* bytes = static_cast<const uint8_t*>(surface->pixels);
    EXPECT_EQ(texels[3], bytes[9]) << "rows taken as 3 x width bytes";

    const GLuint texture =
        UploadAlphaSurfaceTexture(surface, kBulletTexture, "Texture setup for bullet.bmp ");
    EXPECT_EQ(TexParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(TexParameter(texture, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_ALPHA8);
}

// ---------------------------------------------------------------- the game's own data

TEST_F(ModelTest, EveryGeneratedModelLoadsCleanly)
{
    const std::vector<std::string> names = {"battlefrigate",  "beamfrigateopen", "escortcarrier2",
                                            "smallfighter",   "gunturret",       "gunturret_base",
                                            "gunturret_guns", "beamturret"};
    for (const std::string& name : names)
    {
        ASSERT_TRUE(std::filesystem::exists("Models/" + name + ".ase"))
            << "the generated data is missing from " << std::filesystem::current_path();
        testing::internal::CaptureStderr();
        Model model(name, name);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(log.find("Models/" + name + ".ase: "), std::string::npos)
            << "no notes about the file: " << log;
        ASSERT_NE(model.scene, nullptr);
        size_t faces = 0;
        for (const AseMesh* mesh : model.scene->meshes)
        {
            faces += mesh->faces.size();
            EXPECT_EQ(mesh->normals.size(), mesh->faces.size() * 3) << name;
        }
        EXPECT_GT(faces, 0u) << name;
        EXPECT_LT(model.min.x, model.max.x) << name;
        EXPECT_LT(model.min.z, model.max.z) << name;
        EXPECT_TRUE(glIsList(model.modelList)) << name;
        EXPECT_TRUE(glIsTexture(model.texture)) << name;
        EXPECT_TRUE(glIsTexture(model.lightMapTexture)) << name;

        // Drawn, the model covers pixels around the centre of a view that frames it.
        const float size = std::max(model.max.x - model.min.x, model.max.z - model.min.z);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-size, size, -size * 0.75, size * 0.75, -10 * size, 10 * size);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
        glCallList(model.modelList);
        EXPECT_GT(CountStencil(0, 0, 800, 600, 0), 0);
        int lit = 0;
        for (int x = 300; x < 500; x += 10)
        {
            lit += ReadPixel(x, 300).r > 0 ? 1 : 0;
        }
        EXPECT_GT(lit, 0) << name << " draws nothing at the centre";
        glEnable(GL_CULL_FACE);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GeneratedData, EveryMapReadsItsRegions)
{
    for (const char* map : {"intro", "map1", "map2", "map3", "map4"})
    {
        testing::internal::CaptureStderr();
        AseGroup* scene = ReadAse(std::string("Maps/") + map);
        const std::string log = testing::internal::GetCapturedStderr();
        ASSERT_NE(scene, nullptr) << map;
        EXPECT_EQ(log.rfind(std::string("Maps/") + map + " Models/Maps/" + map + ".ase\n", 0), 0u) << log;
        EXPECT_EQ(log.find(".ase: "), std::string::npos) << log;
        EXPECT_FALSE(scene->meshes.empty()) << map;
        for (const AseMesh* mesh : scene->meshes)
        {
            EXPECT_FALSE(mesh->vertices.empty()) << map << " " << mesh->name;
        }
        delete scene;
    }
}
