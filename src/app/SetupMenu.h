#ifndef KORVANE_APP_SETUPMENU_H
#define KORVANE_APP_SETUPMENU_H

#include <string>
#include <vector>

#include "app/NetChoice.h"
#include "app/NetMenu.h"
#include "app/ResumeOffer.h"
#include "math/Vector.h"
#include "players/Seat.h"
#include "ui/Font.h"

// The set-up menu: the players choose their number (2 to 4), who plays each
// seat (a person, or the computer at one of its levels) and a map from the map
// files found, over a slowly circling nebula, and click "Begin".
//
// Button ids in the stencil buffer: 2, 3 and 4 the player counts, 5 + i the
// seat of player index i, 10 + i the map at position i of the list, 98
// "Resume" (ResumeOffer.h), 99 "Begin", 100 to 105 the network panel
// (NetMenu.h). Ids from 106 up are free for buttons still to come.

constexpr unsigned kBeginButtonId = 99;
constexpr unsigned kFirstMapButtonId = 10;
constexpr unsigned kFirstSeatButtonId = 5;

// The choice the menu returns.
struct GameSetup
{
    int numPlayers = 2;  // 2, 3 or 4
    std::string mapName; // a map file name without its extension
    SeatKind seats[4] = {SeatKind::Human, SeatKind::Human, SeatKind::Human,
                         SeatKind::Human}; // by player index
    std::string resumeFile;                // "Resume": the saved game to play on; empty for a new game
    bool remote[4] = {false, false, false, false}; // hosting: the seat is a remote player's
    NetChoice net; // hosting or joining a network game instead of a game at this screen
};

// A click on the pixel holding stencil value v, with `maps` the listed maps.
// Changes the number of players, the map or who plays a seat shown (of the
// chosen player count; while hosting the cycle has "Remote" too), or returns
// true for "Begin"; any other value changes nothing.
bool ApplyMenuClick(unsigned v, const std::vector<std::string>& maps, GameSetup& setup);

// What a click on a seat's button makes of it: Human, then the computer at
// Easy, then at Hard, then Human again.
SeatKind NextSeatKind(SeatKind kind);

// The label of a seat's button: "Human", "Computer (Easy)", "Computer (Hard)".
const char* SeatLabel(SeatKind kind);
// The label of seat i of the set-up: as above, or "Remote" for a remote player's.
const char* SeatLabel(const GameSetup& setup, int seat);

// The menu camera circling at yaw degrees: its position and view direction.
void MenuCamera(float yaw, Vector& position, Vector& viewDirection);

class Environment;

// The menu's own world and choice: a font, the map list, the nebula of the
// map "intro" (seed 353) seen by a camera circling the centre.
class SetupMenu
{
  public:
    // Loads the font, lists the maps (the first one chosen), sets up the
    // environment and the sky-blue clear colour. No map at all ends the program.
    SetupMenu();
    // Destroys the environment (which reports its removal).
    ~SetupMenu();

    SetupMenu(const SetupMenu&) = delete;
    SetupMenu& operator=(const SetupMenu&) = delete;

    // One frame into the back buffer: the nebula, the three panels with their
    // buttons, "Begin", and the pointer with its tip at (pointerX, pointerY)
    // in screen pixels, origin at the bottom left.
    void Draw(int pointerX, int pointerY);

    // A mouse button pressed at (x, y), origin at the bottom left: acts on
    // the button drawn there in the last frame. Returns true for "Begin".
    bool Click(int x, int y);

    // One tick: the environment moves on and the camera circles one degree further.
    void Tick();

    Font font;
    std::vector<std::string> maps; // the map files found, in listing order
    GameSetup setup;
    ResumeOffer resume;   // the saved game offered, or a save that cannot be read
    NetMenuPanel network; // "Host" and "Join"
    Environment* environment;
    float yaw;     // camera yaw in degrees
    Vector camera; // camera position
    Vector view;   // view direction
};

// The screen that stays up while the game loads, into the back buffer.
void DrawLoadingScreen(const Font& font);

// Runs the menu until "Begin" or "Resume" is clicked; leaves the "Loading
// level" screen on the display. A saved game that could not be resumed
// (failedFile, with what went wrong) is not offered again, and its problem is
// shown in place of the one the menu finds itself.
// A network choice from the command line starts the menu with it. After a
// network game that could not begin, the menu comes back with the set-up
// chosen before (previous) and the reason in the network panel.
GameSetup ChooseGameSetup(const std::string& failedFile = std::string(),
                          const std::string& failure = std::string(), const NetChoice& net = NetChoice(),
                          const GameSetup* previous = nullptr, const std::string& netProblem = std::string());

#endif
