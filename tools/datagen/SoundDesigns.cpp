#include "SoundDesigns.h"

#include <algorithm>
#include <cmath>

namespace
{

// A bank of decaying sine partials at unrelated frequencies: struck metal.
struct Partial
{
    double frequency;
    double amplitude;
    double decay; // seconds
};

Samples Metal(double seconds, const std::vector<Partial>& partials, double attack = 0.001)
{
    Samples out(size_t(SampleCount(seconds)), 0.0f);
    for (const Partial& partial : partials)
    {
        Oscillator oscillator(partial.frequency * 0.001);
        for (size_t i = 0; i < out.size(); i++)
        {
            const double t = TimeOf(int(i));
            out[i] += float(partial.amplitude) * AttackDecay(t, attack, partial.decay) *
                      oscillator.Sine(partial.frequency);
        }
    }
    return out;
}

// Short bursts of filtered noise at random moments, fewer as time goes on:
// crackle, debris, tearing. density is bursts a second at the start, fading
// with the time constant fade; each burst dies in about `grain` seconds.
Samples Crackle(double seconds, uint32_t seed, double density, double fade, double grain, double band,
                double resonance)
{
    NoiseSource noise(seed);
    Filter filter;
    Samples out(size_t(SampleCount(seconds)), 0.0f);
    const float perSample = float(std::exp(-1.0 / (grain * kSoundRate)));
    float envelope = 0.0f;
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const double chance = density * std::exp(-t / fade) / kSoundRate;
        if (noise.Chance() < chance)
        {
            envelope = 0.5f + 0.5f * noise.Chance();
        }
        envelope *= perSample;
        out[i] = envelope * filter.Band(noise.White(), band, resonance);
    }
    return out;
}

