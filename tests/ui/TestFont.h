#ifndef KORVANE_TESTS_UI_TESTFONT_H
#define KORVANE_TESTS_UI_TESTFONT_H

#include <functional>
#include <string>

#include "support/GLTest.h"
#include "ui/Font.h"

// A font image for tests: 256 by 128 pixels, 32-bit, written as an
// uncompressed top-down TGA (SDL_image reads it without any extra library).
// Cell of code n: columns 11 * (n % 16) to 11 * (n % 16) + 10, rows
// 16 * (n / 16) to 16 * (n / 16) + 15, row 0 at the top. Every pixel is white;
// it is opaque where opaque(code, column in cell, row in cell) is true, else clear.
std::string WriteFontImage(const std::string& name, const std::function<bool(int, int, int)>& opaque);

// Loads a test font whose listed characters are solid opaque squares.
Font SolidFont(const std::string& solidCharacters);

// Counts the pixels of a rectangle whose colour is within 8 of (r, g, b).
int CountColour(int x, int y, int width, int height, int r, int g, int b);

// Writes the back buffer as a PPM image to the file named by the environment
// variable KORVANE_DUMP, if set: for looking at what a test drew.
void DumpScreenIfAsked();

#endif
