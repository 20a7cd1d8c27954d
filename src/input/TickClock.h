#ifndef KORVANE_INPUT_TICKCLOCK_H
#define KORVANE_INPUT_TICKCLOCK_H

#include <SDL/SDL.h>

// Time keeping on the tick events of a turn: the animation clock of ship
// glows, the environment's half-rate steps and the frame-rate measurement.

// The animation clock one tick later: 0.05 more, wrapped back by 10 once it is
// above 10, so it never exceeds 10.
float AdvanceAnimationTime(float time);

// Counts ticks from 1 to 20 and measures the frame rate once every 20 ticks.
// The count is not reset between turns.
struct TickClock
{
    int tickCounter = 0;        // ticks since the last measurement
    Uint32 lastMeasureTime = 0; // SDL_GetTicks() at the last measurement

    // Clouds and explosions advance on every other tick.
    bool EnvironmentStepDue() const { return tickCounter % 2 == 0; }

    // At a count of 20 the frame rate is measured and the count restarts.
    bool MeasurementDue() const { return tickCounter == 20; }

    // Frames per second since the last measurement at time `now` (ms):
    // frameCount * 1000 / elapsed in unsigned integer arithmetic (kept when no
    // time has passed); the smoothed rate takes a tenth of it; the frame count
    // and the tick count start again.
    void Measure(Uint32 now, int& frameCount, float& fps, float& fpsSmoothed);

    void Count() { tickCounter++; }
};

// The one tick clock of the running program.
extern TickClock gTickClock;

#endif
