#ifndef KORVANE_TOOLS_AUTOPLAYOPTIONS_H
#define KORVANE_TOOLS_AUTOPLAYOPTIONS_H

#include <cstdint>
#include <string>

// The command line of korvane-autoplay.
struct AutoplayOptions
{
    std::string map = "map1"; // a map under Models/Maps/
    int players = 2;          // 2 to 4
    uint32_t seed = 1;        // the game's generator and the scripted players' choices
    int maxRounds = 50;       // no winner after this many rounds: "winner none"
    bool watch = false;       // draw every tick through the game's frame drawing
    bool help = false;
    int saveAtRound = 0; // stop at the hand-over before this round, its snapshot written to saveFile
    std::string saveFile;
    std::string resumeFile;     // play on from this snapshot instead of a new game
    std::string snapshotFolder; // a snapshot at every hand-over between rounds, as round-R.korvane
};

extern const char* const kAutoplayUsage;

// Reads the options after the program name. On a bad option returns false
// with a one-line reason in error.
bool ParseAutoplayOptions(int argc, const char* const argv[], AutoplayOptions& options, std::string& error);

#endif