Samples BeamFire()
{
    const double seconds = 0.9;
    NoiseSource noise(101);
    Oscillator carrier, modulator, humA, humB(0.37);
    Filter spark, hum, sizzle;
    Samples out(size_t(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        // The ignition: a bright spark of noise.
        const float ignition = 0.6f * AttackDecay(t, 0.002, 0.015) * spark.High(noise.White(), 2000.0);
        // The discharge: a falling FM tone whose brightness dies with it.
        const double fc = Glide(t, 1400.0, 260.0, 0.5);
        // An index of at most 3.5 keeps the widest swing (1400 + 3.5 x 2100 Hz) below half the rate.
        const double index = 3.0 * std::exp(-t / 0.15) + 0.5;
        const float mod = modulator.Sine(fc * 1.5);
        const float discharge =
            0.7f * AttackDecay(t, 0.005, 0.25) * carrier.Sine(fc + index * fc * 1.5 * mod);
        // The beam's body: two detuned saws through a resonant, closing filter.
        const float body = hum.Low(humA.Saw(95.0) + humB.Saw(95.7), Glide(t, 3000.0, 300.0, 0.6), 4.0);
        const float bodyLevel = 0.35f * Segments(t, {{0.0, 0.0}, {0.02, 1.0}, {0.5, 0.6}, {seconds, 0.0}});
        // A crackle of plasma, trembling at 45 Hz.
        const float tremble = float(0.5 + 0.5 * std::sin(2.0 * kPi * 45.0 * t));
        const float plasma =
            0.25f * tremble * AttackDecay(t, 0.01, 0.3) * sizzle.Band(noise.White(), 4500.0, 2.0);
        out[i] = Saturate(ignition + discharge + bodyLevel * body + plasma, 1.5f);
    }
    out = Room(out, 0.6, 0.6, 0.15f);
    Finish(out, 0.6f, 0.001, 0.05);
    return out;
}

Samples GunFire()
{
    const double seconds = 0.4;
    NoiseSource noise(202);
    Oscillator thump, pulse;
    Filter crack, tone, body;
    Samples out(size_t(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const float kick = AttackDecay(t, 0.001, 0.06) * thump.Sine(Glide(t, 160.0, 45.0, 0.08));
        const float snap = 0.8f * AttackDecay(t, 0.0005, 0.012) * crack.High(noise.White(), 1500.0);
        const float zap = 0.5f * AttackDecay(t, 0.001, 0.05) *
                          tone.Low(pulse.Pulse(Glide(t, 900.0, 180.0, 0.12), 0.3), 3000.0);
        const float blast =
            0.6f * AttackDecay(t, 0.001, 0.08) * body.Low(noise.Pink(), Glide(t, 4000.0, 300.0, 0.15));
        out[i] = Saturate(kick + snap + zap + blast, 2.0f);
    }
    out = Room(out, 0.5, 0.35, 0.12f);
    Finish(out, 0.55f, 0.0005, 0.03);
    return out;
}

Samples BulletHit()
{
    const double seconds = 0.35;
    NoiseSource noise(303);
    Oscillator thud;
    Filter impact;
    Samples out = Metal(seconds, {{1180.0, 1.0, 0.18},
                                  {1730.0, 0.7, 0.12},
                                  {2460.0, 0.5, 0.09},
                                  {3310.0, 0.35, 0.06},
                                  {4270.0, 0.2, 0.04}});
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        out[i] *= 0.3f;
        out[i] += AttackDecay(t, 0.0005, 0.02) * impact.Band(noise.White(), 2500.0, 1.2);
        out[i] += 0.5f * AttackDecay(t, 0.001, 0.04) * thud.Sine(Glide(t, 220.0, 90.0, 0.05));
    }
    out = Room(out, 0.4, 0.3, 0.1f);
    Finish(out, 0.5f, 0.0005, 0.03);
    return out;
}

Samples BeamHit()
{
    const double seconds = 0.6;
    NoiseSource noise(404);
    Filter bed, burn;
    Samples out = Crackle(seconds, 405, 90.0, 10.0, 0.009, 4000.0, 0.9);
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const float flutter = float(0.6 + 0.4 * std::sin(2.0 * kPi * 33.0 * t));
        const float sizzle = 0.3f * flutter * bed.Band(noise.White(), 5500.0, 0.8);
        const float low = 0.4f * burn.Low(noise.Brown(), 400.0);
        const float level = Segments(t, {{0.0, 0.0}, {0.01, 1.0}, {0.35, 0.6}, {seconds, 0.0}});
        out[i] = level * (1.3f * out[i] + sizzle + low);
    }
    Finish(out, 0.45f, 0.002, 0.05);
    return out;
}

Samples HullBreak()
{
    const double seconds = 1.2;
    NoiseSource noise(505);
    Oscillator groan;
    Filter resonator, impact;
    Samples out = Crackle(seconds, 506, 450.0, 0.4, 0.014, 1200.0, 1.5);
    const Samples clang = Metal(
        seconds,
        {{310.0, 1.0, 0.4}, {467.0, 0.8, 0.3}, {733.0, 0.6, 0.22}, {1021.0, 0.4, 0.15}, {1390.0, 0.3, 0.1}});
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        // Metal bending: a wavering low saw through a ringing filter that sinks.
        const double bend = 1.0 + 0.08 * std::sin(2.0 * kPi * 3.1 * t) + 0.05 * std::sin(2.0 * kPi * 7.3 * t);
        const float strain = groan.Saw(70.0 * bend * Glide(t, 1.0, 0.7, seconds));
        const double cutoff = Segments(t, {{0.0, 900.0}, {0.3, 500.0}, {seconds, 250.0}});
        const float bent = 0.8f * AttackDecay(t, 0.01, 0.5) * resonator.Band(strain, cutoff, 6.0);
        const float blow = 0.8f * AttackDecay(t, 0.002, 0.1) * impact.Low(noise.Brown(), 600.0);
        out[i] = Saturate(1.2f * out[i] + bent + 0.25f * clang[i] + blow, 1.8f);
    }
    out = Room(out, 0.8, 0.9, 0.2f);
    Finish(out, 0.7f, 0.001, 0.1);
    return out;
}

