#ifndef KORVANE_APP_TRANSITIONS_H
#define KORVANE_APP_TRANSITIONS_H

#include <vector>

class Game;

// The opening and closing of a turn's view, like a picture tube switched on
// and off: a thin vertical line at the centre of the screen grows to the full
// height, then the strip widens ever faster to the full screen (and the
// reverse). The transitions draw the live scene of the current player's camera
// but handle no events.

// Frames of the growing or shrinking centre line.
constexpr int kTransitionLineFrames = 16;

// The left edge x of each widening frame of the opening, from 399 down to the
// last value that is still >= 0. Each step moves the edge by
// (400 - x) * 0.2 + 1, truncated, so the strip widens ever faster.
std::vector<int> OpenTransitionColumns();

// The left edge x of each narrowing frame of the closing, from 0 up to 399.
std::vector<int> CloseTransitionColumns();

// The next left edge of the opening and of the closing strip.
int NextOpenColumn(int x);
int NextCloseColumn(int x);

// The part of the screen one frame of a transition shows, in pixels from the
// bottom left.
struct TransitionWindow
{
    int x, y, width, height;
};

// The window of every frame of the opening, in order: the 2-pixel line at the
// centre growing to the full height, then the strip widening by the columns
// above. And of the closing: the strip narrowing, then the line shrinking.
std::vector<TransitionWindow> OpeningWindows();
std::vector<TransitionWindow> ClosingWindows();

// One frame of a transition into the back buffer: the scene of the current
// player inside the window over the sky colour; with blackAround the rest of
// the screen is cleared to black first (the closing), otherwise it keeps what
// the earlier frames left (the opening). Leaves the scissor test on and the
// viewport at the window.
void DrawTransitionFrame(Game& game, const TransitionWindow& window, bool blackAround);

// Draws the opening frames of the view of the current player.
void OpenTransition(Game& game);

// Draws the closing frames; ends with the viewport at the full screen.
void CloseTransition(Game& game);

#endif
