#include "audio/SoundQueue.h"

SoundQueue gSoundQueue;

void SoundQueue::Enable(bool on)
{
    enabled = on;
    if (!on)
    {
        events.clear();
    }
}

void SoundQueue::Post(const SoundEvent& event)
{
    if (!enabled)
    {
        return;
    }
    if (events.size() >= kCapacity)
    {
        events.erase(events.begin());
    }
    events.push_back(event);
}

std::vector<SoundEvent> SoundQueue::Take()
{
    std::vector<SoundEvent> taken;
    taken.swap(events);
    return taken;
}
