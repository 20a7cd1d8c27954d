#ifndef KORVANE_APP_STARTUP_H
#define KORVANE_APP_STARTUP_H

#include <SDL/SDL.h>

#include "math/Vector.h"

// Start-up of the program: the display, the OpenGL state every later drawing
// assumes, the table of unit directions, and the tick timer's callback.

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The tick: an SDL user event with code 1, posted every 50 ms; one tick is
// 0.05 seconds of game time.
constexpr int kTickCode = 1;
constexpr Uint32 kTickInterval = 50;
constexpr float kTickSeconds = 0.05f;

// 144 unit vectors in 16 rows of 9: row i is longitude 22.5*i degrees, entry j
// latitude -90 + 22.5*j degrees; entry 9*i+j is
// (sin(lon)cos(lat), sin(lat), cos(lon)cos(lat)). Entries 0 and 8 of a row are
// the poles.
constexpr int kDirectionRows = 16;
constexpr int kDirectionsPerRow = 9;
constexpr int kDirectionCount = kDirectionRows * kDirectionsPerRow;
extern Vector gDirectionTable[kDirectionCount];

// Advances by 0.05 per tick and wraps at 10; drives the pulsing of ship glows.
extern float gAnimationTime;

// Opens the 800x600, 32-bit OpenGL display in the start mode (full screen
// unless SetStartDisplayMode chose a window) and hides the system pointer.
// Without a usable display the program ends here through FatalError, with a
// message that says what is missing.
void InitVideo();

// Puts OpenGL into the state the game assumes: depth test, the 45-degree
// perspective (near 1, far 500), configured but disabled fog, the neutral
// stencil state, back-face culling; then clears and shows one black frame.
void InitRenderState();

// Fills gDirectionTable.
void BuildDirectionTable();

// The start-up of every program that draws as the game does: InitVideo,
// InitRenderState and BuildDirectionTable.
void OpenDisplay();

// The callback handed to SDL_AddTimer: posts one tick event and keeps the period.
Uint32 TimerTick(Uint32 interval, void* param);

// True when the event is a tick (SDL_USEREVENT with code 1).
bool IsTickEvent(const SDL_Event& event);

#endif
