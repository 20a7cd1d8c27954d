#include "weapons/AlphaTexture.h"

#include <SDL/SDL.h>

#include "app/FatalError.h"
#include "app/Platform.h"
#include "math/Random.h"

std::vector<unsigned char> AlphaFromPixels(const unsigned char* pixels, int width, int height, int pitch)
{
    std::vector<unsigned char> alpha(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
    {
        const unsigned char* row = pixels + size_t(y) * size_t(pitch);
        for (int x = 0; x < width; ++x)
        {
            alpha[size_t(y) * size_t(width) + size_t(x)] = row[3 * x];
        }
    }
    return alpha;
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

GLuint LoadAlphaTexture(const std::string& path, GLint wrap, GLint filter)
{
    const std::string name = BaseName(path);
    SDL_RWops* file = SDL_RWFromFile(NativePath(path).c_str(), "rb");
    if (file == nullptr)
    {
        FatalError("Texture file " + name + " not found");
    }
    SDL_Surface* surface = SDL_LoadBMP_RW(file, 1);
    if (surface == nullptr)
    {
        FatalError("Texture file " + name + " is not a readable bitmap: " + SDL_GetError());
    }
    // Only 24-bit pixels carry the three bytes per pixel the texels are taken from.
    if (surface->format->BytesPerPixel != 3)
    {
        SDL_FreeSurface(surface);
        FatalError("Texture file " + name + " is not a 24-bit bitmap");
    }

    SDL_LockSurface(surface);
    const std::vector<unsigned char> alpha = AlphaFromPixels(
        static_cast<const unsigned char*>(surface->pixels), surface->w, surface->h, surface->pitch);
    const int width = surface->w;
    const int height = surface->h;
    SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    CheckGLError(("Texture setup for " + name + " ").c_str());
    return texture;
}

void JitterColour(const Vector& colour, float rgba[4])
{
    // One fresh random fraction per component, drawn in this order.
    rgba[3] = float(0.7 - 0.3 * RandomFraction());
    rgba[2] = float(colour.z + 0.2 * RandomFraction() - 0.1);
    rgba[1] = float(colour.y + 0.2 * RandomFraction() - 0.1);
    rgba[0] = float(colour.x + 0.2 * RandomFraction() - 0.1);
}
