#include "app/ResumeOffer.h"

#include <GL/gl.h>

#include <cstdio>

#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"
#include "ui/Overlay.h"

namespace
{

const float kOfferBand[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kOfferFace[4] = {0.4f, 0.4f, 1.0f, 1.0f};
const float kOfferLabel[4] = {0.4f, 1.0f, 0.4f, 1.0f};
const float kOfferText[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kOfferProblem[4] = {1.0f, 0.2f, 0.4f, 1.0f};

// The widest a line of the menu may be.
constexpr int kMaxLineWidth = 780;

void DrawCentred(const Font& font, const std::string& text, int y, int size, const float* colour)
{
    DrawText(font, text, 400 - TextWidth(font, text, size) / 2, y, size, colour);
}

bool MapPresent(const std::string& map)
{
    std::FILE* file = std::fopen(("Models/Maps/" + map + ".ase").c_str(), "rb");
    if (file == nullptr)
    {
        return false;
    }
    std::fclose(file);
    return true;
}

// Reads one save as the menu needs it; false with what is wrong.
bool ReadOffer(const std::string& path, ResumeOffer& offer, std::string& error)
{
    std::vector<uint8_t> bytes;
    Snapshot snapshot;
    if (!ReadSaveFile(path, bytes, error) || !DecodeSnapshot(bytes, snapshot, error))
    {
        return false;
    }
    if (!MapPresent(snapshot.map))
    {
        error = "the map " + snapshot.map + " is missing (Models/Maps/" + snapshot.map + ".ase)";
        return false;
    }
    offer.file = path;
    offer.description = snapshot.map + ", " + std::to_string(snapshot.players.size()) + " players, round " +
                        std::to_string(snapshot.Round());
    return true;
}

} // namespace

std::string CannotReadLine(const std::string& file, const std::string& what)
{
    return "Saved game cannot be read: " + file + ": " + what;
}

ResumeOffer FindResumeOffer(const std::string& folder)
{
    ResumeOffer offer;
    if (folder.empty())
    {
        return offer;
    }
    for (const std::string& path : AutosavePaths(folder))
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr)
        {
            continue;
        }
        std::fclose(file);
        std::string error;
        if (ReadOffer(path, offer, error))
        {
            return offer;
        }
        if (offer.problem.empty())
        {
            offer.problem = CannotReadLine(path, error);
            offer.problemSplit = offer.problem.size() - error.size();
        }
    }
    return offer;
}

void DrawResumeOffer(const Font& font, const ResumeOffer& offer)
{
    if (!offer.file.empty())
    {
        // The label is part of the button; the lines under it are not.
        DrawButton("", 350, 52, 450, 84, kOfferBand, kOfferFace, font, kResumeButtonId);
        DrawCentred(font, "Resume", 62, 16, kOfferLabel);
        glStencilFunc(GL_ALWAYS, 1, 255);
        DrawCentred(font, offer.description, 36, 12, kOfferText);
    }
    if (!offer.problem.empty())
    {
        // A line too wide for the screen goes on two: the file, then what is wrong.
        if (TextWidth(font, offer.problem, 12) <= kMaxLineWidth)
        {
            DrawCentred(font, offer.problem, 12, 12, kOfferProblem);
        }
        else
        {
            DrawCentred(font, offer.problem.substr(0, offer.problemSplit - 1), 18, 10, kOfferProblem);
            DrawCentred(font, offer.problem.substr(offer.problemSplit), 4, 10, kOfferProblem);
        }
    }
}
