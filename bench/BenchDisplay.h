#ifndef KORVANE_BENCH_BENCHDISPLAY_H
#define KORVANE_BENCH_BENCHDISPLAY_H

#include <unistd.h>

#include "app/Startup.h"

// Opens the game's display once per benchmark program, in the generated data
// directory that the game's files are read from. Returns whether it is open.
inline bool OpenBenchDisplay()
{
    static const bool open = chdir(KORVANE_DATA_DIR) == 0 && OpenDisplay();
    return open;
}

#endif
