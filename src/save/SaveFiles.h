#ifndef KORVANE_SAVE_SAVEFILES_H
#define KORVANE_SAVE_SAVEFILES_H

#include <cstdint>
#include <string>
#include <vector>

class Game;

// Saved games on disk: the saves folder, the autosaves kept in it, and
// writing a file so that a crash at any moment leaves the previous one whole.

// A save file larger than this is refused unread.
constexpr size_t kMaxSaveFileSize = 64u << 20;

// The autosaves, newest first: the last one and the two before it.
constexpr int kAutosavesKept = 3;

// $XDG_DATA_HOME/korvane/saves when XDG_DATA_HOME is an absolute path, else
// $HOME/.local/share/korvane/saves; empty when neither gives a folder.
std::string SaveFolder();

// The autosave files of a folder, newest first: autosave.korvane,
// autosave-1.korvane, autosave-2.korvane.
std::vector<std::string> AutosavePaths(const std::string& folder);

// Makes the folder and its parents (mode 0700 for those it makes).
bool MakeFolders(const std::string& folder, std::string& error);

// Writes bytes to path through a temporary file in the same folder, flushed
// to the disk and renamed over path, so that path holds either its old
// contents or the new ones, whole.
bool WriteFileWhole(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Reads a whole file of at most kMaxSaveFileSize bytes.
bool ReadSaveFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Writes the snapshot of the game as the newest autosave of the folder: the
// older ones move down a place and the oldest beyond kAutosavesKept goes.
// The new file is written whole before anything is renamed.
bool WriteAutosave(const Game& game, const std::string& folder, std::string& error);

// At a hand-over of the turn cycle: the autosave into SaveFolder(), unless
// the game is over (a game won leaves no autosave behind: it is over, there
// is nothing to resume). A save that cannot be written is reported on
// standard error and the game goes on.
void AutosaveAtHandOver(const Game& game);

#endif
