#include "Icon.h"

#include "Balance.h"
#include "ShipModels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

namespace
{

constexpr int kSamples = 4; // samples per pixel along each axis

// The ship is seen from above and a little from its left, its nose pointing to
// the upper right: banked about its length, seen from above (screen up is the
// ship's front), turned 45 degrees clockwise, then tipped away at the top.
constexpr float kBankDegrees = -28.0f;
constexpr float kTurnDegrees = -45.0f;
constexpr float kTipDegrees = -38.0f;
constexpr float kShipSpan = 0.96f; // share of the icon that the ship's longer side fills

// Light from the upper left and in front, as a unit vector in view space (x
// right, y up, z towards the viewer).
const Vec3 kLight = Normalized(Vec3(-0.45f, 0.55f, 0.7f));
constexpr float kAmbient = 0.3f;
constexpr float kDiffuse = 0.85f;
constexpr float kSpecular = 0.3f;
const Colour kTint(0.35f, 1.0f, 0.45f); // the first player's green, softened so the plating shows

constexpr float kDiscRadius = 0.47f; // share of the icon size
const Colour kDiscCentre(0.13f, 0.09f, 0.27f);
const Colour kDiscEdge(0.02f, 0.02f, 0.08f);
const Colour kDiscRim(0.42f, 0.38f, 0.75f);

// Stars in the two quarters of the disc that the ship leaves free, as
// (x, y) from the disc's centre in disc radii (y down) and a brightness.
// Icons smaller than kStarsFromSize leave them out: there they would be noise.
struct Star
{
    float x, y, brightness;
};
constexpr Star kStars[] = {{-0.55f, -0.35f, 1.0f}, {-0.3f, -0.62f, 0.7f}, {-0.7f, 0.05f, 0.6f},
                           {-0.12f, -0.8f, 0.5f},  {0.6f, 0.4f, 0.9f},    {0.3f, 0.7f, 0.6f},
                           {0.78f, 0.12f, 0.5f}};
constexpr int kStarsFromSize = 48;

// One sample: its colour (alpha 0 where nothing covers it) and the depth of
// the nearest ship surface so far.
struct Sample
{
    Colour colour = Colour(0, 0, 0, 0);
    float depth = -std::numeric_limits<float>::infinity();
};

Vec3 ToView(const Vec3& p)
{
    Vec3 v = Transform::Rotation(2, kBankDegrees).Apply(p);
    v = Transform::Rotation(0, 90.0f).Apply(v); // from above: the ship's front (-z) points up
    v = Transform::Rotation(2, kTurnDegrees).Apply(v);
    return Transform::Rotation(0, kTipDegrees).Apply(v);
}

// Bilinear lookup with v running up from the bottom row, as the atlas lays
// texture coordinates out.
Colour Lookup(const Image& image, const Vec2& uv)
{
    const float x = uv.x * image.Width() - 0.5f, y = (1.0f - uv.y) * image.Height() - 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    const Colour top = Mix(image.Get(x0, y0), image.Get(x0 + 1, y0), fx);
    const Colour bottom = Mix(image.Get(x0, y0 + 1), image.Get(x0 + 1, y0 + 1), fx);
    return Mix(top, bottom, fy);
}

// The game's look: the skin times the owner's colour under the light, with
// the light map's glow laid over it by its alpha.
Colour Shade(const Vec3& normal, const Vec2& uv, const SkinImages& skin)
{
    const Vec3 n = Normalized(normal);
    const Colour base = Lookup(skin.skin, uv);
    const Colour glow = Lookup(skin.lightMap, uv);
    const float light = kAmbient + kDiffuse * std::max(0.0f, Dot(n, kLight));
    const Vec3 half = Normalized(kLight + Vec3(0, 0, 1));
    const float shine = kSpecular * std::pow(std::max(0.0f, Dot(n, half)), 24.0f);
    Colour lit(base.r * kTint.r * light + shine, base.g * kTint.g * light + shine,
               base.b * kTint.b * light + shine);
    lit = Mix(lit, glow, glow.a);
    lit.a = 1.0f;
    return lit;
}

void PaintDisc(std::vector<Sample>& samples, int side, bool stars)
{
    const float centre = side * 0.5f, radius = side * kDiscRadius;
    const float starRadius = std::max(0.6f * kSamples, 0.012f * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
        {
            const float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            const float d = std::hypot(dx, dy) / radius;
            if (d > 1.0f)
                continue;
            Colour c = Mix(kDiscCentre, kDiscEdge, d * d);
            if (d > 0.94f)
                c = kDiscRim;
            for (const Star& star : kStars)
            {
                const float r = std::hypot(dx - star.x * radius, dy - star.y * radius) / starRadius;
                if (stars && r < 1.0f)
                    c = Mix(c, Colour(1, 1, 1), star.brightness * (1.0f - r * r));
            }
            samples[static_cast<size_t>(y) * side + x].colour = c;
        }
}

// Where the ship lands on the canvas: centred, its longer side kShipSpan of it.
struct Framing
{
    float scale;      // samples per world unit
    float midX, midY; // view point at the canvas centre
};

Framing FitShip(const MeshBuilder& mesh, int side)
{
    float minX = std::numeric_limits<float>::max(), maxX = -minX, minY = minX, maxY = -minX;
    for (const MeshBuilder::Triangle& t : mesh.Triangles())
        for (const Vec3& p : t.p)
        {
            const Vec3 v = ToView(p);
            minX = std::min(minX, v.x);
            maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
        }
    return {kShipSpan * side / std::max(maxX - minX, maxY - minY), (minX + maxX) * 0.5f,
            (minY + maxY) * 0.5f};
}

struct ViewVertex
{
    float x, y, depth; // sample column, sample row from the top, depth towards the viewer
};

// Fills the samples whose centres the triangle covers and where it is the
// nearest surface so far, interpolating normal and texture coordinates.
void DrawTriangle(std::vector<Sample>& samples, int side, const MeshBuilder::Triangle& t, const Framing& f,
                  const SkinImages& skin)
{
    ViewVertex v[3];
    Vec3 normals[3];
    for (int k = 0; k < 3; ++k)
    {
        const Vec3 p = ToView(t.p[k]);
        v[k] = {side * 0.5f + (p.x - f.midX) * f.scale, side * 0.5f - (p.y - f.midY) * f.scale, p.z};
        normals[k] = ToView(t.n[k]);
    }
    const float area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[1].y - v[0].y) * (v[2].x - v[0].x);
    if (std::fabs(area) < 1e-6f)
        return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].x, v[1].x, v[2].x}))));
    const int x1 = std::min(side - 1, static_cast<int>(std::ceil(std::max({v[0].x, v[1].x, v[2].x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].y, v[1].y, v[2].y}))));
    const int y1 = std::min(side - 1, static_cast<int>(std::ceil(std::max({v[0].y, v[1].y, v[2].y}))));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
        {
            const float px = x + 0.5f, py = y + 0.5f;
            const float w0 = ((v[2].x - v[1].x) * (py - v[1].y) - (v[2].y - v[1].y) * (px - v[1].x)) / area;
            const float w1 = ((v[0].x - v[2].x) * (py - v[2].y) - (v[0].y - v[2].y) * (px - v[2].x)) / area;
            const float w2 = 1.0f - w0 - w1;
            if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
                continue;
            Sample& s = samples[static_cast<size_t>(y) * side + x];
            const float depth = w0 * v[0].depth + w1 * v[1].depth + w2 * v[2].depth;
            if (depth <= s.depth)
                continue;
            s.depth = depth;
            const Vec3 normal = normals[0] * w0 + normals[1] * w1 + normals[2] * w2;
            const Vec2 uv(w0 * t.uv[0].x + w1 * t.uv[1].x + w2 * t.uv[2].x,
                          w0 * t.uv[0].y + w1 * t.uv[1].y + w2 * t.uv[2].y);
            s.colour = Shade(normal, uv, skin);
        }
}

