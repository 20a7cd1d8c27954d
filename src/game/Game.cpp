#include "game/Game.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/FatalError.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "audio/GameSounds.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ui/CommandPanel.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

const Placement gPlacements[4] = {
    {Vector(0.0f, 0.0f, 800.0f), 45.0f},
    {Vector(0.0f, 0.0f, -800.0f), 225.0f},
    {Vector(-800.0f, 0.0f, 0.0f), 135.0f},
    {Vector(800.0f, 0.0f, 0.0f), 315.0f},
};

namespace
{

struct CatalogueEntry
{
    const char* fileName;
    const char* displayName;
};

const CatalogueEntry kShipClasses[4] = {
    {"battlefrigate", "Tigershark-class battle frigate"},
    {"beamfrigateopen", "Manta-class fusion frigate"},
    {"escortcarrier2", "Orca-class escort carrier"},
    {"smallfighter", "Piranha-class strike fighter"},
};

const CatalogueEntry kObjectModels[4] = {
    {"gunturret", "Pulse gun turret"},
    {"gunturret_base", "Gun turret base"},
    {"gunturret_guns", "Gun turret guns"},
    {"beamturret", "Fusion beam turret"},
};

const float kPlayerColours[4][3] = {
    {0.0f, 1.0f, 0.0f}, // green
    {0.0f, 0.0f, 1.0f}, // blue
    {1.0f, 0.0f, 0.0f}, // red
    {1.0f, 1.0f, 0.0f}, // yellow
};

// The map of a game is always laid out from the same seed.
constexpr unsigned kGameSeed = 235;

constexpr double kTick = 0.05;

// Wreck timeline, in seconds since destruction.
constexpr float kBurstTime = 3.0f;
constexpr float kBurstEnd = 3.05f;
constexpr float kDustTime = 4.5f;

// A burning wreck adds a small explosion on a tick with this chance, and
// flickers its lights with the same chance.
constexpr double kWreckChance = 0.2;

// How loud the small explosions of a dying and burning ship are beside its burst.
constexpr float kSmallExplosionLoudness = 0.35f;

// Half the edge of the dust cloud a wreck leaves.
constexpr float kDustHalfSize = 50.0f;

Model* FindModel(const std::vector<Model*>& catalogue, const std::string& name)
{
    for (Model* model : catalogue)
    {
        if (model->fileName == name)
        {
            return model;
        }
    }
    return nullptr;
}

} // namespace

Game::Game(int numPlayers, const std::string& mapName_, bool withFleets, Game* catalogueDonor)
    : currentPlayerPos(0), currentPlayer(nullptr), viewer(nullptr), environment(nullptr), beams(nullptr),
      bullets(nullptr), panel(nullptr), nextId(5), timer(nullptr), state(0), orderMode(1), orderType(0),
      viewMode(0), mouseX(0), mouseY(0), fps(0.0f), fpsSmoothed(0.0f), frameCount(0), turnsEnded(0),
      mapName(mapName_)
{
    environment = new Environment();
    beams = new BeamList();
    bullets = new BulletList();
    panel = new CommandPanel(this);

    const bool adopted = catalogueDonor != nullptr && !catalogueDonor->shipModels.empty();
    if (adopted)
    {
        catalogueDonor->GiveCatalogueTo(*this);
    }
    else
    {
        for (const CatalogueEntry& entry : kShipClasses)
        {
            shipModels.push_back(new Model(entry.fileName, entry.displayName));
        }
        for (const CatalogueEntry& entry : kObjectModels)
        {
            objectModels.push_back(new Model(entry.fileName, entry.displayName));
        }
    }

    environment->SetUpMap(mapName_, kGameSeed);

    if (!adopted)
    {
        for (int i = 0; i < 4; i++)
        {
            lightTextures[i] = LoadPngTexture("light" + std::to_string(i));
        }
    }
    for (int i = 0; i < 4; i++)
    {
        for (int c = 0; c < 3; c++)
        {
            playerColours[i][c] = kPlayerColours[i][c];
        }
    }

    // Out-of-range counts would leave the game without a second player or
    // without a placement; they are brought into 2 to 4.
    numPlayers = std::max(2, std::min(4, numPlayers));
    for (int i = 0; i < numPlayers; i++)
    {
        Player* player = new Player(this, i);
        player->SetFocus(gPlacements[i].focus.x, gPlacements[i].focus.y, gPlacements[i].focus.z);
        player->SetHeading(gPlacements[i].heading);
        if (withFleets)
        {
            player->CreateFleet(nextId);
        }
        players.push_back(player);
    }

    currentPlayerPos = 0;
    currentPlayer = players[0];
    currentPlayer->isCurrent = true;
    currentPlayer->NewTurn();
}

Game::~Game()
{
    // The scenes go with their records; the display lists and textures
    // compiled from them stay until the program ends.
    std::cerr << "Removing ship models" << std::endl;
    for (Model* model : shipModels)
    {
        delete model->scene;
        delete model;
    }
    std::cerr << "Removing object models" << std::endl;
    for (Model* model : objectModels)
    {
        delete model->scene;
        delete model;
    }
    // A ship destroyed on the last tick of a turn may still be listed in its
    // fleet; the wreck list owns it, so the fleets let go of it first.
    for (Player* player : players)
    {
        player->DropDeadShips();
    }
    std::cerr << "Removing dead ships" << std::endl;
    for (Ship* wreck : wrecks)
    {
        delete wreck;
    }
    std::cerr << "Removing players" << std::endl;
    for (Player* player : players)
    {
        delete player;
    }
    delete bullets;
    delete beams;
    delete environment;
    delete panel;
}

