#ifndef KORVANE_UI_OVERLAY_H
#define KORVANE_UI_OVERLAY_H

#include <string>

#include "ui/Font.h"

class Game;

// The 2D layer over the 3D scene. In the 2D mode OpenGL coordinates are screen
// pixels of the 800 by 600 display, origin at the bottom left, and every drawn
// pixel is marked with stencil 1 unless a button draws it, which writes its own
// id instead (the picking of clicks reads these values back). The pointer
// writes nothing to the stencil buffer.

// The colour of every label: the texts of buttons and of the command panel.
extern const float kLabelColour[4];

// Enters the 2D mode: no depth test, culling, fog, texturing or lighting;
// pixel matrices; stencil always-pass replacing with 1; smooth 1.5-pixel lines.
// The state stays in force for the rest of the frame.
void Begin2D();

// A box from (x0, y0) to (x1, y1) with its corners cut off diagonally by b
// pixels (less on boxes too small for it), filled or outlined, in the current colour.
void DrawBox(int x0, int y0, int x1, int y1, int b, bool outlineOnly);

// The corner size DrawBox really uses for a box of that size.
int EffectiveCorner(int x0, int y0, int x1, int y1, int b);

// A button with a 3-pixel band in bandColour around a face in faceColour and
// a centred label at size 12. Sets the stencil function to write id and leaves
// it so: whatever is drawn next also writes id until the stencil function is
// set again.
void DrawButton(const std::string& label, int x0, int y0, int x1, int y1, const float* bandColour,
                const float* faceColour, const Font& font, unsigned id);

// A dark blue band from (100, 298) to (700, bandTop) with one line of text
// centred on the screen at y = 300, as the loading, hand-over, winner and
// unloading screens show it. Enters the 2D mode first.
void DrawBandedText(const Font& font, const std::string& text, int bandTop, int size, const float* colour);

// The frame-rate meter in the top-left corner: a grey ramp for 0 to 100, a
// green marker at the smoothed rate and a blue bar of the current rate.
void DrawFrameRateMeter(float fps, float fpsSmoothed);
void DrawFrameRateMeter(const Game& game);

// The direction of the pointer shapes for a pointer at (mx, my): each
// component of the offset from the screen centre in normalized device units,
// moved 0.2 further from zero.
void PointerDirection(int mx, int my, float& ax, float& ay);

// The game's own mouse pointer at (mx, my), shaped by the order mode:
// 1 arrow, 2 arrow and plus, 3 arrow with two bars, 4 nothing, 5 red target corners.
void DrawPointer(int mx, int my, int orderMode);
void DrawPointer(const Game& game);

#endif
