#include "SkinPainter.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kPadding = 2; // texels around every atlas rect, as MeshBuilder lays them out

struct Texel
{
    Colour skin;
    Colour glow = Colour(0, 0, 0, 0);
};

float Clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

// Where a texel lies on its side of the part.
struct Spot
{
    float a, b;  // world coordinates in the projection plane
    float u, v;  // 0..1 across the rect, for radial glows
    float texel; // world size of one texel
    int key;     // side (see AtlasRect)
    int primitive;
};

// Hull plates in staggered rows, each a slightly different shade, with one
// texel of dark seam between them and fine grime over everything.
float PlateShade(const Spot& s, float size, uint32_t seed)
{
    const float rowHeight = size * 0.5f;
    const float row = std::floor(s.b / rowHeight);
    const float shift = (static_cast<int>(row) & 1) ? size * 0.5f : 0.0f;
    const float column = std::floor((s.a + shift) / size);
    const float inA = s.a + shift - column * size, inB = s.b - row * rowHeight;
    float shade = 0.93f + 0.09f * HashFraction(static_cast<int>(column), static_cast<int>(row), s.key, seed);
    const float seam = s.texel * 1.01f;
    if (inA < seam || inB < seam)
        shade *= 0.72f;
    // A few plates carry a small darker hatch or vent.
    if (HashFraction(static_cast<int>(column), static_cast<int>(row), 7, seed) < 0.12f)
    {
        const float cx = size * 0.5f, cy = rowHeight * 0.5f;
        if (std::fabs(inA - cx) < size * 0.25f && std::fabs(inB - cy) < rowHeight * 0.22f)
            shade *= 0.82f;
    }
    shade *= 0.94f + 0.08f * FractalNoise(s.a * 0.15f, s.b * 0.15f, 3, seed + 17);
    return shade;
}

Texel PaintPlating(const Spot& s, const Surface& surface, const SkinStyle& style)
{
    Texel t;
    float shade = PlateShade(s, surface.panelSize, style.seed) * style.shade;
    if (s.key == 2)
        shade *= 0.78f; // undersides a little darker
    const float base = 0.86f * shade;
    t.skin = Colour(base, base, base * 1.02f);
    if (s.key == 0)
        for (const WindowRow& w : surface.windows)
        {
            if (std::fabs(s.b - w.y) > 0.24f || s.a < w.z0 - 0.4f || s.a > w.z1 + 0.4f)
                continue;
            const float index = std::round((s.a - w.z0) / w.spacing);
            const float local = s.a - (w.z0 + index * w.spacing);
            if (std::fabs(local) > w.spacing * 0.22f)
                continue;
            t.skin = Colour(0.18f, 0.2f, 0.24f);
            const bool lit =
                HashFraction(static_cast<int>(index), static_cast<int>(w.y * 10), 3, style.seed) < 0.8f;
            if (lit)
                t.glow = Colour(style.glowWindow.r, style.glowWindow.g, style.glowWindow.b, 1.0f);
        }
    return t;
}

Texel PaintDark(const Spot& s, const SkinStyle& style)
{
    Texel t;
    const float rib = std::fmod(std::fabs(s.a), 1.2f) < s.texel * 1.5f ? 0.7f : 1.0f;
    const float shade = (0.42f + 0.06f * FractalNoise(s.a * 0.4f, s.b * 0.4f, 2, style.seed + 5)) * rib;
    t.skin = Colour(shade, shade, shade * 1.05f);
    return t;
}

// A round glow centred on the rect, white at the centre and coloured outside.
Colour RadialGlow(const Spot& s, const Colour& colour)
{
    const float du = s.u - 0.5f, dv = s.v - 0.5f;
    const float r = std::sqrt(du * du + dv * dv) * 2.0f;
    const float a = Clamp01(1.15f - r * r);
    const Colour c = Mix(Colour(1, 1, 1), colour, Clamp01(r * 1.4f));
    return Colour(c.r, c.g, c.b, a);
}

Texel PaintNozzle(const Spot& s, const SkinStyle& style)
{
    Texel t;
    t.skin = Colour(0.3f, 0.3f, 0.33f);
    if (s.key == 3)
    {
        t.skin = Colour(0.75f, 0.8f, 0.85f);
        t.glow = RadialGlow(s, style.glowEngine);
    }
    else if (std::fmod(std::fabs(s.b) + std::fabs(s.a), 1.0f) < s.texel * 1.5f)
        t.skin = Colour(0.22f, 0.22f, 0.24f);
    return t;
}

Texel PaintEmitter(const Spot& s, const SkinStyle& style)
{
    Texel t;
    t.skin = Colour(0.35f, 0.35f, 0.38f);
    if (s.key == 4)
    {
        t.skin = Colour(0.9f, 0.85f, 0.8f);
        t.glow = RadialGlow(s, style.glowEmitter);
    }
    return t;
}

Texel PaintCanopy(const Spot& s)
{
    Texel t;
    const float streak =
        std::fabs(std::fmod(s.a * 0.5f + s.b * 0.8f + 100.0f, 3.0f) - 1.5f) < 0.15f ? 1.0f : 0.0f;
    t.skin = Colour(0.28f + 0.3f * streak, 0.34f + 0.3f * streak, 0.46f + 0.3f * streak);
    t.glow = Colour(0.45f, 0.75f, 1.0f, 0.35f + 0.2f * streak);
    return t;
}

