#ifndef KORVANE_TOOLS_FIXEDTEXTURES_H
#define KORVANE_TOOLS_FIXEDTEXTURES_H

#include "Image.h"

// The textures that belong to no model.

// The glow of a navigation light in a player's colour (32-bit RGBA): a white
// core, a coloured halo and four faint rays.
Image PlayerLight(const Colour& colour);
// The beam's alpha profile (24-bit, the game reads the first byte of every
// pixel): bright core across s, soft edges, faint bands along t.
Image BeamBitmap();
// A bullet tracer (24-bit): a bright head at t = 0 fading into its tail.
Image BulletBitmap();
// The intro picture: 1024 by 1024 RGB with an 800 by 600 starfield, nebula and
// planet in its top-left corner.
Image IntroBackground();

#endif
