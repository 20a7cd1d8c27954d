#include "app/Startup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <string>

#include "app/DisplayMode.h"
#include "app/FatalError.h"
#include "app/FrameSwap.h"

Vector gDirectionTable[kDirectionCount];
float gAnimationTime = 0.0f;

void InitVideo()
{
    // Without a display nothing later can work, and SDL itself would crash in
    // SDL_GL_SetAttribute after a failed start, or leave the program without
    // an OpenGL context (a driver without OpenGL) to crash at the first
    // texture. Both end here with a message that says what is missing.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0)
    {
        FatalError(std::string("No display: SDL cannot start its video (") + SDL_GetError() + ")");
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_WM_SetCaption("Korvane", "Korvane");
    const SDL_Surface* screen =
        SDL_SetVideoMode(kScreenWidth, kScreenHeight, 32, VideoModeFlags(StartDisplayMode()));
    if (screen == nullptr || !(screen->flags & SDL_OPENGL))
    {
        char driver[32] = "unknown";
        SDL_VideoDriverName(driver, sizeof(driver));
        FatalError(std::string("No OpenGL display: the ") + driver +
                   " video driver cannot open an 800x600 OpenGL window (" + SDL_GetError() + ")");
    }
    HideSystemPointer();
}

void InitRenderState()
{
    glEnable(GL_DEPTH_TEST);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, kScreenWidth, kScreenHeight);
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 500.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Fog is configured once here; the scene pass switches it on and off.
    const GLfloat fogColour[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, 0.35f);
    glFogf(GL_FOG_START, 10.0f);
    glFogf(GL_FOG_END, 500.0f);

    // The neutral stencil state: drawing changes nothing in the stencil buffer
    // until a pickable thing sets its own reference and GL_REPLACE.
    glStencilFunc(GL_ALWAYS, 0, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_STENCIL_TEST);

    glEnable(GL_CULL_FACE);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    CheckGLError("Initialization :");
    SwapFrame();
}

void BuildDirectionTable()
{
    // Floating-point angle loops, as the table is defined: 16 longitudes by
    // 9 latitudes, poles included.
    int index = 0;
    for (float lon = 0.0f; lon < 360.0f; lon += 22.5f)
    {
        for (float lat = -90.0f; lat <= 90.0f; lat += 22.5f)
        {
            const double lonRad = lon * kDegToRad;
            const double latRad = lat * kDegToRad;
            gDirectionTable[index++] =
                Vector(float(std::sin(lonRad) * std::cos(latRad)), float(std::sin(latRad)),
                       float(std::cos(lonRad) * std::cos(latRad)));
        }
    }
}

Uint32 TimerTick(Uint32 interval, void* /*param*/)
{
    SDL_Event event;
    event.type = SDL_USEREVENT;
    event.user.code = kTickCode;
    event.user.data1 = nullptr;
    event.user.data2 = nullptr;
    SDL_PushEvent(&event);
    return interval;
}

bool IsTickEvent(const SDL_Event& event)
{
    return event.type == SDL_USEREVENT && event.user.code == kTickCode;
}

void OpenDisplay()
{
    InitVideo();
    InitRenderState();
    BuildDirectionTable();
}
