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
// Then the scan tries every other sound file at every block against what is
// left of the output there, takes the one that explains the most anywhere
// if that is a good part of what is left at its block, subtracts it at the
// level found, and tries again, until nothing is found. Where no file
// explains a good part on its own, the files that each explain some of one
// block are fitted to it together and taken together if between them they
// do: a ship's death, its face breaking and its explosions start in the same
// tick, and at times each is only a third of the sound there. Each sound
// found is one line on standard output:
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
// Sounds that start in the same block share its energy: a ship's death, its
// face breaking and one to three explosions start in one tick, and each may
// explain less than kExplained on its own. Those explaining at least this
// much are then fitted together, and count when together they explain
// kExplained.
constexpr double kPartExplained = 0.15;
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

// The levels at which several sound files, all started at `block`, together
// explain most of what is left there (least squares, each channel on its
// own), and the share of the energy they explain. False when the fit fails.
bool FitTogether(const std::vector<double>& left, const std::vector<double>& right, size_t block,
                 const std::vector<const Template*>& sounds, std::vector<Score>& levels, double& share)
{
    const size_t count = sounds.size();
    size_t n = left.size() - block;
    for (const Template* t : sounds)
    {
        n = std::min(n, t->window);
    }
    std::vector<std::vector<double>> gram(count, std::vector<double>(count, 0.0));
    std::vector<double> cl(count, 0.0), cr(count, 0.0);
    double energy = 0.0;
    for (size_t i = 0; i < n; i++)
    {
        energy += left[block + i] * left[block + i] + right[block + i] * right[block + i];
        for (size_t a = 0; a < count; a++)
        {
            const double ta = sounds[a]->samples[i];
            cl[a] += left[block + i] * ta;
            cr[a] += right[block + i] * ta;
            for (size_t b = 0; b < count; b++)
            {
                gram[a][b] += ta * sounds[b]->samples[i];
            }
        }
    }
    std::vector<double> l = cl, r = cr;
    if (!Solve(gram, l) || !Solve(gram, r))
    {
        return false;
    }
    levels.assign(count, Score());
    double explained = 0.0;
    for (size_t a = 0; a < count; a++)
    {
        levels[a].left = l[a];
        levels[a].right = r[a];
        explained += l[a] * cl[a] + r[a] * cr[a];
    }
    share = energy > 0.0 ? explained / energy : 0.0;
    return true;
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
            // Only the blocks whose window overlaps [from, to).
            for (size_t k = 0; k < templates.size() && blocks[b] + kWindow > from && blocks[b] < to; k++)
            {
                scores[b][k] = ScoreAt(left, right, blocks[b], templates[k]);
            }
        }
    };
    rescore(0, frames);

    std::map<std::pair<size_t, size_t>, std::pair<double, double>> found; // (frame, template) -> levels
    auto take = [&](size_t block, size_t k, const Score& score)
    {
        const Template& t = templates[k];
        for (size_t i = 0; i < t.samples.size() && block + i < frames; i++)
        {
            left[block + i] -= score.left * t.samples[i];
            right[block + i] -= score.right * t.samples[i];
        }
        // A second look at the same sound only corrects its level.
        std::pair<double, double>& levels = found[{block, k}];
        levels.first += score.left;
        levels.second += score.right;
        rescore(block, block + t.samples.size());
    };
    // Where no sound explains enough on its own: the first block at which
    // those that each explain a part explain enough together, all taken.
    auto findTogether = [&]()
    {
        for (size_t b = 0; b < blocks.size(); b++)
        {
            std::vector<size_t> parts;
            std::vector<const Template*> sounds;
            for (size_t k = 0; k < templates.size(); k++)
            {
                if (scores[b][k].share >= kPartExplained)
                {
                    parts.push_back(k);
                    sounds.push_back(&templates[k]);
                }
            }
            std::vector<Score> levels;
            double share = 0.0;
            if (parts.size() < 2 || !FitTogether(left, right, blocks[b], sounds, levels, share) ||
                share < kExplained)
            {
                continue;
            }
            bool heard = true;
            for (const Score& level : levels)
            {
                heard = heard && std::min(level.left, level.right) > 0.0 &&
                        std::max(level.left, level.right) >= kLeastLevel;
            }
            if (!heard)
            {
                continue;
            }
            for (size_t i = 0; i < parts.size(); i++)
            {
                take(blocks[b], parts[i], levels[i]);
            }
            return true;
        }
        return false;
    };
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
        if (bestExplained > 0.0)
        {
            take(blocks[bestBlock], bestTemplate, scores[bestBlock][bestTemplate]);
        }
        else if (!findTogether())
        {
            break;
        }
    }
    for (const auto& [at, levels] : found)
    {
        std::printf("%zu %s %.4f %.4f\n", at.first, templates[at.second].name.c_str(), levels.first,
                    levels.second);
    }
    return 0;
}
