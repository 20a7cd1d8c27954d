#ifndef KORVANE_TOOLS_SOUNDDESIGNS_H
#define KORVANE_TOOLS_SOUNDDESIGNS_H

#include <string>
#include <vector>

#include "SoundSynth.h"

// The game's sounds, each synthesised from layers of oscillators, noise,
// filters and envelopes (see docs/audio.md for what each is made of).
struct SynthesisedSound
{
    std::string name; // the file is Sounds/<name>.wav
    Samples samples;
};

std::vector<SynthesisedSound> BuildSounds();

#endif
