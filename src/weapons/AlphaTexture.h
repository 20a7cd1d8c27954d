#ifndef KORVANE_WEAPONS_ALPHATEXTURE_H
#define KORVANE_WEAPONS_ALPHATEXTURE_H

#include <GL/gl.h>

#include <string>
#include <vector>

#include "math/Vector.h"

// The one-channel textures of beams and bullets, and the colour flicker both
// are drawn with.

// The alpha texels of a 24-bit bitmap: texel (x, y) is the first byte of
// pixel x of row y, the rows pitch bytes apart (3 * width when the rows need
// no padding).
std::vector<unsigned char> AlphaFromPixels(const unsigned char* pixels, int width, int height, int pitch);

// The file name after the last path separator, '\' or '/'.
std::string BaseName(const std::string& path);

// Loads the bitmap and uploads its alpha texels as a GL_ALPHA8 texture with
// the given wrap mode and filter. A missing file ends the program with
// "Texture file <name> not found"; an OpenGL error with "Texture setup for <name> ".
GLuint LoadAlphaTexture(const std::string& path, GLint wrap, GLint filter);

// The flickering colour of a projectile: with a fresh random fraction for each,
// alpha 0.7 - 0.3r, then blue, green and red each within 0.1 of the base colour.
void JitterColour(const Vector& colour, float rgba[4]);

#endif
