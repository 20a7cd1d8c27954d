#include "assets/Texture.h"

#include <GL/glu.h>
#include <SDL/SDL_image.h>

#include "app/FatalError.h"
#include "app/Platform.h"

// internal format, source format, unpack alignment, wrap, mag filter, min filter, mipmaps
const TextureRule kSkinTexture = {GL_RGBA, GL_BGR_EXT, 4, GL_REPEAT, GL_LINEAR, GL_LINEAR, false};
const TextureRule kLightMapTexture = {GL_RGBA, GL_RGBA, 4, GL_REPEAT, GL_LINEAR, GL_LINEAR, false};
const TextureRule kNamedPngTexture = {GL_RGBA, GL_RGBA, 4, GL_REPEAT, GL_LINEAR, GL_LINEAR, false};
const TextureRule kBackgroundTexture = {GL_RGBA, GL_RGB, 4, GL_REPEAT, GL_LINEAR, GL_LINEAR, false};
const TextureRule kFontTexture = {GL_RGBA, GL_RGBA, 4, GL_REPEAT, GL_LINEAR, GL_LINEAR, true};
const TextureRule kBeamTexture = {GL_ALPHA8, GL_ALPHA, 1, GL_REPEAT, GL_LINEAR, GL_LINEAR, false};
const TextureRule kBulletTexture = {GL_ALPHA8, GL_ALPHA, 1, GL_CLAMP, GL_NEAREST, GL_NEAREST, false};
const TextureRule kPuffTexture = {GL_ALPHA8, GL_ALPHA, 1, GL_REPEAT, GL_LINEAR, GL_NEAREST, false};

namespace
{

// A pixel layout in memory: bytes per pixel and the channel masks that give
// the byte order the OpenGL source format reads.
struct PixelLayout
{
    int bytesPerPixel;
    Uint32 rMask, gMask, bMask, aMask;
};

#if SDL_BYTEORDER == SDL_LIL_ENDIAN
const PixelLayout kBgrBytes = {3, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
const PixelLayout kRgbBytes = {3, 0x000000FF, 0x0000FF00, 0x00FF0000, 0};
const PixelLayout kRgbaBytes = {4, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
#else
const PixelLayout kBgrBytes = {3, 0x000000FF, 0x0000FF00, 0x00FF0000, 0};
const PixelLayout kRgbBytes = {3, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
const PixelLayout kRgbaBytes = {4, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF};
#endif

// The layout a colour rule's source format reads; alpha textures are cut from
// 24-bit bitmaps, blue first.
const PixelLayout& LayoutFor(const TextureRule& rule)
{
    switch (rule.sourceFormat)
    {
    case GL_RGB:
        return kRgbBytes;
    case GL_RGBA:
        return kRgbaBytes;
    default:
        return kBgrBytes;
    }
}

// Rows are read with unpack alignment 4: a surface matches the layout when its
// pixels and its row length are exactly what OpenGL will read.
bool Matches(const SDL_Surface* surface, const PixelLayout& layout)
{
    const SDL_PixelFormat* format = surface->format;
    const int rowBytes = (surface->w * layout.bytesPerPixel + 3) / 4 * 4;
    return format->palette == nullptr && format->BytesPerPixel == layout.bytesPerPixel &&
           format->Rmask == layout.rMask && format->Gmask == layout.gMask && format->Bmask == layout.bMask &&
           (layout.aMask == 0 || format->Amask == layout.aMask) && surface->pitch == rowBytes;
}

// Returns a surface in the layout, converting (and freeing the original) when
// needed. Null when the conversion fails.
SDL_Surface* ToLayout(SDL_Surface* surface, const PixelLayout& layout)
{
    if (Matches(surface, layout))
    {
        return surface;
    }
    SDL_Surface* model = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, layout.bytesPerPixel * 8, layout.rMask,
                                              layout.gMask, layout.bMask, layout.aMask);
    SDL_Surface* converted = model ? SDL_ConvertSurface(surface, model->format, SDL_SWSURFACE) : nullptr;
    if (model)
    {
        SDL_FreeSurface(model);
    }
    SDL_FreeSurface(surface);
    return converted;
}

} // namespace

GLuint UploadTexture(const TextureRule& rule, int width, int height, const void* pixels)
{
    GLuint texture = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, rule.unpackAlignment);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, rule.wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, rule.wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, rule.magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, rule.minFilter);
    if (rule.mipmaps)
    {
        gluBuild2DMipmaps(GL_TEXTURE_2D, rule.internalFormat, width, height, rule.sourceFormat,
                          GL_UNSIGNED_BYTE, pixels);
    }
    else
    {
        glTexImage2D(GL_TEXTURE_2D, 0, rule.internalFormat, width, height, 0, rule.sourceFormat,
                     GL_UNSIGNED_BYTE, pixels);
    }
    return texture;
}

SDL_Surface* LoadBmpSurface(const std::string& path)
{
    SDL_RWops* stream = SDL_RWFromFile(NativePath(path).c_str(), "rb");
    if (!stream)
    {
        return nullptr;
    }
    return SDL_LoadBMP_RW(stream, 1); // closes the stream
}

SDL_Surface* LoadImageSurface(const std::string& path)
{
    return IMG_Load(NativePath(path).c_str());
}

GLuint UploadSurfaceTexture(SDL_Surface* surface, const TextureRule& rule, const std::string& label)
{
    surface = ToLayout(surface, LayoutFor(rule));
    if (!surface)
    {
        FatalError(label + ": the image cannot be converted: " + SDL_GetError());
    }
    SDL_LockSurface(surface);
    const GLuint texture = UploadTexture(rule, surface->w, surface->h, surface->pixels);
    CheckGLError(label.c_str());
    SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    return texture;
}

std::vector<unsigned char> AlphaTexelsFromBmp(const SDL_Surface* surface)
{
    const size_t count = size_t(surface->w) * size_t(surface->h);
    std::vector<unsigned char> texels(count);
    const unsigned char* pixels = static_cast<const unsigned char*>(surface->pixels);
    for (size_t i = 0; i < count; i++)
    {
        texels[i] = pixels[3 * i];
    }
    return texels;
}

GLuint UploadAlphaSurfaceTexture(SDL_Surface* surface, const TextureRule& rule, const std::string& label)
{
    surface = ToLayout(surface, kBgrBytes);
    if (!surface)
    {
        FatalError(label + ": the image cannot be converted: " + SDL_GetError());
    }
    SDL_LockSurface(surface);
    const std::vector<unsigned char> texels = AlphaTexelsFromBmp(surface);
    const GLuint texture = UploadTexture(rule, surface->w, surface->h, texels.data());
    CheckGLError(label.c_str());
    SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    return texture;
}

GLuint LoadPngTexture(std::string name)
{
    const std::string path = "Textures/" + name + ".png";
    SDL_Surface* surface = LoadImageSurface(path);
    if (!surface)
    {
        FatalError("Texture file " + path + " not found");
    }
    return UploadSurfaceTexture(surface, kNamedPngTexture, "Texture setup for " + path);
}
