// Model loading: the two display lists in game axes with the skin and light
// map as uploaded, and the exact message of every missing or damaged file.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "assets/Model.h"
#include "assets/Texture.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"

namespace
{

// A fresh private data directory with the game's layout, made the working directory.
void FreshDataDir()
{
    const std::string path = KORVANE_BINARY_DIR "/test-scratch/assets";
    std::filesystem::current_path(DataDir());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path + "/Models");
    std::filesystem::create_directories(path + "/Textures");
    std::filesystem::current_path(path);
}

// A square in the file's x-z plane, 300 across, facing the file's +y, texture s
// along file x and t along file z, without normals.
const char* const kSquare =
    "*GEOMOBJECT {\n*NODE_NAME \"square\"\n*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 -150 0 -150\n"
    "*MESH_VERTEX 1 150 0 -150\n*MESH_VERTEX 2 150 0 150\n*MESH_VERTEX 3 -150 0 150\n}\n*MESH_FACE_LIST {\n"
    "*MESH_FACE 0: A: 0 B: 2 C: 1\n*MESH_FACE 1: A: 0 B: 3 C: 2\n}\n*MESH_TVERTLIST {\n*MESH_TVERT 0 0 0 0\n"
    "*MESH_TVERT 1 1 0 0\n*MESH_TVERT 2 1 1 0\n*MESH_TVERT 3 0 1 0\n}\n*MESH_TFACELIST {\n"
    "*MESH_TFACE 0 0 2 1\n*MESH_TFACE 1 0 3 2\n}\n}\n}\n";

// 8 x 8 skin: bands red, green, blue, yellow from the top row down, the left
// quarter at half strength.
void WriteSkin(const std::string& file)
{
    const uint8_t bands[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            for (int c = 0; c < 3; c++) // blue, green, red in memory
                static_cast<uint8_t*>(s->pixels)[y * s->pitch + 3 * x + c] = bands[y / 2][2 - c] >> (x < 2);
    SDL_SaveBMP(s, file.c_str());
    SDL_FreeSurface(s);
}

using ModelTest = GLTest;

} // namespace

TEST_F(ModelTest, ListsDrawTheFileInGameAxesWithSkinAndLightMapAsUploaded)
{
    FreshDataDir();
    std::ofstream("Models/square.ase") << kSquare;
    WriteSkin("Textures/square.bmp");
    std::filesystem::copy_file(DataDir() + "/Textures/light1.png", "Textures/square_lmap.png"); // a blue glow
    Model model("square", "Square");
    std::filesystem::current_path(DataDir());

    // Seen along the game's -Z, culled as ships are: a file point (x, y, z)
    // shows at (-x, z). The skin on the left, the light map blended over black
    // on the right, each with its box outline in white.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400, 400, -300, 300, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    for (int side = 0; side < 2; side++)
    {
        glLoadIdentity();
        glTranslatef(side == 0 ? -200.0f : 200.0f, 0.0f, 0.0f);
        glStencilFunc(GL_ALWAYS, 5 + side, 255);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, side == 0 ? model.texture : model.lightMapTexture);
        glCallList(model.modelList);
        glDisable(GL_TEXTURE_2D);
        glCallList(model.boxList);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    EXPECT_TRUE(MatchesReference("model-lists"));
}

TEST(ModelDeathTest, EveryMissingOrDamagedFileEndsTheProgramWithItsMessage)
{
    std::freopen("/dev/null", "r", stdin);    // no console to wait on
    GTEST_FLAG_SET(death_test_style, "fast"); // each child starts from the files written so far
    FreshDataDir();
    const auto dies = [](const std::string& message)
    { EXPECT_EXIT(Model("square", "Square"), testing::ExitedWithCode(0), message); };
    dies("^square Models/square.ase\nFile not found: Models/square.ase\nModel file square not found\n$");
    std::ofstream("Models/square.ase") << kSquare;
    dies("\nTexture file square.bmp not found\n$");
    WriteSkin("Textures/square.bmp");
    dies("\nTexture file square_lmap.png not found: [^\n]+\n$");
    std::ofstream("Models/square.ase") << std::string(kSquare).substr(0, 200);
    dies("\nModel file Models/square.ase is damaged: the file ends inside an open block "
         "\\(\\*MESH_FACE_LIST\\)\n$");
    std::filesystem::remove("Models/square.ase");
    std::filesystem::create_directory("Models/square.ase");
    dies("\nModel file Models/square.ase is damaged: the file cannot be read\n$");
    EXPECT_EXIT(LoadPngTexture("light9"), testing::ExitedWithCode(0),
                "^Texture file Textures/light9.png not found\n$");
    std::filesystem::current_path(DataDir());
}

// A model wholly outside the view is not drawn; only the normal and texture
// coordinate that its list would leave current are set. They must be the list's.
TEST_F(ModelTest, TheLastCornerIsWhatTheModelListLeavesCurrent)
{
    std::filesystem::current_path(DataDir());
    for (const char* name : {"smallfighter", "gunturret_guns", "escortcarrier2"})
    {
        const Model model(name, name);
        glNormal3f(7.0f, 7.0f, 7.0f);
        glTexCoord2f(7.0f, 7.0f);
        glCallList(model.modelList);
        GLfloat normal[4];
        GLfloat texCoord[4];
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
        const LastCorner& last = model.lastCorner;
        ASSERT_TRUE(last.hasNormal && last.hasTexCoord) << name;
        EXPECT_EQ(Vector(normal[0], normal[1], normal[2]), last.normal) << name;
        EXPECT_TRUE(texCoord[0] == last.texCoord.u && texCoord[1] == last.texCoord.v) << name;
    }
}
