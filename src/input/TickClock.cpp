#include "input/TickClock.h"

#include "app/Startup.h"

TickClock gTickClock;

float AdvanceAnimationTime(float time)
{
    time += kTickSeconds;
    if (time > 10.0f)
    {
        time -= 10.0f;
    }
    return time;
}

void TickClock::Measure(Uint32 now, int& frameCount, float& fps, float& fpsSmoothed)
{
    if (now != lastMeasureTime)
    {
        fps = float(Uint32(frameCount) * 1000u / (now - lastMeasureTime));
    }
    fpsSmoothed = 0.1f * fps + 0.9f * fpsSmoothed;
    frameCount = 0;
    lastMeasureTime = now;
    tickCounter = 0;
}
