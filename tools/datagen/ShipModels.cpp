#include "ShipModels.h"

#include <cstdio>

namespace
{

Surface Plain(Pattern pattern, float panelSize = 4.0f, std::vector<WindowRow> windows = {})
{
    Surface s;
    s.pattern = pattern;
    s.panelSize = panelSize;
    s.windows = std::move(windows);
    return s;
}

std::string Format(const char* name, std::initializer_list<float> values)
{
    std::string s = name;
    for (float v : values)
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, ":%g", v);
        s += buffer;
    }
    return s;
}

// Local z becomes world y: for parts that stand up from a deck.
Transform Upright(const Vec3& at)
{
    return Transform::Rotation(0, -90.0f, at);
}
// Local z becomes world x: for parts that run across the ship.
Transform Across(const Vec3& at)
{
    return Transform::Rotation(1, 90.0f, at);
}
// A flat outline (x, z) turned to stand vertical: local x becomes world y.
Transform Vertical(const Vec3& at)
{
    return Transform::Rotation(2, 90.0f, at);
}

Marker At(const std::string& name, const Vec3& p, int axis = -1, float degrees = 0.0f)
{
    Marker m;
    m.name = name;
    m.position = p;
    m.axis = axis;
    m.degrees = degrees;
    return m;
}

// An engine: a dark housing tube along z ending in a glowing bell.
void Engine(MeshBuilder& m, float x, float y, float z0, float z1, float radius)
{
    m.Begin(Plain(Pattern::Dark), 30.0f);
    m.Loft(CircleProfile(16),
           {{z0, radius * 0.9f, radius * 0.9f, x, y},
            {z0 + 1.0f, radius, radius, x, y},
            {z1 - 0.6f, radius, radius, x, y},
            {z1, radius * 0.92f, radius * 0.92f, x, y}},
           true, false, Transform());
    m.Begin(Plain(Pattern::Nozzle), 30.0f);
    const float bell = radius * 0.95f;
    m.Loft(CircleProfile(16),
           {{z1, radius * 0.75f, radius * 0.75f, x, y}, {z1 + radius * 0.7f, bell, bell, x, y}}, false, true,
           Transform());
}

