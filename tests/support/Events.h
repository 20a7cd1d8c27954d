#ifndef KORVANE_TESTS_SUPPORT_EVENTS_H
#define KORVANE_TESTS_SUPPORT_EVENTS_H

#include <SDL/SDL.h>

#include "app/Startup.h"

// An event for the game under test, as the window or the timer would give it:
// a key pressed or released, a click, a tick (SDL_USEREVENT), or any other type.
inline void PushEvent(Uint8 type, SDLKey key = SDLK_UNKNOWN)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_USEREVENT)
    {
        event.user.code = kTickCode;
    }
    else
    {
        event.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
        event.key.keysym.sym = key;
    }
    SDL_PushEvent(&event);
}

// Empties the event queue.
inline void FlushEvents()
{
    for (SDL_Event event; SDL_PollEvent(&event);)
    {
    }
}

#endif
