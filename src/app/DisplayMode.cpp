#include "app/DisplayMode.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/FatalError.h"

namespace
{

DisplayMode gStartMode = DisplayMode::FullScreen;
// How many WindowCloseCatch live.
int gWindowCloseCatches = 0;

bool IsAltKey(SDLKey key)
{
    return key == SDLK_LALT || key == SDLK_RALT;
}

bool IsKeyEvent(const SDL_Event& event)
{
    return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
}

} // namespace

void SetStartDisplayMode(DisplayMode mode)
{
    gStartMode = mode;
}

DisplayMode StartDisplayMode()
{
    return gStartMode;
}

Uint32 VideoModeFlags(DisplayMode mode)
{
    return mode == DisplayMode::FullScreen ? SDL_OPENGL | SDL_FULLSCREEN : SDL_OPENGL;
}

DisplayMode CurrentDisplayMode()
{
    const SDL_Surface* screen = SDL_GetVideoSurface();
    return screen == nullptr || (screen->flags & SDL_FULLSCREEN) ? DisplayMode::FullScreen
                                                                 : DisplayMode::Window;
}

bool ToggleDisplayMode()
{
    // SDL_WM_ToggleFullScreen changes the mode of the window that holds the
    // OpenGL context. The other way alone, a second SDL_SetVideoMode, may make
    // a new context on some platforms and lose every texture and display list,
    // so where the toggle is not supported the mode stays as it is.
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen == nullptr)
    {
        return false;
    }
    if (SDL_WM_ToggleFullScreen(screen) == 0)
    {
        char driver[32] = "unknown";
        SDL_VideoDriverName(driver, sizeof(driver));
        std::fprintf(stderr,
                     "Alt+Enter: the %s video driver cannot switch between window and full screen; "
                     "start the game with or without --window instead\n",
                     driver);
        return false;
    }
    // The maintained SDL 1.2 sometimes keeps the layout of its scaled picture
    // from before the switch, leaving the picture a few rows off in the window
    // for good (seen in 2 of 5 end-to-end runs); the same mode set once more
    // lays it out anew. Both libraries keep the context through it under X11
    // (the display test checks textures and a display list across switches).
    screen = SDL_GetVideoSurface();
    if (SDL_SetVideoMode(screen->w, screen->h, 32, screen->flags & (SDL_OPENGL | SDL_FULLSCREEN)) == nullptr)
    {
        FatalError(std::string("Alt+Enter: the display could not be set up again (") + SDL_GetError() + ")");
    }
    return true;
}

bool IsDisplayToggle(const SDL_Event& event)
{
    return event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_RETURN &&
           (event.key.keysym.mod & KMOD_ALT);
}

bool IsDisplayKey(const SDL_Event& event)
{
    if (!IsKeyEvent(event))
    {
        return false;
    }
    const SDLKey key = event.key.keysym.sym;
    return IsAltKey(key) || (key == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT));
}

int HandleDisplayEvents(SDL_Event* events, int count)
{
    int kept = 0;
    for (int i = 0; i < count; i++)
    {
        const SDL_Event& event = events[i];
        if (event.type == SDL_QUIT)
        {
            // The window's close button (or an interrupt from the terminal).
            if (gWindowCloseCatches > 0)
            {
                throw WindowClosed();
            }
            SDL_Quit();
            std::exit(0);
        }
        if (IsDisplayToggle(event))
        {
            ToggleDisplayMode();
        }
        if (!IsDisplayKey(event))
        {
            events[kept++] = event;
        }
    }
    return kept;
}

WindowCloseCatch::WindowCloseCatch()
{
    gWindowCloseCatches++;
}

WindowCloseCatch::~WindowCloseCatch()
{
    gWindowCloseCatches--;
}

void HideSystemPointer()
{
    // An 8x8 cursor with every pixel transparent, kept for the program's life.
    static Uint8 data[8] = {};
    static Uint8 mask[8] = {};
    static SDL_Cursor* invisible = nullptr;
    if (invisible == nullptr)
    {
        invisible = SDL_CreateCursor(data, mask, 8, 8, 0, 0);
    }
    if (invisible != nullptr)
    {
        SDL_SetCursor(invisible);
    }
    else
    {
        SDL_ShowCursor(0);
    }
}