// --- Battle frigate: a long, chined, shark-like hull with swept wings, a tall
// dorsal fin, three engines and four gun turrets.
ModelSpec BattleFrigate(const Balance& b)
{
    ModelSpec s;
    s.name = "battlefrigate";
    s.style.seed = 11;
    MeshBuilder& m = s.mesh;
    const std::vector<Vec2> chined = PolygonProfile({{1.0f, 0.05f},
                                                     {0.62f, 0.72f},
                                                     {0.0f, 0.95f},
                                                     {-0.62f, 0.72f},
                                                     {-1.0f, 0.05f},
                                                     {-0.55f, -0.7f},
                                                     {0.55f, -0.7f}});
    m.Begin(Plain(Pattern::Plating, 4.0f, {{1.2f, -20.0f, 14.0f, 1.6f}, {-0.9f, -8.0f, 10.0f, 2.4f}}), 35.0f);
    m.Loft(chined,
           {{-35, 0.0f, 0.0f, 0, 0.2f},
            {-30, 2.2f, 1.6f, 0, 0.3f},
            {-22, 4.6f, 3.0f},
            {-10, 6.6f, 4.0f},
            {4, 7.4f, 4.6f},
            {18, 7.0f, 4.4f},
            {27, 6.0f, 3.8f}},
           false, true, Transform());
    // Command deck on the spine, with a glazed front.
    m.Begin(Plain(Pattern::Trim, 2.5f, {{6.1f, -3.0f, 9.0f, 1.2f}}), 35.0f);
    m.Loft(SuperellipseProfile(16, 3.0f),
           {{-7, 0.6f, 0.4f, 0, 4.6f},
            {-3, 2.6f, 1.5f, 0, 5.4f},
            {9, 2.9f, 1.6f, 0, 5.5f},
            {13, 2.0f, 1.0f, 0, 5.0f}},
           true, true, Transform());
    m.Begin(Plain(Pattern::Canopy), 30.0f);
    m.Loft(SuperellipseProfile(12, 2.5f), {{-5.4f, 1.2f, 0.5f, 0, 6.0f}, {-2.5f, 2.0f, 0.7f, 0, 6.5f}}, true,
           true, Transform());
    // Dorsal fin and ventral keel.
    m.Begin(Plain(Pattern::Trim, 3.0f), 30.0f);
    m.Slab({{3.5f, 12.0f}, {13.5f, 24.0f}, {13.5f, 28.0f}, {3.5f, 27.0f}}, -0.45f, 0.45f,
           Vertical(Vec3(0, 0, 0)));
    m.Slab({{-2.5f, -6.0f}, {-2.5f, 16.0f}, {-6.5f, 20.0f}, {-6.5f, 10.0f}}, -0.35f, 0.35f,
           Vertical(Vec3(0, 0, 0)));
    // Swept wings with weapon pods at their tips.
    for (float side : {-1.0f, 1.0f})
    {
        m.Begin(Plain(Pattern::Plating, 3.0f), 30.0f);
        m.Slab({{side * 6.5f, -4.0f}, {side * 18.5f, 14.0f}, {side * 18.5f, 22.0f}, {side * 6.5f, 20.0f}},
               -0.5f, 0.5f, Transform::Translation(Vec3(0, -0.8f, 0)));
        m.Begin(Plain(Pattern::Dark), 30.0f);
        m.Loft(CircleProfile(10),
               {{8.0f, 0.0f, 0.0f, side * 18.8f, -0.8f},
                {10.5f, 0.9f, 0.9f, side * 18.8f, -0.8f},
                {23.0f, 1.1f, 1.1f, side * 18.8f, -0.8f},
                {25.0f, 0.6f, 0.6f, side * 18.8f, -0.8f}},
               false, true, Transform());
    }
    Engine(m, -3.6f, -0.6f, 25.0f, 31.0f, 2.3f);
    Engine(m, 3.6f, -0.6f, 25.0f, 31.0f, 2.3f);
    Engine(m, 0.0f, 2.6f, 25.0f, 30.0f, 1.7f);
    m.ComputeNormals();
    m.LayoutAtlas(512, 512, 10.0f);

    s.markers = {At(HullMarker(b.frigate), Vec3()),
                 At(SpeedMarker(b.frigate), Vec3()),
                 At(SensorMarker(b.frigate), Vec3()),
                 At(GunMarker(1, b.gun), Vec3(0, 2.75f, -17.0f)),
                 At(GunMarker(2, b.gun), Vec3(0, 4.1f, 16.0f)),
                 At(GunMarker(3, b.gun), Vec3(0, -2.7f, -12.0f), 2, 180.0f),
                 At(GunMarker(4, b.gun), Vec3(0, -3.0f, 7.0f), 2, 180.0f),
                 At("light01:1.4", Vec3(0, 0.3f, -35.8f)),
                 At("light02:1.2:1.0", Vec3(-19.8f, -0.8f, 23.0f)),
                 At("light03:1.2:1.0", Vec3(19.8f, -0.8f, 23.0f)),
                 At("light04:1.2:2.0", Vec3(0, 14.2f, 26.5f)),
                 At("light05:0.9", Vec3(0, 7.2f, 3.0f))};
    return s;
}

