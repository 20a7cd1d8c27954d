#include "weapons/AlphaTexture.h"

#include <SDL/SDL.h>

#include <fstream>

#include "app/FatalError.h"
#include "app/Platform.h"
#include "math/Random.h"

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

GLuint LoadAlphaTexture(const std::string& path, const TextureRule& rule)
{
    const std::string name = BaseName(path);
    SDL_Surface* surface = LoadBmpSurface(path);
    if (surface == nullptr)
    {
        if (!std::ifstream(NativePath(path)))
        {
            FatalError("Texture file " + name + " not found");
        }
        FatalError("Texture file " + name + " is not a readable bitmap: " + SDL_GetError());
    }
    return UploadAlphaSurfaceTexture(surface, rule, "Texture setup for " + name + " ");
}

void JitterColour(const Vector& colour, float rgba[4])
{
    // One fresh random fraction per component, drawn in this order.
    rgba[3] = float(0.7 - 0.3 * RandomFraction());
    rgba[2] = float(colour.z + 0.2 * RandomFraction() - 0.1);
    rgba[1] = float(colour.y + 0.2 * RandomFraction() - 0.1);
    rgba[0] = float(colour.x + 0.2 * RandomFraction() - 0.1);
}
