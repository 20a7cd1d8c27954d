#ifndef KORVANE_APP_ERRORLINES_H
#define KORVANE_APP_ERRORLINES_H

// How the process writes its standard error, for the whole process. Programs
// that share their standard error with another process call this first thing
// in main.

// The game shares its standard error with the relay it starts when it hosts a
// network game, and the two write at the same moments (a machine leaving and
// the relay logging it). Written piece by piece, as the C++ stream writes each
// `<<` by default, a line of one is cut by a line of the other and neither can
// be read or matched any more. This makes both std::cerr and stderr hand each
// whole line to the system in one write. Nothing written changes; a line
// without its newline waits for it (or for a flush, or the end of the program).
void WriteErrorsLineByLine();

#endif