// --- Fusion frigate: a wide, flat manta with two forward prongs that carry
// its beam turrets, the gap between them open, and engine pods on its wing tips.
ModelSpec FusionFrigate(const Balance& b)
{
    ModelSpec s;
    s.name = "beamfrigateopen";
    s.style.seed = 23;
    s.style.glowEngine = Colour(0.7f, 0.6f, 1.0f);
    MeshBuilder& m = s.mesh;
    m.Begin(Plain(Pattern::Plating, 4.0f, {{0.6f, -12.0f, 12.0f, 2.0f}}), 30.0f);
    m.Loft(SuperellipseProfile(20, 2.4f),
           {{-20, 2.0f, 1.0f, 0, 0.2f},
            {-15, 6.0f, 2.6f},
            {-4, 8.5f, 3.6f},
            {10, 8.0f, 3.4f},
            {20, 5.5f, 2.4f},
            {25, 3.0f, 1.4f}},
           true, true, Transform());
    // Raised bridge blister.
    m.Begin(Plain(Pattern::Canopy), 30.0f);
    m.Loft(SuperellipseProfile(16, 2.2f),
           {{-13, 0.3f, 0.2f, 0, 2.8f},
            {-11, 1.8f, 0.9f, 0, 3.0f},
            {-6, 2.2f, 1.1f, 0, 3.2f},
            {-3, 1.0f, 0.5f, 0, 3.2f}},
           true, true, Transform());
    for (float side : {-1.0f, 1.0f})
    {
        // Wide swept wing with a slight droop towards its tip.
        m.Begin(Plain(Pattern::Plating, 3.5f), 25.0f);
        m.Loft(SuperellipseProfile(12, 2.0f),
               {{side * 7.0f, 9.0f, 1.6f, -3.0f, 0.0f},
                {side * 14.0f, 7.5f, 1.1f, -6.5f, -0.3f},
                {side * 21.0f, 5.5f, 0.7f, -10.0f, -0.7f}},
               false, true, Across(Vec3(0, 0, 0)));
        // Prong reaching forward from the wing root; the beam turrets sit at
        // the tips, so the space between the prongs stays open.
        m.Begin(Plain(Pattern::Trim, 2.5f), 30.0f);
        m.Loft(SuperellipseProfile(12, 2.6f),
               {{-2.0f, 2.4f, 1.6f, side * 8.5f, 0.2f},
                {-14.0f, 2.0f, 1.4f, side * 9.5f, 0.4f},
                {-26.0f, 1.6f, 1.2f, side * 10.0f, 0.4f},
                {-29.0f, 0.9f, 0.8f, side * 10.0f, 0.4f}},
               true, true, Transform());
        // Wing-tip engine pod.
        m.Begin(Plain(Pattern::Dark), 30.0f);
        m.Loft(CircleProfile(14),
               {{2.0f, 0.0f, 0.0f, side * 21.5f, -0.6f},
                {4.0f, 1.4f, 1.4f, side * 21.5f, -0.6f},
                {15.0f, 1.6f, 1.6f, side * 21.5f, -0.6f}},
               false, false, Transform());
        Engine(m, side * 21.5f, -0.6f, 15.0f, 17.0f, 1.6f);
        Engine(m, side * 3.4f, 0.0f, 23.0f, 27.5f, 1.7f);
    }
    // Wing-tip fins make the silhouette readable from the side.
    m.Begin(Plain(Pattern::Trim, 2.5f), 30.0f);
    for (float side : {-1.0f, 1.0f})
        m.Slab({{0.6f, 6.0f}, {5.0f, 13.0f}, {5.0f, 16.0f}, {0.6f, 15.0f}}, -0.3f, 0.3f,
               Vertical(Vec3(side * 21.5f, 0, 0)));
    m.ComputeNormals();
    m.LayoutAtlas(512, 512, 10.0f);

    s.markers = {At(HullMarker(b.fusion), Vec3()),
                 At(SpeedMarker(b.fusion), Vec3()),
                 At(SensorMarker(b.fusion), Vec3()),
                 At(BeamMarker(1, b.beam), Vec3(-10.0f, 1.6f, -24.0f)),
                 At(BeamMarker(2, b.beam), Vec3(10.0f, 1.6f, -24.0f)),
                 At(BeamMarker(3, b.sideBeam), Vec3(0, 3.7f, 4.0f)),
                 At("light01:1.2:1.5", Vec3(-23.4f, -0.6f, 10.0f)),
                 At("light02:1.2:1.5", Vec3(23.4f, -0.6f, 10.0f)),
                 At("light03:1.0", Vec3(-10.0f, 0.4f, -29.8f)),
                 At("light04:1.0", Vec3(10.0f, 0.4f, -29.8f)),
                 At("light05:1.0:2.5", Vec3(0, 1.6f, 25.6f))};
    return s;
}

