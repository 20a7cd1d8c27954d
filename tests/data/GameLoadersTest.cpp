// The generated data through the game's own loaders: every model, map and
// light texture loads, with the markers the ship code looks for, and every
// model draws visibly from its display list.

#include "DataSupport.h"
#include "assets/Ase.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "support/GLTest.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

const char* const kModels[] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter",
                               "gunturret",     "gunturret_base",  "gunturret_guns", "beamturret"};

// Runs the loaders in one data directory; the game reads relative paths.
class DataDirectory
{
  public:
    explicit DataDirectory(const std::string& dir)
    {
        char buffer[4096];
        previous = getcwd(buffer, sizeof buffer) ? buffer : ".";
        ok = chdir(dir.c_str()) == 0;
    }
    ~DataDirectory()
    {
        if (chdir(previous.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << previous;
    }
    bool ok;

  private:
    std::string previous;
};

class GameLoaders : public GLTest, public ::testing::WithParamInterface<std::string>
{
};

TEST_P(GameLoaders, EveryModelLoadsWithItsTexturesAndDrawsVisibly)
{
    DataDirectory in(GetParam());
    ASSERT_TRUE(in.ok);
    for (const char* name : kModels)
    {
        SCOPED_TRACE(name);
        const std::unique_ptr<Model> model(new Model(name, name));
        ASSERT_NE(model->scene, nullptr);
        ASSERT_EQ(model->scene->meshes.size(), 1u);
        const AseMesh* mesh = model->scene->meshes[0];
        EXPECT_EQ(mesh->normals.size(), mesh->faces.size() * 3);
        EXPECT_FALSE(mesh->texCoords.empty());
        EXPECT_NE(model->texture, 0u);
        EXPECT_NE(model->lightMapTexture, 0u);
        EXPECT_LT(model->min.x, model->max.x);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

        // Framed in front of the camera, culled as ships are, the model covers
        // a good part of the screen in the stencil buffer.
        const float size =
            std::max({model->max.x - model->min.x, model->max.y - model->min.y, model->max.z - model->min.z});
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 4.0 / 3.0, 1.0, 5000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, size * 0.8, size * 1.2, 0, 0, 0, 0, 1, 0);
        glTranslatef((model->min.x + model->max.x) * 0.5f, -(model->min.z + model->max.z) * 0.5f,
                     -(model->min.y + model->max.y) * 0.5f);
        glEnable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, model->texture);
        glStencilFunc(GL_ALWAYS, 9, 255);
        glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        glCallList(model->modelList);
        glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
        glDisable(GL_TEXTURE_2D);
        EXPECT_GT(CountStencil(0, 0, 800, 600, 9), 800 * 600 / 30);
    }
}

TEST_P(GameLoaders, ShipMarkersReadAsTheShipCodeExpects)
{
    DataDirectory in(GetParam());
    ASSERT_TRUE(in.ok);
    const std::map<std::string, std::map<std::string, int>> expected = {
        {"battlefrigate", {{"hull", 1}, {"speed", 1}, {"sensor", 1}, {"gunturret", 4}}},
        {"beamfrigateopen", {{"hull", 1}, {"speed", 1}, {"sensor", 1}, {"beamturret", 3}}},
        {"escortcarrier2",
         {{"hull", 1}, {"speed", 1}, {"sensor", 1}, {"gunturret", 3}, {"hangar", 2}, {"gunturret_base", 1}}},
        {"smallfighter", {{"hull", 1}, {"speed", 1}, {"sensor", 1}, {"guns", 1}}}};
    for (const auto& ship : expected)
    {
        SCOPED_TRACE(ship.first);
        AseGroup* scene = ReadAse(ship.first);
        ASSERT_NE(scene, nullptr);
        std::map<std::string, int> counts;
        const std::map<std::string, int> propertyCounts = {{"hull", 6},      {"speed", 4},      {"sensor", 2},
                                                           {"gunturret", 9}, {"beamturret", 9}, {"guns", 9}};
        for (const AseNode* n : scene->nodes)
        {
            ++counts[n->type];
            const auto want = propertyCounts.find(n->type);
            EXPECT_EQ(n->propertyCount, want == propertyCounts.end() ? n->propertyCount : want->second)
                << n->name;
        }
        for (const auto& want : ship.second)
            EXPECT_EQ(counts[want.first], want.second) << want.first;
        // Every other type is a light or a part that the object catalogue has.
        for (const auto& got : counts)
        {
            const bool known =
                ship.second.count(got.first) > 0 || got.first == "light" || got.first == "gunturret_guns";
            EXPECT_TRUE(known) << got.first;
        }
        delete scene;
    }
}

TEST_P(GameLoaders, MapsAndPlayerLightsLoad)
{
    DataDirectory in(GetParam());
    ASSERT_TRUE(in.ok);
    for (const char* map : {"intro", "map1", "map2", "map3", "map4"})
    {
        AseGroup* scene = ReadAse(std::string("Maps/") + map);
        ASSERT_NE(scene, nullptr) << map;
        EXPECT_FALSE(scene->meshes.empty()) << map;
        for (const AseMesh* m : scene->meshes)
            EXPECT_EQ(m->PropertyCount(), 5u) << map;
        delete scene;
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(LoadPngTexture("light" + std::to_string(i)), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(BothDataSets, GameLoaders, ::testing::Values(DataDir(), TestDataDir()));

} // namespace
