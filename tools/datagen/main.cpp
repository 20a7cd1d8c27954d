// korvane_datagen: writes the game's complete data tree.
//
//   korvane_datagen <output directory> [--test] [--font <path>]
//   korvane_datagen <output directory> --icons <name>
//
// Models/*.ase, Models/Maps/*.ase, Textures/* and Sounds/*.wav are written
// under the output directory, the same bytes on every run. With --test the end-to-end test set
// is written instead: the same files with weak hulls, fast ships and
// far-reaching beams (see docs/data.md). With --icons only the application
// icon is written, as <n>x<n>/apps/<name>.png at every size of the icon theme.

#include "AseWriter.h"
#include "Balance.h"
#include "FixedTextures.h"
#include "FontImage.h"
#include "Icon.h"
#include "Maps.h"
#include "ShipModels.h"
#include "SkinPainter.h"
#include "SoundDesigns.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#ifndef KORVANE_FONT_FILE
#define KORVANE_FONT_FILE "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

namespace
{

bool MakeDirectory(const std::string& path)
{
    if (mkdir(path.c_str(), 0755) == 0)
        return true;
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "korvane_datagen: %s\n", what.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string out;
    std::string fontPath = KORVANE_FONT_FILE;
    std::string iconName;
    bool testSet = false;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--test") == 0)
            testSet = true;
        else if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc)
            fontPath = argv[++i];
        else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc)
            iconName = argv[++i];
        else if (out.empty())
            out = argv[i];
        else
            return Fail(std::string("unexpected argument ") + argv[i]);
    }
    if (out.empty())
        return Fail("usage: korvane_datagen <output directory> [--test] [--font <path>] | [--icons <name>]");
    if (!iconName.empty())
        return WriteIcons(out, iconName) ? 0 : Fail("cannot write the icons into " + out);

    const std::string models = out + "/Models", maps = out + "/Models/Maps", textures = out + "/Textures";
    const std::string sounds = out + "/Sounds";
    for (const std::string& dir : {out, models, maps, textures, sounds})
        if (!MakeDirectory(dir))
            return Fail("cannot create " + dir);

    const Balance balance = testSet ? TestBalance() : GameBalance();
    for (const ModelSpec& model : BuildModels(balance))
    {
        if (!WriteAse(models + "/" + model.name + ".ase", model.name, {{"body", &model.mesh}}, model.markers,
                      FileAxes::Model))
            return Fail("cannot write model " + model.name);
        const SkinImages images = PaintSkin(model.mesh, model.style);
        if (!images.skin.WriteBmp(textures + "/" + model.name + ".bmp") ||
            !images.lightMap.WritePng(textures + "/" + model.name + "_lmap.png"))
            return Fail("cannot write the textures of " + model.name);
    }

    for (const MapSpec& map : BuildMaps(testSet))
        if (!WriteMap(maps + "/" + map.name + ".ase", map))
            return Fail("cannot write map " + map.name);

    const Colour playerColours[4] = {Colour(0, 1, 0), Colour(0, 0, 1), Colour(1, 0, 0), Colour(1, 1, 0)};
    for (int i = 0; i < 4; ++i)
        if (!PlayerLight(playerColours[i]).WritePng(textures + "/light" + std::to_string(i) + ".png"))
            return Fail("cannot write the player lights");
    if (!BeamBitmap().WriteBmp(textures + "/beam.bmp") || !BulletBitmap().WriteBmp(textures + "/bullet.bmp"))
        return Fail("cannot write the beam and bullet bitmaps");
    if (!IntroBackground().WritePng(textures + "/intro_background.png"))
        return Fail("cannot write the intro background");
    Image font(1, 1, 4);
    if (!RenderFont(fontPath, font) || !font.WritePng(textures + "/font2.png"))
        return Fail("cannot write the font image");
    for (const SynthesisedSound& sound : BuildSounds())
        if (!WriteWav(sounds + "/" + sound.name + ".wav", sound.samples))
            return Fail("cannot write the sound " + sound.name);
    return 0;
}
