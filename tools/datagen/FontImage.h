#ifndef KORVANE_TOOLS_FONTIMAGE_H
#define KORVANE_TOOLS_FONTIMAGE_H

#include "Image.h"

#include <string>

// The game's font image: 32-bit RGBA, white, with the glyph shapes in the
// alpha channel. Code n sits in column n mod 16 and row n / 16 of a grid of
// cells 11/256 of the width wide and 1/8 of the height high (row 0 at the top).
// The game draws a cell into a square and then advances by its own width
// table; each glyph is drawn at the left of its cell and scaled across so that
// its advance matches that table.
//
// Returns false (and says why) when the font file cannot be read.
bool RenderFont(const std::string& fontPath, Image& out);

// The advance of character code n as a fraction of the text size, as the
// game's text drawing uses it.
float GlyphAdvance(int code);

#endif
