#ifndef KORVANE_AUDIO_HEARING_H
#define KORVANE_AUDIO_HEARING_H

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "audio/SoundQueue.h"
#include "math/Vector.h"

// What the player at the screen hears of the sounds of the world: pure
// functions of the events and the camera, and no sound device.

// Where the current player listens from: the camera's eye (100 units above
// its focus) and its heading, as the scene is drawn.
struct Listener
{
    Vector eye;
    float heading = 0.0f; // degrees; the camera looks along (-sin, -cos) on the ground
};

// Distances, in world units: up to kNearDistance a sound is heard at full
// strength; beyond it its strength falls as one over the distance, and it
// fades out between kFadeDistance and kSilentDistance.
constexpr float kNearDistance = 150.0f;
constexpr float kFadeDistance = 3000.0f;
constexpr float kSilentDistance = 4000.0f;

// How much of pan is used at most: a sound straight to the side still
// reaches the far ear a little.
constexpr float kMaxPan = 0.85f;

// Below this gain a sound is not played at all (it would round to silence).
constexpr float kLeastGain = 1.0f / 128.0f;

// Whether a ship's sounds reach the viewer: the viewer's own ships always; a
// ship of another player only while the viewer's sensors show it (detection
// state 2), which is when the scene draws it. Sounds from no ship (owner -1:
// explosions, wrecks, the interface) always do.
bool SourceShown(int32_t owner, int32_t viewer, int32_t detection);

// Strength by distance alone: 1 up to kNearDistance, then falling; 0 from
// kSilentDistance on.
float DistanceGain(float distance);

// Left -1 to right +1: the bearing of the point across the camera's view,
// at most kMaxPan, and less for a sound almost under the camera.
float PanOf(const Vector& position, const Listener& listener);

// The two channel factors (0 to 1) for a pan: both 1 at the centre, the far
// side falling to 0 at a full pan.
std::pair<float, float> StereoBalance(float pan);

struct Heard
{
    bool audible = false;
    float gain = 0.0f; // 0 to 1
    float pan = 0.0f;  // -1 to +1
};

// One event as the listener hears it: not at all from a ship the viewer does
// not see, or from too far away; otherwise with its loudness times the
// distance gain, and its pan.
Heard Hear(const SoundEvent& event, const Listener& listener);

// Keeps one ship from repeating a sound faster than the ear can tell the
// repeats apart: a beam burns its target every tick, a salvo of bullets lands
// in the same tick. Sounds without a source ship are never held back.
class RepeatLimit
{
  public:
    // The fewest ticks between two plays of the sound from one ship.
    static int MinimumGap(Sound sound);

    // True, and remembered, when the sound from this source may play at this tick.
    bool Allow(Sound sound, uint32_t source, uint64_t tick);
    void Clear() { lastPlayed.clear(); }

  private:
    std::map<std::pair<int, uint32_t>, uint64_t> lastPlayed;
};

// The most plays of one sound that a tick starts; the loudest are kept.
constexpr int kMostAlikePerTick = 3;

// A sound to start now.
struct PlayRequest
{
    Sound sound = Sound::Click;
    float gain = 1.0f;
    float pan = 0.0f;
};

// The events of one tick as the listener hears them, in order: the inaudible
// and the held-back ones left out, and of each sound only the
// kMostAlikePerTick loudest.
std::vector<PlayRequest> HearEvents(const std::vector<SoundEvent>& events, const Listener& listener,
                                    RepeatLimit& limit, uint64_t tick);

#endif
