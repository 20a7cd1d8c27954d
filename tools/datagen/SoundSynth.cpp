#include "SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

// The polyBLEP residual that smooths a step at phase 0 of an oscillator
// advancing dt per sample.
double PolyBlep(double t, double dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt)
    {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

void PutLittleEndian(std::FILE* file, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
    {
        std::fputc(int((value >> (8 * i)) & 0xff), file);
    }
}

} // namespace

int SampleCount(double seconds)
{
    return int(std::lround(seconds * kSoundRate));
}

void Oscillator::Advance(double frequency)
{
    phase += frequency / kSoundRate;
    phase -= std::floor(phase);
}

float Oscillator::Sine(double frequency)
{
    const double value = std::sin(2.0 * kPi * phase);
    Advance(frequency);
    return float(value);
}

float Oscillator::Triangle(double frequency)
{
    const double value = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
    Advance(frequency);
    return float(value);
}

float Oscillator::Saw(double frequency)
{
    const double dt = std::min(0.5, frequency / kSoundRate);
    const double value = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
    Advance(frequency);
    return float(value);
}

float Oscillator::Pulse(double frequency, double width)
{
    const double dt = std::min(0.5, frequency / kSoundRate);
    double value = phase < width ? 1.0 : -1.0;
    value += PolyBlep(phase, dt);
    double falling = phase - width;
    falling -= std::floor(falling);
    value -= PolyBlep(falling, dt);
    Advance(frequency);
    return float(value);
}

float NoiseSource::White()
{
    return sequence.Next() * 2.0f - 1.0f;
}

float NoiseSource::Pink()
{
    // Paul Kellet's economy filter bank over white noise.
    const float white = White();
    pink[0] = 0.99886f * pink[0] + white * 0.0555179f;
    pink[1] = 0.99332f * pink[1] + white * 0.0750759f;
    pink[2] = 0.96900f * pink[2] + white * 0.1538520f;
    pink[3] = 0.86650f * pink[3] + white * 0.3104856f;
    pink[4] = 0.55000f * pink[4] + white * 0.5329522f;
    pink[5] = -0.7616f * pink[5] - white * 0.0168980f;
    const float value = pink[0] + pink[1] + pink[2] + pink[3] + pink[4] + pink[5] + pink[6] + white * 0.5362f;
    pink[6] = white * 0.115926f;
    return value * 0.11f;
}

float NoiseSource::Brown()
{
    brown = (brown + 0.02f * White()) / 1.02f;
    return std::clamp(brown * 3.5f, -1.0f, 1.0f);
}

Filter::Outputs Filter::Run(float input, double cutoff, double resonance)
{
    const double fc = std::clamp(cutoff, 10.0, 0.45 * kSoundRate);
    const double g = std::tan(kPi * fc / kSoundRate);
    const double k = 1.0 / std::max(0.1, resonance);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = input - state2;
    const double v1 = a1 * state1 + a2 * v3;
    const double v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0 * v1 - state1;
    state2 = 2.0 * v2 - state2;
    return {float(v2), float(v1), float(input - k * v1 - v2)};
}

float AttackDecay(double t, double attack, double decay)
{
    if (t < 0.0)
    {
        return 0.0f;
    }
    if (t < attack)
    {
        return float(t / attack);
    }
    return float(std::exp(-(t - attack) / decay));
}

float Segments(double t, const std::vector<std::pair<double, double>>& points)
{
    if (points.empty())
    {
        return 0.0f;
    }
    if (t <= points.front().first)
    {
        return float(points.front().second);
    }
    for (size_t i = 1; i < points.size(); i++)
    {
        if (t <= points[i].first)
        {
            const double span = points[i].first - points[i - 1].first;
            const double u = span > 0.0 ? (t - points[i - 1].first) / span : 1.0;
            return float(points[i - 1].second + u * (points[i].second - points[i - 1].second));
        }
    }
    return float(points.back().second);
}

double Glide(double t, double a, double b, double time)
{
    if (t >= time)
    {
        return b;
    }
    return a * std::pow(b / a, std::max(0.0, t) / time);
}

float Saturate(float x, float drive)
{
    return float(std::tanh(double(x) * drive) / std::tanh(double(drive)));
}

void MixInto(Samples& into, const Samples& what, float gain, double atSeconds)
{
    const size_t start = size_t(std::max(0, SampleCount(atSeconds)));
    if (into.size() < start + what.size())
    {
        into.resize(start + what.size(), 0.0f);
    }
    for (size_t i = 0; i < what.size(); i++)
    {
        into[start + i] += gain * what[i];
    }
}

