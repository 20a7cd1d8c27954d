#include "Maps.h"

#include "AseWriter.h"
#include "MeshBuilder.h"

#include <cstdio>
#include <memory>

namespace
{

Nebula Box(Vec3 centre, Vec3 halfSize, float density, float drift, Colour colour)
{
    return Nebula{centre - halfSize, centre + halfSize, density, drift, colour};
}

// Counts the steps of a float loop the way the region builder runs it.
int Steps(float from, float to, float step)
{
    int n = 0;
    for (float v = from; v < to; v += step)
        ++n;
    return n;
}

} // namespace

int CloudCount(const Nebula& n)
{
    const float step = 1.0f / (n.density * 0.1f);
    return Steps(n.min.x, n.max.x, step) * Steps(n.min.y, n.max.y, step) * Steps(n.min.z, n.max.z, step);
}

std::vector<MapSpec> BuildMaps(bool testSet)
{
    std::vector<MapSpec> maps;
    // Starting points (game axes): (0, 0, 800), (0, 0, -800), (-800, 0, 0),
    // (800, 0, 0); each fleet stands on a 400-unit line through its point.
    // Bright colours: a cloud is at most about 40 % opaque, so its colour
    // shows only as strong as it is.
    const Colour violet(0.7f, 0.35f, 1.0f), teal(0.25f, 0.75f, 0.8f), rust(1.0f, 0.5f, 0.2f),
        blue(0.3f, 0.45f, 1.0f), rose(1.0f, 0.4f, 0.65f), gold(0.95f, 0.8f, 0.3f), green(0.35f, 0.85f, 0.4f);
    if (testSet)
    {
        // Small, thin and far above the play area: the maps load and draw
        // like the real ones but hide nothing.
        const Nebula far = Box(Vec3(0, 900, 0), Vec3(150, 40, 150), 0.2f, 0.5f, violet);
        maps.push_back({"intro", "Intro", {Box(Vec3(0, -60, 0), Vec3(150, 40, 150), 0.2f, 0.6f, violet)}});
        for (int i = 1; i <= 4; ++i)
            maps.push_back({"map" + std::to_string(i), "Test map " + std::to_string(i), {far}});
        return maps;
    }
    // Intro and menu backgrounds: the cameras look down at the origin from
    // about 200 units away, so the clouds gather around it.
    maps.push_back({"intro",
                    "Intro",
                    {Box(Vec3(0, -90, 0), Vec3(260, 40, 260), 0.15f, 0.8f, violet),
                     Box(Vec3(130, -50, -70), Vec3(90, 30, 90), 0.16f, 1.2f, rust),
                     Box(Vec3(-150, -70, 100), Vec3(90, 30, 100), 0.15f, 1.0f, teal)}});
    // map1: one large violet veil over the centre: whoever holds it is hidden.
    maps.push_back({"map1",
                    "Veil",
                    {Box(Vec3(0, 0, 0), Vec3(330, 60, 330), 0.15f, 0.5f, violet),
                     Box(Vec3(420, 0, 420), Vec3(90, 70, 90), 0.25f, 0.8f, teal),
                     Box(Vec3(-420, 0, -420), Vec3(90, 70, 90), 0.25f, 0.8f, teal)}});
    // map2: two long rust-red walls between the north and south fleets, with
    // a clear lane through the middle.
    maps.push_back({"map2",
                    "Twin walls",
                    {Box(Vec3(-330, 0, 330), Vec3(250, 80, 70), 0.22f, 0.6f, rust),
                     Box(Vec3(330, 0, -330), Vec3(250, 80, 70), 0.22f, 0.6f, rust),
                     Box(Vec3(0, 0, 0), Vec3(80, 60, 80), 0.3f, 1.5f, gold)}});
    // map3: every fleet starts in its own blue cloud and must leave cover to
    // fight; a faint rose haze lies over the middle.
    maps.push_back({"map3",
                    "Harbours",
                    {Box(Vec3(0, 0, 800), Vec3(260, 50, 110), 0.16f, 0.4f, blue),
                     Box(Vec3(0, 0, -800), Vec3(260, 50, 110), 0.16f, 0.4f, blue),
                     Box(Vec3(-800, 0, 0), Vec3(110, 50, 260), 0.16f, 0.4f, blue),
                     Box(Vec3(800, 0, 0), Vec3(110, 50, 260), 0.16f, 0.4f, blue),
                     Box(Vec3(0, 0, 0), Vec3(200, 50, 200), 0.12f, 0.3f, rose)}});
    // map4: scattered dense knots of fast-drifting cloud in many colours. The
    // violet knot floats clear above the plane the fleets start and fly in
    // (its floor at y 20): no line of sight between fleets runs along a face
    // of its box, where whether it hides would hang on a border.
    maps.push_back({"map4",
                    "Scatter",
                    {Box(Vec3(300, 0, 300), Vec3(90, 60, 90), 0.3f, 2.0f, green),
                     Box(Vec3(-300, 0, 300), Vec3(90, 60, 90), 0.3f, 2.0f, gold),
                     Box(Vec3(300, 0, -300), Vec3(90, 60, 90), 0.3f, 2.0f, rose),
                     Box(Vec3(-300, 0, -300), Vec3(90, 60, 90), 0.3f, 2.0f, teal),
                     Box(Vec3(0, 60, 0), Vec3(110, 40, 110), 0.22f, 1.5f, violet),
                     Box(Vec3(0, -150, 480), Vec3(140, 50, 60), 0.25f, 1.0f, rust),
                     Box(Vec3(0, 150, -480), Vec3(140, 50, 60), 0.25f, 1.0f, rust)}});
    return maps;
}

bool WriteMap(const std::string& path, const MapSpec& map)
{
    // Each region is a box mesh; its name carries the region's numbers.
    std::vector<std::unique_ptr<MeshBuilder>> boxes;
    std::vector<SceneMesh> meshes;
    for (size_t i = 0; i < map.nebulae.size(); ++i)
    {
        const Nebula& n = map.nebulae[i];
        auto box = std::make_unique<MeshBuilder>();
        box->Begin(Surface(), 10.0f);
        box->Box(n.min, n.max);
        box->ComputeNormals();
        box->LayoutAtlas(64, 64, 0.05f);
        char name[160];
        std::snprintf(name, sizeof name, "nebula%02zu:%g:%g:%g:%g:%g", i + 1, n.density, n.drift, n.colour.r,
                      n.colour.g, n.colour.b);
        meshes.push_back({name, box.get()});
        boxes.push_back(std::move(box));
    }
    return WriteAse(path, map.name, meshes, {}, FileAxes::Map);
}