void Game::GiveCatalogueTo(Game& other)
{
    other.shipModels = std::move(shipModels);
    other.objectModels = std::move(objectModels);
    shipModels.clear();
    objectModels.clear();
    for (int i = 0; i < 4; i++)
    {
        other.lightTextures[i] = lightTextures[i];
    }
}

Model* Game::FindShipModel(const std::string& name) const
{
    return FindModel(shipModels, name);
}

Model* Game::FindObjectModel(const std::string& name) const
{
    return FindModel(objectModels, name);
}

void Game::GetPlayerColour(int playerIndex, float colour[3]) const
{
    for (int c = 0; c < 3; c++)
    {
        colour[c] = playerColours[playerIndex][c];
    }
}

int Game::WinnerIndex() const
{
    int winner = -1;
    for (Player* player : players)
    {
        if (player->FleetSize() > 0)
        {
            if (winner != -1)
            {
                return -1;
            }
            winner = player->GetIndex();
        }
    }
    return winner;
}

void Game::ClickedId(uint32_t id)
{
    switch (orderMode)
    {
    case 1:
        currentPlayer->SelectShip(id, false);
        break;
    case 2:
        currentPlayer->SelectShip(id, true);
        break;
    case 5:
    {
        orderMode = 1;
        Ship* target = nullptr;
        for (Player* player : players)
        {
            if (player->FindShip(id, target))
            {
                break;
            }
        }
        currentPlayer->TargetWithSelection(target);
        PlayInterfaceSound(Sound::Order);
        if (orderType == 4 && target != nullptr)
        {
            const Vector& p = target->GetPosition();
            currentPlayer->RotateSelection(p.x, p.y, p.z);
        }
        orderType = 0;
        break;
    }
    default:
        break;
    }
}

void Game::AddSmallExplosions(const Vector& centre, int count)
{
    for (int i = 0; i < count; i++)
    {
        Vector position = centre;
        for (int k = 0; k < 3; k++)
        {
            position[k] = float(position[k] + (40.0 * RandomFraction() - 20.0));
        }
        const float red = float((RandomFraction() + 1.0) * 0.5);
        const float green = float(RandomFraction());
        Vector colour(red, green, 0.0f);
        environment->AddExplosion(2, 0.2f, &position, &colour, false);
        PostSound(Sound::Explosion, position, kSmallExplosionLoudness);
    }
}

void Game::OnShipDestroyed(Ship* ship)
{
    ship->deathTime = 0.0f;
    PostSound(Sound::ShipDestroyed, ship->GetPosition());
    const int count = 1 + int(std::floor(3.0 * RandomFraction()));
    AddSmallExplosions(ship->GetPosition(), count);
    wrecks.push_back(ship);
    for (Player* player : players)
    {
        player->RemoveShip(ship);
    }
    bullets->ForgetShip(ship);
}

void Game::SensorSweep(Ship* ship)
{
    // A drifting wreck observes nothing and is observed by nobody: its
    // detection entries would otherwise outlive it as observers that never
    // go away.
    if (!ship->IsAlive())
    {
        return;
    }
    for (Player* player : players)
    {
        if (player != currentPlayer)
        {
            player->SensorSweep(ship);
        }
    }
}

void Game::Tick()
{
    currentPlayer->Update();
    bullets->Update();
    UpdateWrecks();
}

void Game::UpdateWrecks()
{
    for (size_t i = 0; i < wrecks.size();)
    {
        Ship* wreck = wrecks[i];
        wreck->deathTime += kTick;
        const float t = wreck->deathTime;
        wreck->Update();
        if (RandomFraction() < kWreckChance)
        {
            wreck->ToggleLights();
        }
        if (t < kBurstTime)
        {
            if (RandomFraction() < kWreckChance)
            {
                AddSmallExplosions(wreck->GetPosition(), 1);
            }
        }
        else if (t > kBurstTime && t <= kBurstEnd)
        {
            Vector centre = wreck->GetPosition();
            Vector red(1.0f, 0.0f, 0.0f);
            Vector yellow(1.0f, 1.0f, 0.0f);
            environment->AddExplosion(10, 1.0f, &centre, &red, false);
            environment->AddExplosion(10, 1.0f, &centre, &yellow, false);
            PostSound(Sound::Explosion, centre);
        }
        else if (t > kDustTime)
        {
            const Vector& p = wreck->GetPosition();
            const Vector half(kDustHalfSize, kDustHalfSize, kDustHalfSize);
            Vector low = p - half;
            Vector high = p + half;
            Vector colour(0.5f, 0.0f, 0.0f);
            environment->AddRegion(low, high, 0.2f, 0.0f, colour);
            wrecks.erase(wrecks.begin() + i);
            // No fleet may keep the pointer of a ship that is about to go.
            for (Player* player : players)
            {
                player->DropDeadShips();
            }
            delete wreck;
            continue;
        }
        i++;
    }
}

void Game::NextPlayer()
{
    currentPlayer->DeselectAll();
    currentPlayer->isCurrent = false;
    // Ships lost during the turn leave the fleet now, not at its next turn.
    currentPlayer->DropDeadShips();
    beams->Clear();
    turnsEnded++;
    currentPlayerPos++;
    if (currentPlayerPos >= players.size())
    {
        currentPlayerPos = 0;
    }
    currentPlayer = players[currentPlayerPos];
    currentPlayer->isCurrent = true;
    currentPlayer->ReselectAll();
    currentPlayer->NewTurn();
}
