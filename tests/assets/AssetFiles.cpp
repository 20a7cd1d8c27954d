#include "AssetFiles.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

ScratchDataDir::ScratchDataDir()
{
    char pattern[] = "/tmp/korvane-assets-XXXXXX";
    const char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    path = made ? made : "/tmp";
    std::filesystem::create_directories(path + "/Models/Maps");
    std::filesystem::create_directories(path + "/Textures");
    previous = std::filesystem::current_path().string();
    std::filesystem::current_path(path);
}

ScratchDataDir::~ScratchDataDir()
{
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void ScratchDataDir::Write(const std::string& relativePath, const std::string& contents) const
{
    std::ofstream out(path + "/" + relativePath, std::ios::binary);
    out << contents;
}

void ParseText(const std::string& text, Parsed& out)
{
    std::istringstream in(text);
    std::ostringstream log;
    out.root = ParseAse(in, "test", "Models/test.ase", log, out.error);
    out.log = log.str();
}

namespace
{

uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes)
    {
        crc ^= c;
        for (int bit = 0; bit < 8; bit++)
        {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(char((value >> shift) & 0xFF));
    }
}

void PutChunk(std::string& png, const char* type, const std::string& data)
{
    PutBigEndian(png, uint32_t(data.size()));
    const std::string body = std::string(type) + data;
    png += body;
    PutBigEndian(png, Crc32(body));
}

std::string SurfaceToBmp(SDL_Surface* surface)
{
    char buffer[] = "/tmp/korvane-assets-bmp-XXXXXX";
    const int fd = mkstemp(buffer);
    close(fd);
    SDL_SaveBMP(surface, buffer);
    std::ifstream in(buffer, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    std::remove(buffer);
    return contents.str();
}

} // namespace

std::string EncodePng(int width, int height, bool rgba, const std::vector<uint8_t>& pixels)
{
    const int channels = rgba ? 4 : 3;
    // Raw scanlines, each with filter type 0, in stored deflate blocks.
    std::string raw;
    for (int y = 0; y < height; y++)
    {
        raw.push_back(0);
        raw.append(reinterpret_cast<const char*>(pixels.data()) + size_t(y) * width * channels,
                   size_t(width) * channels);
    }
    std::string zlib = "\x78\x01";
    for (size_t start = 0; start < raw.size() || start == 0; start += 65535)
    {
        const size_t length = std::min<size_t>(65535, raw.size() - start);
        const bool last = start + length >= raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(char(length & 0xFF));
        zlib.push_back(char(length >> 8));
        zlib.push_back(char(~length & 0xFF));
        zlib.push_back(char((~length >> 8) & 0xFF));
        zlib.append(raw, start, length);
        if (last)
        {
            break;
        }
    }
    uint32_t a = 1;
    uint32_t b = 0;
    for (unsigned char c : raw)
    {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header += std::string("\x08", 1) + char(rgba ? 6 : 2) + std::string(3, '\0');
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return png;
}

std::string EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    for (int y = 0; y < height; y++)
    {
        uint8_t* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; x++)
        {
            const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            row[3 * x + 0] = p[2];
            row[3 * x + 1] = p[1];
            row[3 * x + 2] = p[0];
        }
    }
    const std::string bmp = SurfaceToBmp(surface);
    SDL_FreeSurface(surface);
    return bmp;
}

std::string EncodeBmp8(int width, int height, const std::vector<uint8_t>& indices,
                       const std::vector<uint8_t>& paletteRgb)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
    std::vector<SDL_Color> colours(paletteRgb.size() / 3);
    for (size_t i = 0; i < colours.size(); i++)
    {
        colours[i] = SDL_Color{paletteRgb[3 * i], paletteRgb[3 * i + 1], paletteRgb[3 * i + 2], 0};
    }
    SDL_SetColors(surface, colours.data(), 0, int(colours.size()));
    for (int y = 0; y < height; y++)
    {
        uint8_t* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; x++)
        {
            row[x] = indices[size_t(y) * width + x];
        }
    }
    const std::string bmp = SurfaceToBmp(surface);
    SDL_FreeSurface(surface);
    return bmp;
}

std::string TriangleScene(const std::vector<float>& vertices, const std::vector<unsigned>& faces,
                          const std::vector<float>& texVertices)
{
    std::ostringstream s;
    s << "*GEOMOBJECT {\n\t*NODE_NAME \"body\"\n\t*MESH {\n\t\t*MESH_VERTEX_LIST {\n";
    for (size_t i = 0; i < vertices.size() / 3; i++)
    {
        s << "\t\t\t*MESH_VERTEX " << i << " " << vertices[3 * i] << " " << vertices[3 * i + 1] << " "
          << vertices[3 * i + 2] << "\n";
    }
    s << "\t\t}\n\t\t*MESH_FACE_LIST {\n";
    for (size_t f = 0; f < faces.size() / 3; f++)
    {
        s << "\t\t\t*MESH_FACE " << f << ": A: " << faces[3 * f] << " B: " << faces[3 * f + 1]
          << " C: " << faces[3 * f + 2] << " AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\n";
    }
    s << "\t\t}\n";
    if (!texVertices.empty())
    {
        s << "\t\t*MESH_NUMTVERTEX " << texVertices.size() / 2 << "\n\t\t*MESH_TVERTLIST {\n";
        for (size_t i = 0; i < texVertices.size() / 2; i++)
        {
            s << "\t\t\t*MESH_TVERT " << i << " " << texVertices[2 * i] << " " << texVertices[2 * i + 1]
              << " 0.0\n";
        }
        s << "\t\t}\n\t\t*MESH_TFACELIST {\n";
        for (size_t f = 0; f < faces.size() / 3; f++)
        {
            s << "\t\t\t*MESH_TFACE " << f << " " << faces[3 * f] << " " << faces[3 * f + 1] << " "
              << faces[3 * f + 2] << "\n";
        }
        s << "\t\t}\n";
    }
    s << "\t\t*MESH_NORMALS {\n";
    for (size_t f = 0; f < faces.size() / 3; f++)
    {
        s << "\t\t\t*MESH_FACENORMAL " << f << " 0.0 0.0 1.0\n";
        for (int k = 0; k < 3; k++)
        {
            s << "\t\t\t\t*MESH_VERTEXNORMAL " << faces[3 * f + k] << " 0.0 0.0 1.0\n";
        }
    }
    s << "\t\t}\n\t}\n}\n";
    return s.str();
}