// --- Escort carrier: a long, tall hull under a full-length flight deck, an
// island on the right, hangar bays opening at the stern, four engines below.
ModelSpec EscortCarrier(const Balance& b)
{
    ModelSpec s;
    s.name = "escortcarrier2";
    s.style.seed = 37;
    MeshBuilder& m = s.mesh;
    m.Begin(Plain(Pattern::Plating, 5.0f,
                  {{3.0f, -36.0f, 36.0f, 2.0f}, {0.0f, -30.0f, 30.0f, 2.5f}, {-3.0f, -20.0f, 30.0f, 3.0f}}),
            30.0f);
    m.Loft(SuperellipseProfile(20, 4.0f),
           {{-50, 3.0f, 2.5f, 0, -1.5f},
            {-44, 8.0f, 5.0f, 0, -0.5f},
            {-34, 10.5f, 6.4f, 0, 0.0f},
            {30, 11.0f, 6.6f, 0, 0.0f},
            {46, 9.5f, 5.8f, 0, 0.2f}},
           true, true, Transform());
    m.Begin(Plain(Pattern::Deck), 20.0f);
    m.Slab(
        {{-6.0f, -48.0f}, {6.0f, -48.0f}, {11.0f, -38.0f}, {11.0f, 49.0f}, {-11.0f, 49.0f}, {-11.0f, -38.0f}},
        6.3f, 7.3f, Transform());
    // Side sponsons for the gun turrets.
    m.Begin(Plain(Pattern::Dark), 30.0f);
    m.Loft(SuperellipseProfile(12, 3.0f),
           {{-26, 0.5f, 0.5f, -11.5f, 2.6f},
            {-23, 2.2f, 1.6f, -11.8f, 2.6f},
            {-16, 2.2f, 1.6f, -11.8f, 2.6f},
            {-13, 0.8f, 0.6f, -11.5f, 2.6f}},
           true, true, Transform());
    m.Loft(SuperellipseProfile(12, 3.0f),
           {{19, 0.5f, 0.5f, 11.5f, 2.6f},
            {22, 2.2f, 1.6f, 11.8f, 2.6f},
            {29, 2.2f, 1.6f, 11.8f, 2.6f},
            {32, 0.8f, 0.6f, 11.5f, 2.6f}},
           true, true, Transform());
    // Island with bridge windows, a mast and a dish.
    m.Begin(Plain(Pattern::Trim, 2.5f, {{13.0f, -4.0f, 10.0f, 1.0f}, {10.5f, -2.0f, 12.0f, 1.5f}}), 30.0f);
    m.Loft(SuperellipseProfile(16, 4.0f),
           {{-6, 1.0f, 3.0f, 8.5f, 10.0f},
            {-3, 2.2f, 3.8f, 8.5f, 11.0f},
            {12, 2.2f, 3.8f, 8.5f, 11.0f},
            {15, 1.2f, 3.0f, 8.5f, 10.4f}},
           true, true, Transform());
    m.Begin(Plain(Pattern::Dark), 30.0f);
    m.Loft(CircleProfile(8), {{14.5f, 0.35f, 0.35f}, {21.0f, 0.2f, 0.2f}}, false, true,
           Upright(Vec3(8.5f, 0, 6.0f)));
    m.Box(Vec3(7.0f, 18.5f, 5.8f), Vec3(10.0f, 18.9f, 6.2f));
    // Hangar bays at the stern, above the engines.
    m.Begin(Plain(Pattern::Bay), 20.0f);
    m.Box(Vec3(-9.0f, 0.8f, 45.5f), Vec3(-1.0f, 5.8f, 47.6f));
    m.Box(Vec3(1.0f, 0.8f, 45.5f), Vec3(9.0f, 5.8f, 47.6f));
    for (float x : {-6.0f, -2.2f, 2.2f, 6.0f})
        Engine(m, x, -3.2f, 44.0f, 50.0f, 1.8f);
    m.ComputeNormals();
    m.LayoutAtlas(512, 512, 8.0f);

    const int squadrons = b.squadronsPerHangar;
    s.markers = {At(HullMarker(b.carrier), Vec3()),
                 At(SpeedMarker(b.carrier), Vec3()),
                 At(SensorMarker(b.carrier), Vec3()),
                 At(GunMarker(1, b.gun), Vec3(-11.8f, 4.2f, -19.5f)),
                 At(GunMarker(2, b.gun), Vec3(11.8f, 4.2f, 25.5f)),
                 At(GunMarker(3, b.gun), Vec3(0, -6.6f, -8.0f), 2, 180.0f),
                 At(Format("hangar1", {static_cast<float>(squadrons)}), Vec3(-5.0f, 8.3f, 42.0f)),
                 At(Format("hangar2", {static_cast<float>(squadrons)}), Vec3(5.0f, 8.3f, 42.0f)),
                 At("gunturret_base1", Vec3(8.5f, 14.8f, 0.5f)),
                 At("gunturret_guns1", Vec3(8.5f, 17.6f, 0.5f), 0, 25.0f),
                 At("light01:1.4", Vec3(0, 7.6f, -48.8f)),
                 At("light02:1.2:1.2", Vec3(-11.4f, 7.6f, 48.8f)),
                 At("light03:1.2:1.2", Vec3(11.4f, 7.6f, 48.8f)),
                 At("light04:1.2:2.0", Vec3(8.5f, 21.4f, 6.0f)),
                 At("light05:1.0", Vec3(-11.4f, 7.6f, -37.5f)),
                 At("light06:1.0", Vec3(11.4f, 7.6f, -37.5f))};
    return s;
}

