#ifndef KORVANE_INPUT_EVENTBATCH_H
#define KORVANE_INPUT_EVENTBATCH_H

#include <SDL/SDL.h>

// The events of one pass of an event loop: every event that was pending when
// the batch was taken, in queue order. Events posted while a batch is being
// handled (ticks from the timer, keys posted by a button) wait for the next
// batch, so a loop that draws between batches keeps drawing and taking keys
// however long handling takes: a loop that polled until the queue was empty
// would never end while ticks arrived faster than it handled them.
class EventBatch
{
  public:
    // Pumps SDL's input and takes every event now in the queue but the
    // display's own (HandleDisplayEvents: Alt+Enter, closing the window).
    EventBatch();

    const SDL_Event* begin() const { return events; }
    const SDL_Event* end() const { return events + count; }

  private:
    // SDL 1.2's queue holds at most 128 events.
    static constexpr int kCapacity = 128;

    SDL_Event events[kCapacity];
    int count;
};

#endif
