#ifndef KORVANE_APP_DISPLAYMODE_H
#define KORVANE_APP_DISPLAYMODE_H

#include <SDL/SDL.h>

// Full screen or an 800x600 window, and the switch between them (Alt+Enter),
// which keeps the OpenGL context: every texture, display list and piece of
// render state survives it.

enum class DisplayMode
{
    FullScreen,
    Window
};

// The mode InitVideo opens the display in (full screen unless set before).
void SetStartDisplayMode(DisplayMode mode);
DisplayMode StartDisplayMode();

// The SDL_SetVideoMode flags of a mode: an OpenGL display, full screen or not.
Uint32 VideoModeFlags(DisplayMode mode);

// The mode the open display is in (full screen when none is open).
DisplayMode CurrentDisplayMode();

// Switches the open display to the other mode in place. When the video driver
// cannot switch without making a new display (and so perhaps a new OpenGL
// context), nothing changes and one line on standard error says so; returns
// whether the mode changed.
bool ToggleDisplayMode();

// Alt+Enter pressed.
bool IsDisplayToggle(const SDL_Event& event);

// Events that belong to the display rather than to the game: Alt+Enter (both
// its press and its release) and the Alt keys themselves, so that the chord
// never counts as the key a screen waits for.
bool IsDisplayKey(const SDL_Event& event);

// Handles the display's own events among `count` taken from the queue (a
// switch for Alt+Enter; closing the window ends the program, or throws
// WindowClosed while a WindowCloseCatch lives) and removes them from the
// array, keeping the order of the rest. Returns how many remain.
int HandleDisplayEvents(SDL_Event* events, int count);

// The window was closed (or the terminal interrupted the program) while a
// WindowCloseCatch lived. Not a std::exception, so that no handler of those
// takes it by mistake.
struct WindowClosed
{
};

// While one lives, closing the window unwinds to whoever made it instead of
// ending the program at once: a network game tells the relay that its player
// leaves before the program ends.
class WindowCloseCatch
{
  public:
    WindowCloseCatch();
    ~WindowCloseCatch();
    WindowCloseCatch(const WindowCloseCatch&) = delete;
    WindowCloseCatch& operator=(const WindowCloseCatch&) = delete;
};

// The game draws its own pointer: the system's is made invisible over the
// display. (An invisible pointer rather than a hidden one, so that the
// pointer keeps reporting where it is: some SDL 1.2 libraries switch to
// relative motion when the pointer is hidden in full screen.)
void HideSystemPointer();

#endif