// --- Strike fighter: a small dart with forward-swept wings, twin canted
// tail fins and fixed guns under the nose.
ModelSpec StrikeFighter(const Balance& b)
{
    ModelSpec s;
    s.name = "smallfighter";
    s.style.seed = 41;
    s.style.glowEngine = Colour(1.0f, 0.6f, 0.3f);
    s.textureSize = 256;
    MeshBuilder& m = s.mesh;
    m.Begin(Plain(Pattern::Plating, 1.2f), 35.0f);
    m.Loft(SuperellipseProfile(12, 2.4f),
           {{-4.8f, 0.0f, 0.0f, 0, -0.1f},
            {-3.2f, 0.55f, 0.45f},
            {-0.5f, 0.9f, 0.7f},
            {2.5f, 0.85f, 0.65f},
            {3.6f, 0.6f, 0.5f}},
           false, true, Transform());
    m.Begin(Plain(Pattern::Canopy), 30.0f);
    m.Loft(SuperellipseProfile(10, 2.0f),
           {{-2.8f, 0.05f, 0.05f, 0, 0.45f},
            {-1.6f, 0.45f, 0.35f, 0, 0.6f},
            {0.6f, 0.4f, 0.3f, 0, 0.6f},
            {1.2f, 0.1f, 0.1f, 0, 0.5f}},
           true, true, Transform());
    for (float side : {-1.0f, 1.0f})
    {
        m.Begin(Plain(Pattern::Trim, 1.0f), 30.0f);
        m.Slab({{side * 0.7f, 0.0f}, {side * 4.2f, -1.4f}, {side * 4.4f, -0.5f}, {side * 0.7f, 2.6f}}, -0.08f,
               0.08f, Transform::Translation(Vec3(0, -0.2f, 0)));
        m.Begin(Plain(Pattern::Trim, 1.0f), 30.0f);
        m.Slab({{0.3f, 1.6f}, {1.9f, 3.0f}, {1.9f, 3.9f}, {0.3f, 3.8f}}, -0.06f, 0.06f,
               Transform::Rotation(2, 90.0f - side * 20.0f, Vec3(side * 0.7f, 0.2f, 0)));
        m.Begin(Plain(Pattern::Dark), 30.0f);
        m.Loft(CircleProfile(8),
               {{-3.8f, 0.08f, 0.08f, side * 0.5f, -0.45f}, {-1.0f, 0.12f, 0.12f, side * 0.5f, -0.45f}}, true,
               true, Transform());
    }
    Engine(m, 0.0f, 0.0f, 3.0f, 4.0f, 0.55f);
    m.ComputeNormals();
    m.LayoutAtlas(256, 256, 24.0f);

    s.markers = {At(HullMarker(b.fighter), Vec3()),
                 At(SpeedMarker(b.fighter), Vec3()),
                 At(SensorMarker(b.fighter), Vec3()),
                 At(GunMarker(1, b.fighterGuns, "guns"), Vec3(0, -0.45f, -3.8f)),
                 At("light01:0.5:0.8", Vec3(0, 0.2f, 4.9f)),
                 At("light02:0.4", Vec3(-4.4f, -0.2f, -1.0f)),
                 At("light03:0.4", Vec3(4.4f, -0.2f, -1.0f))};
    return s;
}

