#ifndef KORVANE_APP_HEAPPOLICY_H
#define KORVANE_APP_HEAPPOLICY_H

// How the C library's heap treats memory given back to it, for the whole
// process. Programs that draw frames as the game does call this first thing in
// main.

// A software OpenGL driver allocates and frees its per-frame buffers in the
// heap: up to about 13 MB a frame in the sensor view. By default the C library
// gives the freed top of the heap back to the system after every frame, and
// the next frame pays a page fault for every 4 kB it takes again (25 ms of a
// 35 ms frame on our machines). This keeps up to 64 MB of freed heap and
// serves blocks up to 4 MB from it, so that those frames reuse the same
// memory. Nothing is computed or drawn differently. Does nothing outside glibc.
void KeepFreedHeapForFrames();

#endif
