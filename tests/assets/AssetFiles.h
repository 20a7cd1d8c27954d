#ifndef KORVANE_TESTS_ASSETS_ASSETFILES_H
#define KORVANE_TESTS_ASSETS_ASSETFILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "assets/Ase.h"

// Test data written on the fly: a private data directory with the game's
// layout, scenes parsed from text, and small images in the formats the game
// reads.

// A fresh directory with Models/, Models/Maps/ and Textures/, made the working
// directory for the object's life (the previous one is restored afterwards).
class ScratchDataDir
{
  public:
    ScratchDataDir();
    ~ScratchDataDir();
    ScratchDataDir(const ScratchDataDir&) = delete;
    ScratchDataDir& operator=(const ScratchDataDir&) = delete;

    // Writes a file below the directory (relative path with '/').
    void Write(const std::string& relativePath, const std::string& contents) const;
    const std::string& Path() const { return path; }

  private:
    std::string path;
    std::string previous;
};

// The outcome of parsing a scene from text.
struct Parsed
{
    AseGroup* root = nullptr; // owned by the test; null when rejected
    std::string log;          // the reader's object lines and notes
    std::string error;        // the reason for a rejection
    ~Parsed() { delete root; }
};

// Parses the text as the file "Models/test.ase" with the root name "test".
void ParseText(const std::string& text, Parsed& out);

// A PNG image (8-bit RGBA when rgba, else RGB) from rows top first, pixels packed.
std::string EncodePng(int width, int height, bool rgba, const std::vector<uint8_t>& pixels);

// A 24-bit BMP written by SDL from packed RGB pixels, rows top first.
std::string EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb);

// An 8-bit paletted BMP: each pixel an index into the given RGB palette.
std::string EncodeBmp8(int width, int height, const std::vector<uint8_t>& indices,
                       const std::vector<uint8_t>& paletteRgb);

// A one-mesh scene with the given vertices (x y z each), faces (three vertex
// indices each), texture vertices (u v each) and a texture face per face equal
// to its vertex indices; every corner normal (0, 0, 1).
std::string TriangleScene(const std::vector<float>& vertices, const std::vector<unsigned>& faces,
                          const std::vector<float>& texVertices);

#endif
