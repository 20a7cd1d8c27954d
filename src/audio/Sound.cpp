#include "audio/Sound.h"

namespace
{

struct SoundEntry
{
    const char* name;
    const char* file;
};

const SoundEntry kSounds[kSoundCount] = {
    {"beam-fire", "Sounds/beam-fire.wav"},   {"gun-fire", "Sounds/gun-fire.wav"},
    {"bullet-hit", "Sounds/bullet-hit.wav"}, {"beam-hit", "Sounds/beam-hit.wav"},
    {"hull-break", "Sounds/hull-break.wav"}, {"ship-destroyed", "Sounds/ship-destroyed.wav"},
    {"explosion", "Sounds/explosion.wav"},   {"fighter-launch", "Sounds/fighter-launch.wav"},
    {"order", "Sounds/order.wav"},           {"click", "Sounds/click.wav"},
    {"hand-over", "Sounds/hand-over.wav"},   {"winner", "Sounds/winner.wav"},
    {"ambient", "Sounds/ambient.wav"},
};

} // namespace

const char* SoundName(Sound sound)
{
    return kSounds[int(sound)].name;
}

const char* SoundFile(Sound sound)
{
    return kSounds[int(sound)].file;
}
