#ifndef KORVANE_GAME_GAME_H
#define KORVANE_GAME_GAME_H

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "math/Vector.h"

class Player;
class Model;
class Ship;
class Environment;
class BeamList;
class BulletList;
class CommandPanel;

// Where each player starts: camera focus and heading, by player index.
struct Placement
{
    Vector focus;
    float heading;
};
extern const Placement gPlacements[4];

// The game in progress: players and whose turn it is, model catalogues, wrecks,
// environment, projectiles, command panel, the input modes and the colours.
class Game
{
  public:
    // Builds everything for numPlayers (2 to 4) on the named map. Needs a
    // current OpenGL context. Without fleets the players start with none (a
    // saved game brings its own). With a donor, the catalogue of models and
    // the light textures are taken over from that game instead of being read
    // again (the donor must have been built from the same data files).
    Game(int numPlayers, const std::string& mapName, bool withFleets = true, Game* catalogueDonor = nullptr);
    // Announces and frees models, wrecks, players, projectiles and environment.
    virtual ~Game();

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Hands this game's catalogue of models and light textures to another
    // game, which must have none; this game must not build ships afterwards.
    void GiveCatalogueTo(Game& other);

    Model* FindShipModel(const std::string& name) const;
    Model* FindObjectModel(const std::string& name) const;
    uint32_t TakeId() { return nextId++; }
    void GetPlayerColour(int playerIndex, float colour[3]) const;
    GLuint GetLightTexture(int playerIndex) const { return lightTextures[playerIndex]; }

    Environment* GetEnvironment() const { return environment; }
    Player* GetCurrentPlayer() const { return currentPlayer; }
    // The player whose camera and sensors the screen shows: the current
    // player, unless someone else watches the current player's turn.
    Player* GetViewer() const { return viewer != nullptr ? viewer : currentPlayer; }
    void SetViewer(Player* player) { viewer = player; }
    BeamList* GetBeams() const { return beams; }
    BulletList* GetBullets() const { return bullets; }
    CommandPanel* GetPanel() const { return panel; }
    const std::vector<Player*>& GetPlayers() const { return players; }
    const std::vector<Ship*>& GetWrecks() const { return wrecks; }

    int32_t GetState() const { return state; }
    void SetState(int32_t s) { state = s; }
    int32_t GetOrderMode() const { return orderMode; }
    void SetOrderMode(int32_t m) { orderMode = m; }
    int32_t GetOrderType() const { return orderType; }
    void SetOrderType(int32_t t) { orderType = t; }
    int32_t GetViewMode() const { return viewMode; }
    void SetViewMode(int32_t v) { viewMode = v; }
    void SetMouse(int x, int y)
    {
        mouseX = x;
        mouseY = y;
    }
    void GetMouse(int& x, int& y) const
    {
        x = mouseX;
        y = mouseY;
    }
    void SetOrderPoint(float x, float y, float z) { orderPoint = Vector(x, y, z); }
    const Vector& GetOrderPoint() const { return orderPoint; }

    // The only player with ships left while all others have none; otherwise -1.
    int WinnerIndex() const;
    int WreckCount() const { return int(wrecks.size()); }

    // A click on the object drawn with stencil value id, by order mode.
    void ClickedId(uint32_t id);
    // Called by a ship when it is destroyed.
    void OnShipDestroyed(Ship* ship);
    // The detection test of a ship of the current player against every other
    // player. Virtual so that a test can run the same game with the plain
    // sweep and compare every result.
    virtual void SensorSweep(Ship* ship);
    // One tick of game time: the current player, the bullets, the wrecks.
    void Tick();
    // The change of turn.
    void NextPlayer();

    // Burning wrecks: explosions, the burst, the dust cloud and deletion.
    void UpdateWrecks();
    // One to three small explosions about a point.
    void AddSmallExplosions(const Vector& centre, int count);

    std::vector<Player*> players; // one per player, in index order
    size_t currentPlayerPos;      // position of the current player in players
    Player* currentPlayer;
    Player* viewer;                   // watching the current player's turn; none: the current player
    std::vector<Model*> shipModels;   // the ship-class catalogue
    std::vector<Model*> objectModels; // turret parts and other object meshes
    std::vector<Ship*> wrecks;        // destroyed ships still burning, owned
    Environment* environment;         // nebula regions and explosions
    BeamList* beams;
    BulletList* bullets;
    CommandPanel* panel;
    uint32_t nextId;         // next ship or fighter id; also its stencil value
    SDL_TimerID timer;       // tick timer of the turn in progress
    int32_t state;           // 0 playing, 1 the current turn is over, 2 the game is over
    int32_t orderMode;       // 1 select, 2 add to selection, 3 place order point, 4 its height, 5 pick target
    int32_t orderType;       // 0 none, 1 move, 2 rotate, 3 target, 4 attack, 5 target for selected turrets
    int32_t viewMode;        // 0 normal, 1 sensor view
    GLuint lightTextures[4]; // by player index
    float playerColours[4][3]; // by player index
    int mouseX, mouseY;        // screen pixels, y upwards from the bottom
    Vector orderPoint;         // the point of the move or rotate order being placed
    float fps;                 // frames per second over the last 20 ticks
    float fpsSmoothed;
    int32_t frameCount; // frames since the last measurement
    // Changes of player so far: the round is turnsEnded / players + 1.
    uint32_t turnsEnded;
    // The map the game is played on.
    std::string mapName;
};

#endif