Samples ShipDestroyed()
{
    const double seconds = 2.2;
    NoiseSource noise(606);
    Oscillator boom, siren;
    Filter blast, rumble, dying;
    Samples out = Crackle(seconds, 607, 180.0, 0.8, 0.01, 2500.0, 0.8);
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const float low = AttackDecay(t, 0.003, 0.5) * boom.Sine(Glide(t, 80.0, 28.0, 0.6));
        const float burst =
            0.9f * AttackDecay(t, 0.002, 0.45) * blast.Low(noise.White(), Glide(t, 5000.0, 120.0, 1.2), 0.9);
        const float roll = 0.7f * Segments(t, {{0.0, 0.0}, {0.05, 1.0}, {1.5, 0.5}, {seconds, 0.0}}) *
                           rumble.Low(noise.Brown(), 300.0);
        // The ship's power failing: a falling tone under the blast.
        const float powerDown = 0.35f * Segments(t, {{0.0, 0.0}, {0.05, 1.0}, {1.4, 0.6}, {1.8, 0.0}}) *
                                dying.Low(siren.Saw(Glide(t, 520.0, 60.0, 1.4)), 1800.0);
        out[i] = Saturate(0.4f * out[i] + low + burst + roll + powerDown, 1.6f);
    }
    out = Room(out, 1.0, 1.4, 0.2f);
    Finish(out, 0.8f, 0.001, 0.2);
    return out;
}

Samples Explosion()
{
    const double seconds = 1.8;
    NoiseSource noise(707);
    Oscillator thump;
    Filter blast, tail;
    Samples out = Crackle(seconds, 708, 250.0, 0.5, 0.008, 3000.0, 0.8);
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const float kick = AttackDecay(t, 0.002, 0.35) * thump.Sine(Glide(t, 60.0, 30.0, 0.4));
        const float burst =
            AttackDecay(t, 0.002, 0.35) * blast.Low(noise.White(), Glide(t, 3500.0, 150.0, 1.0), 0.9);
        const float after = 0.6f * AttackDecay(t, 0.02, 0.7) * tail.Low(noise.Brown(), 250.0);
        out[i] = Saturate(0.5f * out[i] + kick + burst + after, 2.0f);
    }
    out = Room(out, 1.0, 1.2, 0.15f);
    Finish(out, 0.75f, 0.001, 0.2);
    return out;
}

