#include "input/EventBatch.h"

#include "app/DisplayMode.h"

EventBatch::EventBatch() : count(0)
{
    SDL_PumpEvents();
    const int taken = SDL_PeepEvents(events, kCapacity, SDL_GETEVENT, SDL_ALLEVENTS);
    count = taken > 0 ? HandleDisplayEvents(events, taken) : 0;
}
