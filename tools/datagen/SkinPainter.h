#ifndef KORVANE_TOOLS_SKINPAINTER_H
#define KORVANE_TOOLS_SKINPAINTER_H

#include "Image.h"
#include "MeshBuilder.h"

#include <cstdint>

// Paints a model's colour skin (24-bit) and light map (32-bit RGBA) over the
// atlas of a finished MeshBuilder. Each texel knows the world position it
// covers, so plate seams, windows and deck marks line up across the atlas
// and keep their size on every part of the hull.
//
// The skin is light and nearly neutral, because the game multiplies it by the
// owner's colour. The light map is drawn over the lit model with its alpha as
// opacity: windows, engine bells and weapon lenses glow, the rest is clear.
struct SkinStyle
{
    Colour glowEngine = Colour(0.55f, 0.8f, 1.0f); // engine bells
    Colour glowEmitter = Colour(1.0f, 0.6f, 0.3f); // weapon lenses
    Colour glowWindow = Colour(1.0f, 0.88f, 0.6f);
    float shade = 1.0f; // overall brightness of the plating
    uint32_t seed = 1;
};

struct SkinImages
{
    Image skin;
    Image lightMap;
};

SkinImages PaintSkin(const MeshBuilder& mesh, const SkinStyle& style);

#endif
