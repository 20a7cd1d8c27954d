#include "app/SetupMenu.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>

#include "app/Camera.h"
#include "app/FatalError.h"
#include "app/FrameSwap.h"
#include "app/Platform.h"
#include "app/Startup.h"
#include "audio/GameSounds.h"
#include "input/EventBatch.h"
#include "input/EventHandling.h"
#include "save/SaveFiles.h"
#include "ui/Font.h"
#include "ui/Overlay.h"
#include "world/Environment.h"

namespace
{

const char* const kMapPattern = "./Models/Maps/map?.ase";

float kHeadingColour[4] = {0.2f, 0.2f, 1.0f, 1.0f};
float kHighlightColour[4] = {1.0f, 0.4f, 0.6f, 1.0f};
float kPlainColour[4] = {0.4f, 0.4f, 1.0f, 1.0f};
const float kPanelColour[4] = {0.0f, 0.0f, 0.5f, 1.0f};
const float kBeginColour[4] = {0.4f, 1.0f, 0.4f, 1.0f};

void DrawCentredText(const Font& font, const char* text, int centreX, int y, int size, const float* colour)
{
    DrawText(font, text, centreX - TextWidth(font, text, size) / 2, y, size, colour);
}

// The seats of the chosen player count (a count out of range shows 2 or 4).
int SeatsShown(const GameSetup& setup)
{
    return std::max(2, std::min(4, setup.numPlayers));
}

// Who plays each seat: "Player N" and its button, one row per seat shown,
// under the player counts. A computer's seat is lit like a toggle that is on.
void DrawSeats(const Font& font, const GameSetup& setup)
{
    const int n = SeatsShown(setup);
    glStencilFunc(GL_ALWAYS, 1, 255);
    glColor4fv(kPanelColour);
    DrawBox(80, 310 - 30 * (n - 1), 300, 370, 4, false);
    DrawCentredText(font, "Choose who plays", 190, 370, 12, kHeadingColour);
    for (int i = 0; i < n; i++)
    {
        const int y0 = 330 - 30 * i;
        glStencilFunc(GL_ALWAYS, 1, 255);
        DrawText(font, "Player " + std::to_string(i + 1), 92, y0 + 3, 12, kHeadingColour);
        const SeatKind seat = setup.seats[i];
        DrawButton(SeatLabel(setup, i), 150, y0, 290, y0 + 20, kHeadingColour,
                   IsComputerSeat(seat) ? kHighlightColour : kPlainColour, font,
                   kFirstSeatButtonId + unsigned(i));
    }
}

void DrawMenu(const Font& font, const std::vector<std::string>& maps, const GameSetup& setup, int x, int y,
              const ResumeOffer& resume, const NetMenuPanel& network)
{
    Begin2D();

    glColor4fv(kPanelColour);
    DrawBox(80, 400, 220, 520, 4, false);
    DrawCentredText(font, "Choose number of players", 150, 520, 12, kHeadingColour);
    const char* const playerLabels[3] = {"2 Players", "3 Players", "4 Players"};
    for (int n = 2; n <= 4; n++)
    {
        const int y0 = 420 + 30 * (n - 2);
        DrawButton(playerLabels[n - 2], 100, y0, 200, y0 + 20, kHeadingColour,
                   n == setup.numPlayers ? kHighlightColour : kPlainColour, font, n);
    }

    DrawSeats(font, setup);

    const int n = int(maps.size());
    glStencilFunc(GL_ALWAYS, 1, 255);
    glColor4fv(kPanelColour);
    DrawBox(480, 480 - 30 * n, 670, 520, 4, false);
    DrawCentredText(font, "Choose map", 575, 520, 12, kHeadingColour);
    for (int i = 0; i < n; i++)
    {
        DrawButton(maps[i].c_str(), 500, 480 - 30 * i, 650, 500 - 30 * i, kHeadingColour,
                   maps[i] == setup.mapName ? kHighlightColour : kPlainColour, font, kFirstMapButtonId + i);
    }

    DrawNetPanel(font, network, setup);

    DrawButton("", 350, 100, 450, 140, kHeadingColour, kPlainColour, font, kBeginButtonId);
    DrawCentredText(font, "Begin", 400, 112, 16, kBeginColour);
    DrawResumeOffer(font, resume);

    // The pointer changes no stencil value: its tip covers the very pixel a
    // click reads.
    glStencilFunc(GL_ALWAYS, 1, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    glVertex2i(x, y);
    glVertex2i(x + 25, y - 20);
    glVertex2i(x + 15, y - 20);
    glEnd();
}

// A key in the menu: typing into the network panel, Enter for "Begin" while
// it is open, the mute key. True when the menu is done.
bool MenuKey(SetupMenu& menu, const SDL_keysym& key)
{
    if (menu.setup.net.IsNetwork())
    {
        if (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER)
        {
            PlayInterfaceSound(Sound::Click);
            return FinishNetChoice(menu.network, menu.setup);
        }
        const char c = key.sym == SDLK_BACKSPACE                  ? '\b'
                       : key.sym == SDLK_TAB                      ? '\t'
                       : key.unicode >= ' ' && key.unicode <= '~' ? char(key.unicode)
                                                                  : '\0';
        if (c != '\0' && NetPanelKey(menu.network, menu.setup, c))
        {
            return false;
        }
    }
    if (key.sym == kMuteKey)
    {
        ToggleSoundMute();
    }
    return false;
}

void SetMenuCamera(float yaw, const Vector& position)
{
    PlaceCamera(120.0, 14143.0, yaw, position);
}

} // namespace

bool ApplyMenuClick(unsigned v, const std::vector<std::string>& maps, GameSetup& setup)
{
    if (v >= 2 && v <= 4)
    {
        setup.numPlayers = int(v);
    }
    else if (v == kBeginButtonId)
    {
        return true;
    }
    else if (v >= kFirstMapButtonId && v < kFirstMapButtonId + maps.size())
    {
        setup.mapName = maps[v - kFirstMapButtonId];
    }
    else if (v >= kFirstSeatButtonId && v < kFirstSeatButtonId + unsigned(SeatsShown(setup)))
    {
        const int seat = int(v - kFirstSeatButtonId);
        if (setup.net.role == NetChoice::Role::Host)
        {
            CycleHostedSeat(setup, seat);
        }
        else
        {
            setup.seats[seat] = NextSeatKind(setup.seats[seat]);
        }
    }
    return false;
}

SeatKind NextSeatKind(SeatKind kind)
{
    switch (kind)
    {
    case SeatKind::Human:
        return SeatKind::ComputerEasy;
    case SeatKind::ComputerEasy:
        return SeatKind::ComputerHard;
    case SeatKind::ComputerHard:
        break;
    }
    return SeatKind::Human;
}

const char* SeatLabel(SeatKind kind)
{
    switch (kind)
    {
    case SeatKind::ComputerEasy:
        return "Computer (Easy)";
    case SeatKind::ComputerHard:
        return "Computer (Hard)";
    case SeatKind::Human:
        break;
    }
    return "Human";
}

const char* SeatLabel(const GameSetup& setup, int seat)
{
    return setup.remote[seat] ? "Remote" : SeatLabel(setup.seats[seat]);
}

void MenuCamera(float yaw, Vector& position, Vector& viewDirection)
{
    const double y = yaw * kDegToRad;
    viewDirection = Vector(float(-0.707106 * std::sin(y)), -0.707106f, float(-0.707106 * std::cos(y)));
    position = Vector(float(75.0 * std::cos(y)), 0.0f, float(-75.0 * std::sin(y)));
}

void DrawLoadingScreen(const Font& font)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    DrawBandedText(font, "Loading level", 316, 16, kHeadingColour);
}

