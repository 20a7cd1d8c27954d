#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/DisplayMode.h"
#include "app/ErrorLines.h"
#include "app/GameFlow.h"
#include "app/HeapPolicy.h"
#include "app/Startup.h"

int main(int argc, char* argv[])
{
    // The relay this game starts when it hosts writes its lines beside ours.
    WriteErrorsLineByLine();
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action != CommandLine::Action::Play)
    {
        return AnswerCommandLine(line);
    }
    SetStartDisplayMode(line.window ? DisplayMode::Window : DisplayMode::FullScreen);

    // Process-wide: the heap keeps what the OpenGL driver frees after every
    // frame, instead of faulting it in again for the next one.
    KeepFreedHeapForFrames();
    InitVideo();
    InitRenderState();
    BuildDirectionTable();
    const int status = RunGame(line.net);
    SDL_Quit();
    return status;
}
