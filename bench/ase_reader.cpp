// How fast scenes are read: a large generated scene (hundreds of thousands of
// faces) from a file and from memory, and the game's own data as the game
// loads it (every model and a map, plus decoding their images).
//
//   build/bench/bench_ase_reader
//
// Bytes per second are the scene text's size over the time to read it.

#include <SDL/SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "assets/Ase.h"
#include "assets/Texture.h"

namespace
{

// A textured grid of side x side quads, two faces each, with a normal per corner.
std::string GridScene(int side)
{
    std::ostringstream s;
    const int n = side + 1;
    s << "*3DSMAX_ASCIIEXPORT 200\n*GEOMOBJECT {\n\t*NODE_NAME \"grid:1:2\"\n\t*NODE_TM {\n\t\t*TM_POS 0 0 "
         "0\n\t}\n"
      << "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX " << n * n << "\n\t\t*MESH_VERTEX_LIST {\n";
    for (int i = 0; i < n * n; i++)
    {
        s << "\t\t\t*MESH_VERTEX " << i << "\t" << (i % n) * 1.25 << "\t" << (i / n) * -0.75 << "\t"
          << ((i * 37) % 101) * 0.0173 << "\n";
    }
    s << "\t\t}\n\t\t*MESH_FACE_LIST {\n";
    int face = 0;
    std::vector<int> corners;
    for (int y = 0; y < side; y++)
    {
        for (int x = 0; x < side; x++)
        {
            const int a = y * n + x;
            for (int c : {a, a + 1, a + n, a + 1, a + n + 1, a + n})
            {
                corners.push_back(c);
            }
        }
    }
    for (size_t i = 0; i < corners.size(); i += 3, face++)
    {
        s << "\t\t\t*MESH_FACE " << face << ":    A: " << corners[i] << " B: " << corners[i + 1]
          << " C: " << corners[i + 2] << " AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING 1 \t*MESH_MTLID 0\n";
    }
    s << "\t\t}\n\t\t*MESH_NUMTVERTEX " << n * n << "\n\t\t*MESH_TVERTLIST {\n";
    for (int i = 0; i < n * n; i++)
    {
        s << "\t\t\t*MESH_TVERT " << i << "\t" << double(i % n) / side << "\t" << double(i / n) / side
          << "\t0.0000\n";
    }
    s << "\t\t}\n\t\t*MESH_NUMTVFACES " << face << "\n\t\t*MESH_TFACELIST {\n";
    for (size_t i = 0; i < corners.size(); i += 3)
    {
        s << "\t\t\t*MESH_TFACE " << i / 3 << "\t" << corners[i] << "\t" << corners[i + 1] << "\t"
          << corners[i + 2] << "\n";
    }
    s << "\t\t}\n\t\t*MESH_NORMALS {\n";
    for (size_t i = 0; i < corners.size(); i += 3)
    {
        s << "\t\t\t*MESH_FACENORMAL " << i / 3 << "\t0.0000\t0.0000\t1.0000\n";
        for (int k = 0; k < 3; k++)
        {
            s << "\t\t\t\t*MESH_VERTEXNORMAL " << corners[i + k] << "\t0.0123\t-0.0456\t0.9988\n";
        }
    }
    s << "\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n}\n";
    return s.str();
}

// 320 x 320 quads: 204800 faces.
constexpr int kGridSide = 320;

const std::string& BigScene()
{
    static const std::string scene = GridScene(kGridSide);
    return scene;
}

// A data directory with the big scene as Models/big.ase, made once.
const std::string& BigSceneDir()
{
    static std::string dir;
    if (dir.empty())
    {
        char pattern[] = "/tmp/korvane-bench-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::create_directories(dir + "/Models");
        std::ofstream(dir + "/Models/big.ase", std::ios::binary) << BigScene();
        std::atexit(
            []
            {
                std::error_code ignored;
                std::filesystem::remove_all(BigSceneDir(), ignored);
            });
    }
    return dir;
}

// Discards the reader's progress lines while a benchmark runs.
class QuietErrorStream
{
  public:
    QuietErrorStream() : saved(std::cerr.rdbuf(nullptr)) {}
    ~QuietErrorStream() { std::cerr.rdbuf(saved); }

  private:
    std::streambuf* saved;
};

void BM_ReadLargeSceneFromFile(benchmark::State& state)
{
    const std::string dir = BigSceneDir();
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(dir);
    QuietErrorStream quiet;
    size_t faces = 0;
    for (auto _ : state)
    {
        AseGroup* scene = ReadAse("big");
        faces = scene->meshes[0]->faces.size();
        delete scene;
    }
    std::filesystem::current_path(previous);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(BigScene().size()));
    state.counters["faces"] = double(faces);
    state.counters["MB"] = double(BigScene().size()) / 1e6;
}
BENCHMARK(BM_ReadLargeSceneFromFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ParseLargeSceneFromMemory(benchmark::State& state)
{
    const std::string& text = BigScene();
    for (auto _ : state)
    {
        std::istringstream in(text);
        std::ostringstream log;
        std::string error;
        AseGroup* scene = ParseAse(in, "big", "Models/big.ase", log, error);
        benchmark::DoNotOptimize(scene);
        delete scene;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ParseLargeSceneFromMemory)->Unit(benchmark::kMillisecond)->MinTime(3.0);

const std::vector<std::string> kGameModels = {"battlefrigate",  "beamfrigateopen", "escortcarrier2",
                                              "smallfighter",   "gunturret",       "gunturret_base",
                                              "gunturret_guns", "beamturret"};

// Every model scene of the game and the largest map, read as the game reads them.
void BM_ReadGameScenes(benchmark::State& state)
{
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(KORVANE_DATA_DIR);
    int64_t bytes = 0;
    for (const std::string& name : kGameModels)
    {
        bytes += int64_t(std::filesystem::file_size("Models/" + name + ".ase"));
    }
    bytes += int64_t(std::filesystem::file_size("Models/Maps/map4.ase"));
    QuietErrorStream quiet;
    for (auto _ : state)
    {
        for (const std::string& name : kGameModels)
        {
            AseGroup* scene = ReadAse(name);
            if (!scene)
            {
                state.SkipWithError("the generated data is missing");
                break;
            }
            delete scene;
        }
        delete ReadAse("Maps/map4");
    }
    std::filesystem::current_path(previous);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_ReadGameScenes)->Unit(benchmark::kMillisecond);

// The rest of a model's load that does not need a display: decoding its skin
// and light map (the upload itself is left to the driver).
void BM_DecodeGameModelImages(benchmark::State& state)
{
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(KORVANE_DATA_DIR);
    for (auto _ : state)
    {
        for (const std::string& name : kGameModels)
        {
            SDL_Surface* skin = LoadBmpSurface("Textures\\" + name + ".bmp");
            SDL_Surface* lightMap = LoadImageSurface("Textures\\" + name + "_lmap.png");
            if (!skin || !lightMap)
            {
                state.SkipWithError("the generated data is missing");
                break;
            }
            SDL_FreeSurface(skin);
            SDL_FreeSurface(lightMap);
        }
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(BM_DecodeGameModelImages)->Unit(benchmark::kMillisecond);

} // namespace