SetupMenu::SetupMenu()
    : environment(nullptr), yaw(0.0f), camera(75.0f, 0.0f, 0.0f), view(0.0f, -0.707106f, -0.707106f)
{
    LoadFont(font);
    environment = new Environment();
    maps = ListFiles(kMapPattern);
    if (maps.empty())
    {
        // Only directories matched: there is no map to play on.
        FatalError(std::string("Error finding files of type ") + kMapPattern);
    }
    setup.mapName = maps.front();
    environment->SetUpMap("intro", 353);
    resume = FindResumeOffer(SaveFolder());
    glClearColor(0.5f, 0.5f, 1.0f, 1.0f);
}

SetupMenu::~SetupMenu()
{
    delete environment;
}

void SetupMenu::Draw(int pointerX, int pointerY)
{
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    SetMenuCamera(yaw, camera);
    environment->Draw(camera, yaw, view, false);
    DrawMenu(font, maps, setup, pointerX, pointerY, resume, network);
}

bool SetupMenu::Click(int x, int y)
{
    const unsigned v = ReadStencilValue(x, y);
    if (v >= 2)
    {
        PlayInterfaceSound(Sound::Click); // a button; 1 is a panel, 0 the background
    }
    if (v == kResumeButtonId && !resume.file.empty())
    {
        setup.resumeFile = resume.file;
        setup.net.role = NetChoice::Role::None;
        return true;
    }
    if (ApplyNetClick(v, network, setup))
    {
        return false;
    }
    return ApplyMenuClick(v, maps, setup) && FinishNetChoice(network, setup);
}

void SetupMenu::Tick()
{
    environment->Update(camera, view);
    yaw += 1.0f;
    MenuCamera(yaw, camera, view);
}

GameSetup ChooseGameSetup(const std::string& failedFile, const std::string& failure, const NetChoice& net,
                          const GameSetup* previous, const std::string& netProblem)
{
    SetupMenu menu;
    if (previous != nullptr &&
        std::find(menu.maps.begin(), menu.maps.end(), previous->mapName) != menu.maps.end())
    {
        menu.setup = *previous;
        menu.setup.resumeFile.clear();
    }
    menu.setup.net = net;
    StartNetPanel(menu.network, menu.setup);
    if (previous != nullptr)
    {
        std::copy(previous->remote, previous->remote + 4, menu.setup.remote);
    }
    menu.network.problem = netProblem;
    // The fields of the network panel take typed characters.
    const int unicode = SDL_EnableUNICODE(1);
    StartAmbientSound();
    if (!failure.empty())
    {
        menu.resume.problem = CannotReadLine(failedFile, failure);
        menu.resume.problemSplit = menu.resume.problem.size() - failure.size();
        if (menu.resume.file == failedFile)
        {
            menu.resume.file.clear();
        }
    }
    SDL_TimerID timer = SDL_AddTimer(kTickInterval, TimerTick, nullptr);
    bool done = false;
    while (!done)
    {
        int mouseX = 0, mouseY = 0;
        SDL_GetMouseState(&mouseX, &mouseY);
        menu.Draw(mouseX, ScreenY(mouseY));
        SwapFrame();

        for (const SDL_Event& event : EventBatch())
        {
            if (event.type == SDL_MOUSEBUTTONDOWN)
            {
                done = menu.Click(event.button.x, ScreenY(event.button.y)) || done;
            }
            else if (IsTickEvent(event))
            {
                menu.Tick();
            }
            else if (event.type == SDL_KEYDOWN)
            {
                done = MenuKey(menu, event.key.keysym) || done;
            }
        }
    }
    SDL_EnableUNICODE(unicode);
    SDL_RemoveTimer(timer);
    DrawLoadingScreen(menu.font);
    SwapFrame();
    return menu.setup;
}
