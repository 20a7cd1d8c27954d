#include "input/EventBatch.h"

EventBatch::EventBatch() : count(0)
{
    SDL_PumpEvents();
    const int taken = SDL_PeepEvents(events, kCapacity, SDL_GETEVENT, SDL_ALLEVENTS);
    count = taken > 0 ? taken : 0;
}