// Averages each block of samples into one pixel, weighting colours by their
// coverage so that edges fade into transparency without darkening.
Image Resolve(const std::vector<Sample>& samples, int size)
{
    const int side = size * kSamples;
    Image image(size, size, 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            Colour sum(0, 0, 0, 0);
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i)
                {
                    const Colour& c =
                        samples[static_cast<size_t>(y * kSamples + j) * side + x * kSamples + i].colour;
                    sum = Colour(sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a);
                }
            if (sum.a > 0.0f)
                image.Set(x, y,
                          Colour(sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (kSamples * kSamples)));
        }
    return image;
}

} // namespace

Image RenderIcon(const MeshBuilder& mesh, const SkinImages& skin, int size)
{
    const int side = size * kSamples;
    std::vector<Sample> samples(static_cast<size_t>(side) * side);
    PaintDisc(samples, side, size >= kStarsFromSize);
    const Framing framing = FitShip(mesh, side);
    for (const MeshBuilder::Triangle& t : mesh.Triangles())
        DrawTriangle(samples, side, t, framing, skin);
    return Resolve(samples, size);
}

bool WriteIcons(const std::string& directory, const std::string& name)
{
    for (const ModelSpec& model : BuildModels(GameBalance()))
    {
        if (model.name != "battlefrigate")
            continue;
        const SkinImages skin = PaintSkin(model.mesh, model.style);
        for (const int size : kIconSizes)
        {
            const std::string dir =
                directory + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
            std::error_code error;
            std::filesystem::create_directories(dir, error);
            if (error)
            {
                std::fprintf(stderr, "Cannot create %s: %s\n", dir.c_str(), error.message().c_str());
                return false;
            }
            if (!RenderIcon(model.mesh, skin, size).WritePng(dir + "/" + name + ".png"))
                return false;
        }
        return true;
    }
    return false;
}