Texel PaintDeck(const Spot& s, const Surface& surface, const SkinStyle& style, float aMin, float aMax,
                float bMin, float bMax)
{
    if (s.key != 1)
        return PaintPlating(s, surface, style);
    Texel t;
    const float shade = 0.68f + 0.06f * FractalNoise(s.a * 0.3f, s.b * 0.3f, 2, style.seed + 9);
    t.skin = Colour(shade, shade, shade);
    const float width = aMax - aMin;
    const float fromEdge = std::min(s.a - aMin, aMax - s.a);
    // Two launch lanes with dashed centre lines.
    for (float lane : {aMin + width * 0.3f, aMin + width * 0.7f})
        if (std::fabs(s.a - lane) < 0.22f && std::fmod(s.b - bMin, 4.0f) < 2.4f)
            t.skin = Colour(0.92f, 0.92f, 0.88f);
    // Solid edge stripes and rows of deck lights along them.
    if (fromEdge > 0.5f && fromEdge < 0.9f)
        t.skin = Colour(0.85f, 0.85f, 0.8f);
    if (fromEdge > 1.2f && fromEdge < 1.8f)
    {
        const float along = std::fmod(s.b - bMin, 3.0f);
        if (along > 1.2f && along < 1.8f)
        {
            t.skin = Colour(0.95f, 0.95f, 0.9f);
            t.glow = Colour(1.0f, 0.75f, 0.35f, 1.0f);
        }
    }
    // The landing end is marked with a row of bright chevrons.
    const float fromBack = bMax - s.b;
    if (fromBack > 2.0f && fromBack < 5.0f &&
        std::fabs(std::fmod(std::fabs(s.a - (aMin + aMax) * 0.5f) + fromBack, 2.0f) - 1.0f) < 0.3f)
        t.skin = Colour(0.9f, 0.9f, 0.85f);
    return t;
}

Texel PaintBay(const Spot& s, const SkinStyle& style)
{
    Texel t = PaintDark(s, style);
    if (s.key != 3)
        return t;
    // The open bay: a dark interior with a lit ceiling strip and floor lights.
    t.skin = Colour(0.16f, 0.16f, 0.18f);
    if (s.v > 0.82f && s.v < 0.9f && s.u > 0.08f && s.u < 0.92f)
    {
        t.skin = Colour(0.9f, 0.9f, 0.85f);
        t.glow = Colour(1.0f, 0.9f, 0.7f, 1.0f);
    }
    else if (s.v < 0.1f && std::fmod(s.u * 10.0f, 1.0f) < 0.35f)
        t.glow = Colour(1.0f, 0.55f, 0.2f, 0.9f);
    else
        t.glow = Colour(1.0f, 0.8f, 0.55f, 0.25f * (1.0f - s.v));
    return t;
}

Texel PaintTrim(const Spot& s, const Surface& surface, const SkinStyle& style)
{
    Texel t = PaintPlating(s, surface, style);
    // Diagonal hazard-style bands on light plates.
    const float band = std::fmod(std::fabs(s.a + s.b), 3.0f);
    const float shade = band < 1.5f ? 1.0f : 0.82f;
    t.skin = Colour(Clamp01(0.98f * shade), Clamp01(0.98f * shade), Clamp01(0.98f * shade));
    return t;
}

} // namespace

SkinImages PaintSkin(const MeshBuilder& mesh, const SkinStyle& style)
{
    const int width = mesh.AtlasWidth(), height = mesh.AtlasHeight();
    SkinImages images{Image(width, height, 3), Image(width, height, 4)};
    images.skin.Fill(Colour(0.7f * style.shade, 0.7f * style.shade, 0.72f * style.shade));
    images.lightMap.Fill(Colour(0, 0, 0, 0));
    for (const AtlasRect& r : mesh.Atlas())
    {
        const Surface& surface = mesh.Primitives()[r.primitive].surface;
        const int spanA = r.turned ? r.height : r.width, spanB = r.turned ? r.width : r.height;
        const float innerW = (spanA - 2 * kPadding - 1) / r.density;
        const float innerH = (spanB - 2 * kPadding - 1) / r.density;
        for (int row = r.y; row < r.y + r.height; ++row)
            for (int column = r.x; column < r.x + r.width; ++column)
            {
                Spot s;
                const Vec2 point = AtlasPoint(r, column, row, height);
                s.a = point.x;
                s.b = point.y;
                s.u = innerW > 0 ? (s.a - r.aMin) / innerW : 0.5f;
                s.v = innerH > 0 ? (s.b - r.bMin) / innerH : 0.5f;
                s.texel = 1.0f / r.density;
                s.key = r.key;
                s.primitive = r.primitive;
                Texel t;
                switch (surface.pattern)
                {
                case Pattern::Plating:
                    t = PaintPlating(s, surface, style);
                    break;
                case Pattern::Dark:
                    t = PaintDark(s, style);
                    break;
                case Pattern::Nozzle:
                    t = PaintNozzle(s, style);
                    break;
                case Pattern::Deck:
                    t = PaintDeck(s, surface, style, r.aMin, r.aMin + innerW, r.bMin, r.bMin + innerH);
                    break;
                case Pattern::Canopy:
                    t = PaintCanopy(s);
                    break;
                case Pattern::Emitter:
                    t = PaintEmitter(s, style);
                    break;
                case Pattern::Trim:
                    t = PaintTrim(s, surface, style);
                    break;
                case Pattern::Bay:
                    t = PaintBay(s, style);
                    break;
                }
                images.skin.Set(column, row, t.skin);
                images.lightMap.Set(column, row, t.glow);
            }
    }
    return images;
}
