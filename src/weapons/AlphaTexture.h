#ifndef KORVANE_WEAPONS_ALPHATEXTURE_H
#define KORVANE_WEAPONS_ALPHATEXTURE_H

#include <GL/gl.h>

#include <string>

#include "assets/Texture.h"
#include "math/Vector.h"

// The one-channel textures of beams and bullets, and the colour flicker both
// are drawn with.

// The file name after the last path separator, '\' or '/'.
std::string BaseName(const std::string& path);

// Loads the bitmap and uploads its alpha texels by the rule (kBeamTexture or
// kBulletTexture of assets/Texture.h: the first byte of every 24-bit pixel).
// A missing file ends the program with "Texture file <name> not found", one
// that SDL cannot read with "Texture file <name> is not a readable bitmap";
// an OpenGL error with "Texture setup for <name> ".
GLuint LoadAlphaTexture(const std::string& path, const TextureRule& rule);

// The flickering colour of a projectile: with a fresh random fraction for each,
// alpha 0.7 - 0.3r, then blue, green and red each within 0.1 of the base colour.
void JitterColour(const Vector& colour, float rgba[4]);

#endif
