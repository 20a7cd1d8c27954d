#ifndef KORVANE_AUDIO_SOUNDQUEUE_H
#define KORVANE_AUDIO_SOUNDQUEUE_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/Sound.h"
#include "math/Vector.h"

// Something the game did that makes a sound in the world, as it was when it
// happened: where, how loud at the source, and whether the player at the
// screen could see the ship it came from. The game only posts these; what is
// heard of them is decided later (Hearing.h) from the camera of the moment.
struct SoundEvent
{
    Sound sound = Sound::Click;
    Vector position;       // world position of the source
    float loudness = 1.0f; // at the source: 1 for the sound as made, less for a smaller one
    int32_t owner = -1;    // the player whose ship made it, or -1 when it comes from no ship
    int32_t viewer = -1;   // the player at the screen when it happened
    int32_t detection = 0; // that player's detection state of the ship: 2 while it is shown
    uint32_t source = 0;   // the ship's id, so that a ship does not repeat a sound too often; 0 for none
};

// The sounds posted since they were last taken, in the order they happened.
// Posting does nothing while the queue is disabled (no sound device), so the
// game posts freely and nothing piles up where nobody listens.
class SoundQueue
{
  public:
    void Enable(bool on);
    bool Enabled() const { return enabled; }

    void Post(const SoundEvent& event);
    // Every event posted since the last call, oldest first; the queue is then empty.
    std::vector<SoundEvent> Take();
    size_t Size() const { return events.size(); }

  private:
    // A burst of fire can post hundreds of events in one tick; more than this
    // between two takes means nobody is taking them, and the oldest go.
    static constexpr size_t kCapacity = 4096;

    bool enabled = false;
    std::vector<SoundEvent> events;
};

extern SoundQueue gSoundQueue;

#endif
