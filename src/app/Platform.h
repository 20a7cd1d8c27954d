#ifndef KORVANE_APP_PLATFORM_H
#define KORVANE_APP_PLATFORM_H

#include <string>
#include <vector>

// The few services the game needs from its host: file listing by wildcard,
// a key press on the console, and the mapping of backslash paths.

// True when name matches pattern: '?' matches one character, '*' any run
// (including none); everything else matches itself.
bool MatchWildcard(const std::string& pattern, const std::string& name);

// The plain files in the pattern's directory (the part before the last '/',
// or the working directory) whose names match the pattern's last part,
// sorted by name. Directories are skipped. `anyMatch` is set when any entry,
// file or directory, matched at all.
std::vector<std::string> FindMatchingFiles(const std::string& pattern, bool* anyMatch = nullptr);

// The names of the plain files that match the pattern, each cut at its first
// '.', each written as a line to standard error. If nothing matches at all
// the program ends with "Error finding files of type " and the pattern.
std::vector<std::string> ListFiles(std::string pattern);

// Some file names are built with a backslash separator ("Textures\beam.bmp");
// on this host they name the same directories as forward-slash paths.
std::string NativePath(const std::string& path);

// Blocks until one key is pressed on the console. Returns at once when there
// is no console: standard input is not a terminal or is at end of file.
void WaitForConsoleKey();

#endif
