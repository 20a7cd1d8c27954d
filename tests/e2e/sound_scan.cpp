// korvane_sound_scan: finds the game's sounds in the mixed output that SDL's
// disk driver wrote while the game played.
//
//   korvane_sound_scan <output.raw> <Sounds directory>
//
// The output is 16-bit stereo at 44100 frames a second, mixed in blocks of
// 2048 frames; SDL_mixer starts every sound at the beginning of a block.
//
// First the ambient loop goes: it starts the sound (the intro is silent),
// centred at full volume, so the first sounding block is exactly its first
// 2048 samples; from there it runs on block by block, looping, standing
// still through blocks of silence (muted, it pauses where it is), until it
// fades out for the winner. Where it is there at full level it is taken out
// exactly.
//
// Then at each block, in order, the scan tries every other sound file
// against what is left of the output there, takes the one that explains the
// most of it if that is a good part, subtracts it at the level found, and
// tries again; then it moves to the next block. Each sound found is one line
// on standard output:
//
//   <frame> <name> <left level> <right level>
//
// the levels being the factors by which the file appears in each channel (1
// for the file as written, centred and at full volume); the ambient loop's
// line gives the frame at which it started. Exit status 0, or 1 with a
// message when a file cannot be read.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "audio/MixedOutput.h"
#include "audio/Sound.h"

namespace
{

constexpr size_t kBlockFrames = 2048;
// The part of a sound that decides whether it is there: its first 0.37 s.
constexpr size_t kWindow = 16384;
// A sound counts as found when it explains this share of the energy left
// over its window, at a level a player would hear.
constexpr double kExplained = 0.3;
constexpr double kLeastLevel = 0.01;
// More than this many sounds would be a scan gone wrong.
constexpr int kMostSounds = 5000;

struct Template
{
    std::string name;
    std::vector<float> samples; // the whole file
    size_t window = 0;          // how much of it is compared
    double energy = 0.0;        // of the window
};

// How well a sound file, started at a frame, explains what is left there.
struct Score
{
    double left = 0.0; // the level of the file in each channel
    double right = 0.0;
    double explained = 0.0; // the energy it would take away
    double share = 0.0;     // that part of all the energy over its window
};

Score ScoreAt(const std::vector<double>& left, const std::vector<double>& right, size_t block,
              const Template& t)
{
    Score score;
    const size_t n = std::min(t.window, left.size() - block);
    double l = 0.0, r = 0.0, energy = 0.0;
    for (size_t i = 0; i < n; i++)
    {
        l += left[block + i] * t.samples[i];
        r += right[block + i] * t.samples[i];
        energy += left[block + i] * left[block + i] + right[block + i] * right[block + i];
    }
    if (energy > 0.0)
    {
        score.left = l / t.energy;
        score.right = r / t.energy;
        score.explained = (l * l + r * r) / t.energy;
        score.share = score.explained / energy;
    }
    return score;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: korvane_sound_scan <output.raw> <Sounds directory>\n");
        return 1;
    }
    MixedOutput output;
    if (!ReadOutput(argv[1], output))
    {
        std::fprintf(stderr, "korvane_sound_scan: cannot read %s\n", argv[1]);
        return 1;
    }
    const size_t frames = output.left.size();
    std::vector<double> left(output.left.begin(), output.left.end());
    std::vector<double> right(output.right.begin(), output.right.end());

    std::vector<Template> templates;
    for (int k = 0; k < kSoundCount; k++)
    {
        const std::string path = std::string(argv[2]) + "/" + SoundName(Sound(k)) + ".wav";
        Template t;
        t.name = SoundName(Sound(k));
        if (!ReadSamples(path, t.samples))
        {
            std::fprintf(stderr, "korvane_sound_scan: cannot read %s\n", path.c_str());
            return 1;
        }
        t.window = std::min(t.samples.size(), kWindow);
        for (size_t i = 0; i < t.window; i++)
        {
            t.energy += double(t.samples[i]) * t.samples[i];
        }
        templates.push_back(t);
    }

