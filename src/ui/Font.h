#ifndef KORVANE_UI_FONT_H
#define KORVANE_UI_FONT_H

#include <GL/gl.h>

#include <string>

// The game's one bitmap font: a texture with a 16 by 8 grid of character cells
// (code n in column n mod 16, row n / 16, row 0 at the top; a cell is 11/256 of
// the image wide and 1/8 high) and a table of advance widths that gives the
// square glyph quads a proportional look. Text is drawn in screen pixels with
// the origin at the bottom left (see Overlay.h).

constexpr int kGlyphCount = 127;               // codes 0 to 126
constexpr float kGlyphCellWidth = 0.04296875f; // 11/256 of the image width
constexpr float kGlyphCellHeight = 0.125f;     // 1/8 of the image height

struct Font
{
    GLuint texture = 0;                  // the glyph image, alpha carrying the shapes
    float glyphWidths[kGlyphCount] = {}; // advance of each code as a fraction of the text size
};

// Loads "Textures/font2.png" by the font's texture rule (32-bit RGBA with
// mipmaps; an image in another layout is converted, without alpha it shows
// solid cells) and fills the width table. Needs a current OpenGL context; a
// missing image ends the program through FatalError.
void LoadFont(Font& font);

// As LoadFont, from another image file (tests and tools).
void LoadFontFrom(Font& font, const std::string& path);

// Fills glyphWidths: 0.68 for letters and digits, 1.0 for everything else,
// then the narrow and wide exceptions. Needs no context.
void FillGlyphWidths(Font& font);

// Draws text with its first character's lower left corner at (x, y); every
// character is a size by size square. colour points to red, green, blue, alpha.
void DrawText(const Font& font, const std::string& text, int x, int y, int size, const float* colour);

// The distance DrawText advances for the text: the sum of size times each
// glyph width, truncated towards zero after every character.
int TextWidth(const Font& font, const std::string& text, int size);

#endif
