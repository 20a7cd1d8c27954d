#ifndef KORVANE_TOOLS_ICON_H
#define KORVANE_TOOLS_ICON_H

#include "Image.h"
#include "MeshBuilder.h"
#include "SkinPainter.h"

#include <string>

// The application icon: one of the game's ships, skinned, tinted in the first
// player's colour and lit, crossing a dark disc of space. It is rendered in
// software (a small z-buffered rasteriser), so the generator needs no display
// and writes the same bytes on every run. Every size is drawn on its own at
// 4 x 4 samples a pixel, so small icons stay as sharp as they can be.

// The sizes written into the icon theme, in pixels.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A size x size RGBA image of the mesh with its skin and light map; the
// outside of the disc and of the ship is transparent.
Image RenderIcon(const MeshBuilder& mesh, const SkinImages& skin, int size);

// Renders the battle frigate and writes <directory>/<n>x<n>/apps/<name>.png
// for every size, the layout of the hicolor icon theme. Returns false (and
// prints why) when a directory or file cannot be written.
bool WriteIcons(const std::string& directory, const std::string& name);

#endif
