#include <SDL/SDL.h>

#include "app/GameFlow.h"
#include "app/Startup.h"

int main(int /*argc*/, char* /*argv*/[])
{
    InitVideo();
    InitRenderState();
    BuildDirectionTable();
    RunGame();
    SDL_Quit();
    return 0;
}