// --- Gun turret parts. The base turns in yaw; the guns pivot 2.8 above the
// base's origin, with their muzzles at x = +-0.881 as the turret code fires.
void GunBaseGeometry(MeshBuilder& m, const Vec3& at)
{
    m.Begin(Plain(Pattern::Trim, 1.2f), 30.0f);
    m.Loft(CircleProfile(20),
           {{0.0f, 2.5f, 2.5f}, {0.5f, 2.6f, 2.6f}, {1.3f, 2.35f, 2.35f}, {2.0f, 1.8f, 1.8f}}, true, true,
           Upright(at));
    m.Begin(Plain(Pattern::Dark), 30.0f);
    for (float side : {-1.0f, 1.0f})
        m.Box(Vec3(side > 0 ? 1.3f : -1.75f, 1.6f, -1.2f), Vec3(side > 0 ? 1.75f : -1.3f, 3.7f, 1.4f),
              Transform::Translation(at));
    m.Box(Vec3(-0.7f, 1.8f, 1.2f), Vec3(0.7f, 2.6f, 2.4f), Transform::Translation(at));
}

void GunBarrelsGeometry(MeshBuilder& m, const Vec3& at)
{
    m.Begin(Plain(Pattern::Plating, 1.0f), 35.0f);
    m.Loft(SuperellipseProfile(12, 3.0f), {{-1.6f, 0.9f, 0.6f}, {-1.2f, 1.2f, 0.85f}, {1.3f, 1.2f, 0.85f}},
           true, true, Transform::Translation(at));
    for (float x : {-0.881f, 0.881f})
    {
        m.Begin(Plain(Pattern::Dark), 35.0f);
        m.Loft(CircleProfile(10), {{-1.6f, 0.3f, 0.3f, x, 0}, {-6.0f, 0.26f, 0.26f, x, 0}}, false, false,
               Transform::Translation(at));
        m.Begin(Plain(Pattern::Emitter), 35.0f);
        m.Loft(CircleProfile(10), {{-6.0f, 0.38f, 0.38f, x, 0}, {-6.9f, 0.36f, 0.36f, x, 0}}, true, true,
               Transform::Translation(at));
    }
}

ModelSpec TurretPart(const std::string& name, bool base, bool guns)
{
    ModelSpec s;
    s.name = name;
    s.style.seed = 53;
    s.style.glowEmitter = Colour(1.0f, 0.8f, 0.4f);
    s.textureSize = 256;
    if (base)
        GunBaseGeometry(s.mesh, Vec3());
    if (guns)
        GunBarrelsGeometry(s.mesh, base ? Vec3(0, 2.8f, 0) : Vec3());
    s.mesh.ComputeNormals();
    s.mesh.LayoutAtlas(256, 256, 32.0f);
    return s;
}