Samples FighterLaunch()
{
    const double seconds = 1.2;
    NoiseSource noise(808);
    Oscillator whine, overtone, engine;
    Filter whoosh, rumble, knock;
    const Samples clunk = Metal(0.3, {{180.0, 1.0, 0.15}, {275.0, 0.7, 0.12}, {410.0, 0.5, 0.08}});
    Samples out(size_t(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        // The catapult lets go...
        float release = i < clunk.size() ? 0.4f * clunk[i] : 0.0f;
        release += 0.5f * AttackDecay(t, 0.001, 0.05) * knock.Low(noise.Brown(), 500.0);
        // ...and the fighters' engines rush away, rising.
        const float rise = Segments(t, {{0.0, 0.0}, {0.1, 0.3}, {0.6, 1.0}, {seconds, 0.0}});
        const float air = 0.8f * rise * whoosh.Band(noise.White(), Glide(t, 300.0, 3000.0, 0.9), 1.5);
        const double pitch = Glide(t, 500.0, 1600.0, 1.0);
        const float jet = 0.3f * Segments(t, {{0.0, 0.0}, {0.15, 0.2}, {0.7, 0.3}, {seconds, 0.0}}) *
                          (whine.Sine(pitch) + 0.3f * overtone.Sine(2.0 * pitch));
        const float drive = 0.3f * rise * rumble.Low(engine.Saw(55.0), 400.0);
        out[i] = release + air + jet + drive;
    }
    out = Room(out, 0.7, 0.6, 0.15f);
    Finish(out, 0.55f, 0.001, 0.1);
    return out;
}

Samples OrderBlip()
{
    const double seconds = 0.22;
    Oscillator low, lowEdge, high, highEdge, wobble;
    Samples out(size_t(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const double vibrato = 1.0 + 0.004 * wobble.Sine(30.0);
        const float first =
            AttackDecay(t, 0.004, 0.04) * (low.Sine(880.0 * vibrato) + 0.2f * lowEdge.Triangle(880.0));
        const float second = t < 0.07 ? 0.0f
                                      : AttackDecay(t - 0.07, 0.004, 0.06) *
                                            (high.Sine(1320.0 * vibrato) + 0.2f * highEdge.Triangle(1320.0));
        out[i] = first + second;
    }
    out = Room(out, 0.3, 0.2, 0.1f);
    Finish(out, 0.35f, 0.001, 0.02);
    return out;
}

Samples Click()
{
    const double seconds = 0.08;
    NoiseSource noise(909);
    Oscillator ping, thud;
    Filter tick;
    Samples out(size_t(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        out[i] = AttackDecay(t, 0.0005, 0.006) * tick.Band(noise.White(), 3000.0, 2.0) +
                 0.4f * AttackDecay(t, 0.001, 0.02) * ping.Sine(1800.0) +
                 0.3f * AttackDecay(t, 0.0005, 0.01) * thud.Sine(300.0);
    }
    Finish(out, 0.35f, 0.0005, 0.01);
    return out;
}

// A bell: a carrier and a modulator at an unrelated ratio, the brightness
// dying faster than the tone.
void AddBell(Samples& out, double at, double frequency, double level, double decay)
{
    Oscillator carrier, modulator;
    const size_t start = size_t(SampleCount(at));
    for (size_t i = start; i < out.size(); i++)
    {
        const double t = TimeOf(int(i - start));
        const double index = 2.5 * std::exp(-t / (0.3 * decay));
        const float mod = modulator.Sine(frequency * 1.4);
        out[i] +=
            float(level) * AttackDecay(t, 0.003, decay) * carrier.Sine(frequency * (1.0 + index * 1.4 * mod));
    }
}

Samples HandOver()
{
    const double seconds = 1.6;
    Samples out(size_t(SampleCount(seconds)), 0.0f);
    AddBell(out, 0.0, 659.26, 0.8, 0.5);  // E5
    AddBell(out, 0.14, 987.77, 0.6, 0.6); // B5
    // A soft chord under the bells: E4, G sharp 4, B4.
    Oscillator a, b, c;
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const float pad = Segments(t, {{0.0, 0.0}, {0.2, 1.0}, {0.9, 0.6}, {seconds, 0.0}});
        out[i] += 0.12f * pad * (a.Sine(329.63) + b.Sine(415.30) + c.Sine(493.88));
    }
    out = Room(out, 1.0, 1.2, 0.3f);
    Finish(out, 0.45f, 0.002, 0.2);
    return out;
}

// One brass note: two slightly detuned saws through a filter that opens with
// the note's swell, with a late vibrato.
void AddBrass(Samples& out, double at, double length, double frequency, double level)
{
    Oscillator one, two(0.21), vibrato;
    Filter filter;
    const size_t start = size_t(SampleCount(at));
    const size_t end = std::min(out.size(), start + size_t(SampleCount(length + 0.6)));
    for (size_t i = start; i < end; i++)
    {
        const double t = TimeOf(int(i - start));
        const double release = t > length ? std::exp(-(t - length) / 0.15) : 1.0;
        const double swell = std::min(1.0, t / 0.03) * (0.8 + 0.2 * std::exp(-t / 0.1)) * release;
        const double wobble = 1.0 + (t > 0.3 ? 0.005 * vibrato.Sine(5.5) : 0.0);
        const double f = frequency * wobble;
        const float tone = 0.5f * (one.Saw(f * 1.0017) + two.Saw(f / 1.0017));
        out[i] += float(level * swell) * filter.Low(tone, 400.0 + 3000.0 * swell, 1.2);
    }
}

Samples Winner()
{
    const double seconds = 3.2;
    Samples out(size_t(SampleCount(seconds)), 0.0f);
    // C4, E4, G4 rising to C5, then the whole chord held.
    AddBrass(out, 0.00, 0.16, 261.63, 0.5);
    AddBrass(out, 0.18, 0.16, 329.63, 0.5);
    AddBrass(out, 0.36, 0.16, 392.00, 0.5);
    for (double note : {261.63, 329.63, 392.00, 523.25})
    {
        AddBrass(out, 0.54, 1.9, note, 0.35);
    }
    // A drum under the held chord.
    NoiseSource noise(1010);
    Oscillator drum;
    Filter skin;
    const size_t start = size_t(SampleCount(0.54));
    for (size_t i = start; i < out.size(); i++)
    {
        const double t = TimeOf(int(i - start));
        out[i] += 0.6f * AttackDecay(t, 0.002, 0.25) * drum.Sine(Glide(t, 90.0, 70.0, 0.2));
        out[i] += 0.25f * AttackDecay(t, 0.001, 0.06) * skin.Low(noise.White(), 1500.0);
    }
    for (float& s : out)
    {
        s = Saturate(s, 1.2f);
    }
    out = Room(out, 1.2, 1.6, 0.25f);
    Finish(out, 0.6f, 0.002, 0.3);
    return out;
}

Samples Ambient()
{
    // A slow drone of space: low detuned tones under a breathing filter, and
    // a faint wind. Every slow change completes whole cycles in the loop.
    const double loop = 6.0;
    const double overlap = 0.5;
    const double seconds = loop + overlap;
    NoiseSource noise(1111);
    Oscillator tones[6] = {Oscillator(0.0), Oscillator(0.3), Oscillator(0.6),
                           Oscillator(0.1), Oscillator(0.5), Oscillator(0.8)};
    const double pitches[6] = {55.0, 55.3, 82.4, 110.2, 164.8, 220.4};
    const double levels[6] = {0.5, 0.4, 0.35, 0.3, 0.15, 0.08};
    Oscillator shimmer;
    Filter pad, wind;
    Samples out(size_t(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); i++)
    {
        const double t = TimeOf(int(i));
        const double breath = std::sin(2.0 * kPi * t / loop);
        float drone = 0.0f;
        for (int k = 0; k < 6; k++)
        {
            drone += float(levels[k]) * (k % 2 == 0 ? tones[k].Saw(pitches[k]) : tones[k].Sine(pitches[k]));
        }
        drone = pad.Low(drone, 600.0 + 300.0 * breath, 1.5);
        const double gust = 0.6 + 0.4 * std::sin(2.0 * kPi * 2.0 * t / loop + 1.0);
        const float air = 0.3f * float(gust) *
                          wind.Band(noise.Pink(), 800.0 + 500.0 * std::sin(2.0 * kPi * 2.0 * t / loop), 1.2);
        const double glint = std::sin(kPi * t / loop);
        const float high = 0.05f * float(glint * glint) * shimmer.Sine(880.0);
        out[i] = drone + air + high;
    }
    LoopSeamlessly(out, overlap);
    Normalize(out, 0.14f);
    return out;
}

} // namespace

std::vector<SynthesisedSound> BuildSounds()
{
    return {
        {"beam-fire", BeamFire()},   {"gun-fire", GunFire()},
        {"bullet-hit", BulletHit()}, {"beam-hit", BeamHit()},
        {"hull-break", HullBreak()}, {"ship-destroyed", ShipDestroyed()},
        {"explosion", Explosion()},  {"fighter-launch", FighterLaunch()},
        {"order", OrderBlip()},      {"click", Click()},
        {"hand-over", HandOver()},   {"winner", Winner()},
        {"ambient", Ambient()},
    };
}
