#include "app/FatalError.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>

#include "app/Platform.h"

namespace
{
int gFatalExitStatus = 0;
}

void SetFatalExitStatus(int status)
{
    gFatalExitStatus = status;
}

void FatalError(const char* message)
{
    SDL_Quit();
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
    WaitForConsoleKey();
    std::exit(gFatalExitStatus);
}

void FatalError(const std::string& message)
{
    FatalError(message.c_str());
}

void CheckGLError(const char* label)
{
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR)
    {
        return;
    }
    const GLubyte* text = gluErrorString(error);
    std::string message = label;
    message += text ? reinterpret_cast<const char*>(text) : "unknown error";
    FatalError(message);
}
