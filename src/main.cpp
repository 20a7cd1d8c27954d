#include <SDL/SDL.h>

#include "app/GameFlow.h"
#include "app/HeapPolicy.h"
#include "app/Startup.h"

int main(int /*argc*/, char* /*argv*/[])
{
    // Process-wide: the heap keeps what the OpenGL driver frees after every
    // frame, instead of faulting it in again for the next one.
    KeepFreedHeapForFrames();
    InitVideo();
    InitRenderState();
    BuildDirectionTable();
    RunGame();
    SDL_Quit();
    return 0;
}
