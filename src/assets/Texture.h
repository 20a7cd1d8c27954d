#ifndef KORVANE_ASSETS_TEXTURE_H
#define KORVANE_ASSETS_TEXTURE_H

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <string>
#include <vector>

// The common rules every texture of the game is made by. Each texture is one
// 2D texture without mipmap levels (the font alone builds mipmaps, never
// sampled through the linear minification filter), created with one
// glGenTextures call, its parameters set before the upload. A texture read
// from a file is uploaded from a locked SDL surface (or a byte buffer filled
// from it), the surface is freed right after, and the upload is followed by
// exactly one CheckGLError. A missing file is always fatal; textures are
// never replaced by a default and never deleted.
//
// Colour surfaces are uploaded as they lie in memory, rows from the top of the
// image first. A file whose pixel layout differs from the one its rule expects
// (a paletted or 32-bit skin, a light map without alpha) is converted to that
// layout first, so what reaches OpenGL always matches the rule.

// How one kind of texture is uploaded.
struct TextureRule
{
    GLint internalFormat;  // GL_RGBA or GL_ALPHA8
    GLenum sourceFormat;   // GL_BGR_EXT, GL_RGB, GL_RGBA or GL_ALPHA
    GLint unpackAlignment; // 4 for colour surfaces, 1 for alpha bytes
    GLint wrap;            // S and T
    GLint magFilter;
    GLint minFilter;
    bool mipmaps; // uploaded through gluBuild2DMipmaps instead of glTexImage2D
};

// The table of loads.
extern const TextureRule kSkinTexture;       // model colour skin: 24-bit BMP, blue-green-red
extern const TextureRule kLightMapTexture;   // model light map: 32-bit RGBA PNG
extern const TextureRule kNamedPngTexture;   // LoadPngTexture (player lights): 32-bit RGBA PNG
extern const TextureRule kBackgroundTexture; // intro background: 24-bit RGB PNG
extern const TextureRule kFontTexture;       // the font: 32-bit RGBA PNG, with mipmaps
extern const TextureRule kBeamTexture;       // beam: alpha bytes from a 24-bit BMP
extern const TextureRule kBulletTexture;     // bullet: alpha bytes from a 24-bit BMP, clamped, nearest
extern const TextureRule kPuffTexture;       // cloud puff: alpha bytes computed in memory

// Generates one texture, binds it to GL_TEXTURE_2D, sets the rule's unpack
// alignment, wrap and filters and uploads the pixels (width x height in the
// rule's source format). No error check: the caller makes the one check.
GLuint UploadTexture(const TextureRule& rule, int width, int height, const void* pixels);

// Reads a Windows bitmap with SDL_LoadBMP_RW on SDL_RWFromFile(path, "rb").
// The path may use backslash separators. Null when it cannot be read.
SDL_Surface* LoadBmpSurface(const std::string& path);

// Reads an image (PNG) with IMG_Load. The path may use backslash separators.
// Null when it cannot be read.
SDL_Surface* LoadImageSurface(const std::string& path);

// Uploads a colour surface by the rule (converted first when its layout is not
// the rule's), then CheckGLError(label); frees the surface. Returns the texture.
GLuint UploadSurfaceTexture(SDL_Surface* surface, const TextureRule& rule, const std::string& label);

// The alpha bytes of a 24-bit bitmap surface: texel (x, y) is the first byte
// (blue) of pixel x + width * y, rows taken as exactly 3 * width bytes long.
// width * height bytes. The surface must hold 24-bit pixels.
std::vector<unsigned char> AlphaTexelsFromBmp(const SDL_Surface* surface);

// Uploads a bitmap surface as an alpha texture by the rule (the surface is
// converted to 24-bit first when it is not), then CheckGLError(label); frees
// the surface. Returns the texture.
GLuint UploadAlphaSurfaceTexture(SDL_Surface* surface, const TextureRule& rule, const std::string& label);

// Loads "Textures/" + name + ".png" (the player light textures light0 to
// light3). A missing file ends the program with "Texture file Textures/" +
// name + ".png not found".
GLuint LoadPngTexture(std::string name);

#endif