// --- Beam turret: a low dome with a heavy emitter and a glowing lens.
ModelSpec BeamTurretPart()
{
    ModelSpec s;
    s.name = "beamturret";
    s.style.seed = 59;
    s.style.glowEmitter = Colour(0.45f, 0.8f, 1.0f);
    s.textureSize = 256;
    MeshBuilder& m = s.mesh;
    m.Begin(Plain(Pattern::Trim, 1.2f), 30.0f);
    m.Loft(
        CircleProfile(20),
        {{0.0f, 2.8f, 2.8f}, {0.6f, 2.8f, 2.8f}, {1.4f, 2.4f, 2.4f}, {2.1f, 1.6f, 1.6f}, {2.5f, 0.6f, 0.6f}},
        true, true, Upright(Vec3()));
    m.Begin(Plain(Pattern::Dark), 30.0f);
    m.Loft(CircleProfile(16),
           {{-0.5f, 0.8f, 0.8f, 0, 1.3f},
            {-3.0f, 0.8f, 0.8f, 0, 1.3f},
            {-3.2f, 1.0f, 1.0f, 0, 1.3f},
            {-3.6f, 1.0f, 1.0f, 0, 1.3f},
            {-3.8f, 0.85f, 0.85f, 0, 1.3f},
            {-4.4f, 0.85f, 0.85f, 0, 1.3f}},
           false, false, Transform());
    m.Begin(Plain(Pattern::Emitter), 30.0f);
    m.Loft(CircleProfile(16), {{-4.4f, 1.05f, 1.05f, 0, 1.3f}, {-4.9f, 0.95f, 0.95f, 0, 1.3f}}, true, true,
           Transform());
    m.Begin(Plain(Pattern::Dark), 30.0f);
    for (float side : {-1.0f, 1.0f})
        m.Slab({{side * 0.9f, -2.6f}, {side * 2.0f, -1.6f}, {side * 2.0f, 0.4f}, {side * 0.9f, 0.4f}}, 1.1f,
               1.5f, Transform());
    m.ComputeNormals();
    m.LayoutAtlas(256, 256, 32.0f);
    return s;
}

} // namespace

std::string HullMarker(const ClassStats& s)
{
    return Format("hull1", {s.hull[0], s.hull[1], s.hull[2], s.hull[3], s.hull[4], s.hull[5]});
}

std::string SpeedMarker(const ClassStats& s)
{
    return Format("speed1", {s.speed, s.turn[0], s.turn[1], s.turn[2]});
}

std::string SensorMarker(const ClassStats& s)
{
    return Format("sensor1", {s.signature, s.sensorRange});
}

std::string GunMarker(int index, const GunStats& g, const char* type)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", type, index);
    return Format(name, {g.arcHalfWidth, g.elevationMax, g.turnRate, 0, g.bulletSize, 0, g.colour.r,
                         g.colour.g, g.colour.b});
}

std::string BeamMarker(int index, const BeamStats& b)
{
    char name[32];
    std::snprintf(name, sizeof name, "beamturret%02d", index);
    return Format(name, {b.arcHalfWidth, b.arcHalfHeight, b.turnRate, 0, b.width, 0, b.colour.r, b.colour.g,
                         b.colour.b});
}

std::vector<ModelSpec> BuildModels(const Balance& balance)
{
    std::vector<ModelSpec> models;
    models.push_back(BattleFrigate(balance));
    models.push_back(FusionFrigate(balance));
    models.push_back(EscortCarrier(balance));
    models.push_back(StrikeFighter(balance));
    models.push_back(TurretPart("gunturret", true, true));
    models.push_back(TurretPart("gunturret_base", true, false));
    models.push_back(TurretPart("gunturret_guns", false, true));
    models.push_back(BeamTurretPart());
    return models;
}