    // The ambient loop, the last of the sounds, is taken out first and on its own.
    const std::vector<float> ambient = templates.back().samples;
    templates.pop_back();
    if (ambient.size() < kBlockFrames)
    {
        std::fprintf(stderr, "korvane_sound_scan: the ambient loop is shorter than a block\n");
        return 1;
    }
    size_t start = 0;
    while (start < frames && left[start] == 0.0 && right[start] == 0.0)
    {
        start++;
    }
    start -= start % kBlockFrames;
    bool looping = start + kBlockFrames <= frames;
    for (size_t i = 0; i < kBlockFrames && looping; i++)
    {
        looping = left[start + i] == ambient[i] && right[start + i] == ambient[i];
    }
    if (looping)
    {
        std::printf("%zu ambient 1.0000 1.0000\n", start);
        size_t phase = 0;
        for (size_t block = start; block < frames; block += kBlockFrames)
        {
            const size_t n = std::min(kBlockFrames, frames - block);
            double with = 0.0, without = 0.0;
            for (size_t i = 0; i < n; i++)
            {
                const double a = ambient[(phase + i) % ambient.size()];
                with += (left[block + i] - a) * (left[block + i] - a) +
                        (right[block + i] - a) * (right[block + i] - a);
                without += left[block + i] * left[block + i] + right[block + i] * right[block + i];
            }
            if (without == 0.0)
            {
                continue; // silence: paused
            }
            if (with < without)
            {
                for (size_t i = 0; i < n; i++)
                {
                    left[block + i] -= ambient[(phase + i) % ambient.size()];
                    right[block + i] -= ambient[(phase + i) % ambient.size()];
                }
            }
            phase += n;
        }
    }

    // Matching pursuit over every block at once: the sound that explains the
    // most energy anywhere goes first, so that a loud sound starting a block
    // after a quiet one does not hide it.
    std::vector<size_t> blocks;
    for (size_t block = 0; block < frames; block += kBlockFrames)
    {
        // Silence cannot be the start of a sound.
        bool quiet = true;
        for (size_t i = block; i < std::min(frames, block + kBlockFrames) && quiet; i++)
        {
            quiet = left[i] == 0.0 && right[i] == 0.0;
        }
        if (!quiet)
        {
            blocks.push_back(block);
        }
    }
    std::vector<std::vector<Score>> scores(blocks.size(), std::vector<Score>(templates.size()));
    auto rescore = [&](size_t from, size_t to)
    {
        for (size_t b = 0; b < blocks.size(); b++)
        {
            if (blocks[b] + kWindow <= from || blocks[b] >= to)
            {
                continue;
            }
            for (size_t k = 0; k < templates.size(); k++)
            {
                scores[b][k] = ScoreAt(left, right, blocks[b], templates[k]);
            }
        }
    };
    rescore(0, frames);

    std::map<std::pair<size_t, size_t>, std::pair<double, double>> found; // (frame, template) -> levels
    for (int round = 0; round < kMostSounds; round++)
    {
        size_t bestBlock = 0, bestTemplate = 0;
        double bestExplained = 0.0;
        for (size_t b = 0; b < blocks.size(); b++)
        {
            for (size_t k = 0; k < templates.size(); k++)
            {
                const Score& score = scores[b][k];
                if (score.share >= kExplained && std::max(score.left, score.right) >= kLeastLevel &&
                    score.explained > bestExplained)
                {
                    bestBlock = b;
                    bestTemplate = k;
                    bestExplained = score.explained;
                }
            }
        }
        if (bestExplained <= 0.0)
        {
            break;
        }
        const size_t block = blocks[bestBlock];
        const Template& t = templates[bestTemplate];
        const Score score = scores[bestBlock][bestTemplate];
        for (size_t i = 0; i < t.samples.size() && block + i < frames; i++)
        {
            left[block + i] -= score.left * t.samples[i];
            right[block + i] -= score.right * t.samples[i];
        }
        // A second look at the same sound only corrects its level.
        std::pair<double, double>& levels = found[{block, bestTemplate}];
        levels.first += score.left;
        levels.second += score.right;
        rescore(block, block + t.samples.size());
    }
    for (const auto& [at, levels] : found)
    {
        std::printf("%zu %s %.4f %.4f\n", at.first, templates[at.second].name.c_str(), levels.first,
                    levels.second);
    }
    return 0;
}