Samples Room(const Samples& dry, double size, double decay, float wet)
{
    // Four damped feedback combs in parallel, then two all-passes in series
    // (Schroeder's reverberator), with delays scaled by the room's size.
    const double combDelays[4] = {0.0297, 0.0371, 0.0411, 0.0437};
    const double allPassDelays[2] = {0.0050, 0.0017};
    const int tail = SampleCount(decay * 1.2);
    Samples out(dry.size() + size_t(tail), 0.0f);
    Samples reverb(out.size(), 0.0f);
    for (double delaySeconds : combDelays)
    {
        const int delay = std::max(1, SampleCount(delaySeconds * size));
        const double feedback = std::pow(0.001, delaySeconds * size / decay);
        std::vector<float> line(size_t(delay), 0.0f);
        float damped = 0.0f;
        for (size_t i = 0; i < out.size(); i++)
        {
            const float input = i < dry.size() ? dry[i] : 0.0f;
            const float delayed = line[i % size_t(delay)];
            damped = 0.6f * delayed + 0.4f * damped;
            line[i % size_t(delay)] = input + float(feedback) * damped;
            reverb[i] += 0.25f * delayed;
        }
    }
    for (double delaySeconds : allPassDelays)
    {
        const int delay = std::max(1, SampleCount(delaySeconds * size));
        std::vector<float> line(size_t(delay), 0.0f);
        for (size_t i = 0; i < reverb.size(); i++)
        {
            const float delayed = line[i % size_t(delay)];
            const float input = reverb[i];
            line[i % size_t(delay)] = input + 0.5f * delayed;
            reverb[i] = delayed - 0.5f * input;
        }
    }
    for (size_t i = 0; i < out.size(); i++)
    {
        out[i] = (i < dry.size() ? dry[i] : 0.0f) + wet * reverb[i];
    }
    return out;
}

void Finish(Samples& samples, float peak, double fadeIn, double fadeOut)
{
    // A one-pole high-pass at 20 Hz: saturated thumps leave an offset that
    // would only waste headroom in the mix.
    const double pole = std::exp(-2.0 * kPi * 20.0 / kSoundRate);
    double previousIn = 0.0;
    double previousOut = 0.0;
    float largest = 0.0f;
    for (float& s : samples)
    {
        const double out = pole * (previousOut + s - previousIn);
        previousIn = s;
        previousOut = out;
        s = float(out);
        largest = std::max(largest, std::fabs(s));
    }
    // The tail ends where it has fallen 60 dB below the peak.
    size_t end = samples.size();
    while (end > 1 && std::fabs(samples[end - 1]) < 0.001f * largest)
    {
        end--;
    }
    samples.resize(end);
    Normalize(samples, peak);
    SoftenEdges(samples, fadeIn, fadeOut);
}

void Normalize(Samples& samples, float peak)
{
    float largest = 0.0f;
    for (float s : samples)
    {
        largest = std::max(largest, std::fabs(s));
    }
    if (largest > 0.0f)
    {
        for (float& s : samples)
        {
            s *= peak / largest;
        }
    }
}

void SoftenEdges(Samples& samples, double fadeIn, double fadeOut)
{
    const int n = int(samples.size());
    const int in = std::min(n, SampleCount(fadeIn));
    const int out = std::min(n, SampleCount(fadeOut));
    for (int i = 0; i < in; i++)
    {
        samples[size_t(i)] *= float(i) / float(in);
    }
    for (int i = 0; i < out; i++)
    {
        samples[size_t(n - 1 - i)] *= float(i) / float(out);
    }
}

void LoopSeamlessly(Samples& samples, double overlap)
{
    const int n = int(samples.size());
    const int m = std::min(n / 2, SampleCount(overlap));
    for (int i = 0; i < m; i++)
    {
        // Equal power: the tail fades out over the head as the head fades in.
        const double u = (double(i) + 0.5) / m;
        const double in = std::sin(0.5 * kPi * u);
        const double out = std::cos(0.5 * kPi * u);
        samples[size_t(i)] = float(in * samples[size_t(i)] + out * samples[size_t(n - m + i)]);
    }
    samples.resize(size_t(n - m));
}

bool WriteWav(const std::string& path, const Samples& samples)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::fputs("RIFF", file);
    PutLittleEndian(file, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", file);
    PutLittleEndian(file, 16, 4);             // size of the format block
    PutLittleEndian(file, 1, 2);              // PCM
    PutLittleEndian(file, 1, 2);              // mono
    PutLittleEndian(file, kSoundRate, 4);     // frames a second
    PutLittleEndian(file, kSoundRate * 2, 4); // bytes a second
    PutLittleEndian(file, 2, 2);              // bytes a frame
    PutLittleEndian(file, 16, 2);             // bits a sample
    std::fputs("data", file);
    PutLittleEndian(file, dataBytes, 4);
    for (float s : samples)
    {
        const long value = std::lround(std::clamp(double(s), -1.0, 1.0) * 32767.0);
        PutLittleEndian(file, uint32_t(int32_t(value)), 2);
    }
    return std::fclose(file) == 0;
}
