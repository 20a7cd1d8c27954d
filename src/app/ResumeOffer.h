#ifndef KORVANE_APP_RESUMEOFFER_H
#define KORVANE_APP_RESUMEOFFER_H

#include <string>
#include <vector>

#include "ui/Font.h"

// What the set-up menu offers of the saved games: the newest autosave that
// can be read, as a "Resume" button with the map, players and round it
// holds, and a line for a newer one that cannot be read.

// The stencil id of the "Resume" button.
constexpr unsigned kResumeButtonId = 98;

struct ResumeOffer
{
    std::string file;        // the save the button resumes; empty: no button
    std::string description; // "map2, 3 players, round 4"
    std::string problem;     // "Saved game cannot be read: <file>: <what>"; empty: none
    size_t problemSplit = 0; // where <what> starts in problem: a long line is drawn as two
};

// Looks at the autosaves of the folder, newest first: the first that reads
// (header, contents and their checks, and its map file present in the working
// directory) is offered; the first that does not gives the problem line, when
// it is newer than the one offered. Reads the files only; leaves them as
// they are. An empty folder name or no save at all offers nothing.
ResumeOffer FindResumeOffer(const std::string& folder);

// The "Saved game cannot be read: ..." line for a file and what is wrong.
std::string CannotReadLine(const std::string& file, const std::string& what);

// Draws the offer under "Begin": the button (writing kResumeButtonId into the
// stencil buffer), the description and the problem line. Nothing when there
// is neither a save nor a problem. Expects the menu's 2D state.
void DrawResumeOffer(const Font& font, const ResumeOffer& offer);

#endif
