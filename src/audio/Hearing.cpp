#include "audio/Hearing.h"

#include <algorithm>
#include <cmath>

namespace
{

// The angle of a full pan, measured as constant-power balance: a quarter turn.
constexpr double kQuarterTurn = 1.5707963267948966;

} // namespace

bool SourceShown(int32_t owner, int32_t viewer, int32_t detection)
{
    return owner < 0 || owner == viewer || detection == 2;
}

float DistanceGain(float distance)
{
    if (!(distance < kSilentDistance))
    {
        return 0.0f;
    }
    float gain = distance <= kNearDistance ? 1.0f : kNearDistance / distance;
    if (distance > kFadeDistance)
    {
        gain *= (kSilentDistance - distance) / (kSilentDistance - kFadeDistance);
    }
    return gain;
}

float PanOf(const Vector& position, const Listener& listener)
{
    const double h = listener.heading * kDegToRad;
    const double rightX = std::cos(h);
    const double rightZ = -std::sin(h);
    const double dx = double(position.x) - listener.eye.x;
    const double dz = double(position.z) - listener.eye.z;
    const double ground = std::sqrt(dx * dx + dz * dz);
    if (!(ground > 0.0))
    {
        return 0.0f;
    }
    double pan = (dx * rightX + dz * rightZ) / ground;
    // A sound almost under the camera has no clear side.
    pan *= std::min(1.0, ground / kNearDistance);
    return float(std::clamp(pan, -1.0, 1.0) * kMaxPan);
}

std::pair<float, float> StereoBalance(float pan)
{
    const double p = std::clamp(double(pan), -1.0, 1.0);
    // Constant power from the centre, scaled so that the centre keeps both
    // channels whole: cos and sin of (p + 1) quarter turns, times sqrt 2.
    const double angle = (p + 1.0) * 0.5 * kQuarterTurn;
    const double left = std::min(1.0, std::sqrt(2.0) * std::cos(angle));
    const double right = std::min(1.0, std::sqrt(2.0) * std::sin(angle));
    return {float(std::max(0.0, left)), float(std::max(0.0, right))};
}

Heard Hear(const SoundEvent& event, const Listener& listener)
{
    Heard heard;
    if (!SourceShown(event.owner, event.viewer, event.detection))
    {
        return heard;
    }
    const float distance = float(Length(event.position - listener.eye));
    const float gain = std::clamp(event.loudness, 0.0f, 1.0f) * DistanceGain(distance);
    if (!(gain >= kLeastGain))
    {
        return heard;
    }
    heard.audible = true;
    heard.gain = gain;
    heard.pan = PanOf(event.position, listener);
    return heard;
}

int RepeatLimit::MinimumGap(Sound sound)
{
    switch (sound)
    {
    case Sound::BeamHit:
        return 10; // the burn of a held beam, twice a second
    case Sound::BulletHit:
        return 2; // both bullets of a salvo, and salvos from several turrets
    default:
        return 0;
    }
}

bool RepeatLimit::Allow(Sound sound, uint32_t source, uint64_t tick)
{
    const int gap = MinimumGap(sound);
    if (source == 0 || gap == 0)
    {
        return true;
    }
    const std::pair<int, uint32_t> key(int(sound), source);
    const auto found = lastPlayed.find(key);
    if (found != lastPlayed.end() && tick < found->second + uint64_t(gap))
    {
        return false;
    }
    lastPlayed[key] = tick;
    return true;
}

std::vector<PlayRequest> HearEvents(const std::vector<SoundEvent>& events, const Listener& listener,
                                    RepeatLimit& limit, uint64_t tick)
{
    std::vector<PlayRequest> requests;
    for (const SoundEvent& event : events)
    {
        const Heard heard = Hear(event, listener);
        if (!heard.audible || !limit.Allow(event.sound, event.source, tick))
        {
            continue;
        }
        PlayRequest request;
        request.sound = event.sound;
        request.gain = heard.gain;
        request.pan = heard.pan;
        requests.push_back(request);
    }

    // Of each sound, only the loudest few of the tick: more of the same at
    // the same moment only add up to a louder one.
    std::vector<PlayRequest> kept;
    for (size_t i = 0; i < requests.size(); i++)
    {
        int louder = 0;
        for (size_t j = 0; j < requests.size(); j++)
        {
            const bool before =
                requests[j].gain > requests[i].gain || (requests[j].gain == requests[i].gain && j < i);
            if (j != i && requests[j].sound == requests[i].sound && before)
            {
                louder++;
            }
        }
        if (louder < kMostAlikePerTick)
        {
            kept.push_back(requests[i]);
        }
    }
    return kept;
}
