#ifndef KORVANE_BENCH_BENCHDISPLAY_H
#define KORVANE_BENCH_BENCHDISPLAY_H

#include <unistd.h>

#include "app/HeapPolicy.h"
#include "app/Startup.h"

// Opens the game's display once per benchmark program, in the generated data
// directory that the game's files are read from, with the heap policy the
// game's main sets first (benchmark_main is not ours). Returns whether it is
// open; a display that cannot be opened ends the program with its message.
inline bool OpenBenchDisplay()
{
    static const bool open = []
    {
        if (chdir(KORVANE_DATA_DIR) != 0)
        {
            return false;
        }
        KeepFreedHeapForFrames();
        OpenDisplay();
        return true;
    }();
    return open;
}

#endif
