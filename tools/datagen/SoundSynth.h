#ifndef KORVANE_TOOLS_SOUNDSYNTH_H
#define KORVANE_TOOLS_SOUNDSYNTH_H

#include <cstdint>
#include <string>
#include <vector>

#include "Noise.h"

// The pieces the game's sounds are built from: oscillators, noise, filters,
// envelopes and a small room, all computed sample by sample and all
// deterministic, so the generator writes the same bytes on every run.

constexpr int kSoundRate = 44100; // samples a second, mono, as the game mixes
constexpr double kPi = 3.14159265358979323846;

// A mono signal, nominally within -1 to 1.
using Samples = std::vector<float>;

// The number of samples in so many seconds.
int SampleCount(double seconds);
// The time of sample i in seconds.
inline double TimeOf(int i)
{
    return double(i) / kSoundRate;
}

// An oscillator with its own phase, so that its frequency may change from one
// sample to the next without clicks.
class Oscillator
{
  public:
    explicit Oscillator(double startPhase = 0.0) : phase(startPhase) {}

    float Sine(double frequency);
    float Triangle(double frequency);
    // Band-limited (polyBLEP) sawtooth and pulse: no aliasing whistle at high pitches.
    float Saw(double frequency);
    float Pulse(double frequency, double width);

  private:
    void Advance(double frequency);

    double phase; // 0 to 1
};

// White noise and its darker relatives from one seeded sequence.
class NoiseSource
{
  public:
    explicit NoiseSource(uint32_t seed) : sequence(seed) {}

    float White();
    float Pink();  // about -3 dB an octave
    float Brown(); // about -6 dB an octave, kept within -1 to 1
    // A single random value in [0, 1), for decisions.
    float Chance() { return sequence.Next(); }

  private:
    Sequence sequence;
    float pink[7] = {};
    float brown = 0.0f;
};

// A state-variable filter (topology-preserving, so its cutoff may sweep every
// sample): low-, band- and high-pass outputs of one input.
class Filter
{
  public:
    struct Outputs
    {
        float low;
        float band;
        float high;
    };

    // resonance is Q: 0.707 flat, higher rings at the cutoff.
    Outputs Run(float input, double cutoff, double resonance);
    float Low(float input, double cutoff, double resonance = 0.707)
    {
        return Run(input, cutoff, resonance).low;
    }
    float Band(float input, double cutoff, double resonance = 0.707)
    {
        return Run(input, cutoff, resonance).band;
    }
    float High(float input, double cutoff, double resonance = 0.707)
    {
        return Run(input, cutoff, resonance).high;
    }

  private:
    double state1 = 0.0;
    double state2 = 0.0;
};

// Envelopes, all functions of the time t in seconds.
// Rises linearly over attack, then falls exponentially with the time constant decay.
float AttackDecay(double t, double attack, double decay);
// Linear through the points (time, value), held at the ends.
float Segments(double t, const std::vector<std::pair<double, double>>& points);
// An exponential glide from a to b over the time, held at b afterwards.
double Glide(double t, double a, double b, double time);

// Soft saturation: glues layers together and rounds off peaks.
float Saturate(float x, float drive);

// Adds `what` times gain into `into`, starting at the given time; grows `into` as needed.
void MixInto(Samples& into, const Samples& what, float gain, double atSeconds = 0.0);
// A small room: a few damped echoes that give a sound space and a tail.
Samples Room(const Samples& dry, double size, double decay, float wet);
// Scales the sound so that its largest sample is peak.
void Normalize(Samples& samples, float peak);
// Short fades at both ends, so that a sound never starts or stops with a click.
void SoftenEdges(Samples& samples, double fadeIn, double fadeOut);
// The last steps of every one-shot sound: no offset, the tail cut where it
// has died away, the peak at `peak`, soft edges.
void Finish(Samples& samples, float peak, double fadeIn, double fadeOut);
// Makes the end flow into the start: the last `overlap` seconds are blended
// into the first ones and removed, for a sound that loops without a seam.
void LoopSeamlessly(Samples& samples, double overlap);

// Writes a 16-bit mono PCM WAV file at kSoundRate.
bool WriteWav(const std::string& path, const Samples& samples);

#endif
