#ifndef KORVANE_UI_COMMANDPANEL_H
#define KORVANE_UI_COMMANDPANEL_H

#include <SDL/SDL.h>

#include <string>

#include "ui/Font.h"

class Game;
class Ship;
class BeamTurret;
class GunTurret;
class Hangar;

// The command panel: the bar along the bottom of the screen that shows the
// first selected ship of the current player (drawn by that ship's ShipPanel)
// and the control strip in the bottom-right corner with Next Ship, Sensor Mode
// and End Turn.
//
// It is drawn twice in different ways. Draw, once per frame, is the visible
// pass: every pixel it covers gets stencil 1. HitTest, on a click whose
// stencil value is 1, draws it again as a pick pass in which every button
// writes its own id, reads the id under the pointer back and lets that button
// act. Order buttons act by posting the key press the keyboard handling
// already understands; part buttons act on the ship's turrets and hangars.

// Stencil ids of the pick pass. 1 is any pixel of the panel that is no button.
enum PanelId : unsigned
{
    kIdPanel = 1,
    kIdMove = 2,
    kIdRotate = 3,
    kIdTarget = 4,
    kIdAttack = 5,
    kIdStop = 6,
    kIdFirstPart = 7, // parts list entry k has id 7 + k
    kIdLastPart = 12, // only the first six entries can be clicked
    kIdBeamBurst = 20,
    kIdBeamAttack = 21,
    kIdBeamCone = 22,
    kIdGunBurst = 30,
    kIdGunAttack = 31,
    kIdGunCone = 32,
    kIdLaunch = 40,
    kIdNextShip = 91,
    kIdSensorMode = 92,
    kIdEndTurn = 99
};

// The panel's palette.
extern const float kButtonColour[4];    // outer band of every button
extern const float kHighlightColour[4]; // an active button; a value still available
extern const float kPlainColour[4];     // an inactive button
extern const float kSpentColour[4];     // a value that has run out
extern const float kBarColour[4];       // background of the bar and the strip

class CommandPanel
{
  public:
    // Stores the game and loads the font (needs a current OpenGL context).
    explicit CommandPanel(Game* game);

    // The font, for the screens that draw text with it.
    const ::Font& Font() const { return font; }

    // The visible pass: 2D mode, the strip, the selected ship's panel, the
    // frame-rate meter and the pointer.
    void Draw();

    // The pick pass at the pointer position (x, y) in screen pixels, origin at
    // the bottom left: draws the buttons with their ids into the back buffer,
    // reads the stencil value at (x, y) and runs the button's action. Relies
    // on the 2D state the frame's Draw left behind.
    void HitTest(int x, int y);

    void DrawControlStrip(bool pickPass);
    void ControlStripAction(unsigned id);

    Game* game;
    ::Font font;
};

class ShipPanel
{
  public:
    ShipPanel(Ship* ship, CommandPanel* commandPanel);

    // The ship's part of the bar: name and class tags, hull diagram, movement
    // time, order buttons, parts list and the sub-panel of the selected part.
    // Ids are written only when pickPass is set; otherwise every button writes 1.
    void Draw(bool pickPass);

    // The action of the button with that id; ids that are no button of the
    // ship panel do nothing.
    void Action(unsigned id);

    Ship* ship;                  // the ship it shows
    CommandPanel* commandPanel;  // the game's panel, for its font and the game
    GunTurret* shownGunTurret;   // the selected part of each kind found by the last draw;
    BeamTurret* shownBeamTurret; // set while drawing, never cleared, read by the
    Hangar* shownHangar;         // sub-panel buttons' actions

  private:
    // The sub-panel background and its title.
    void DrawSubPanel(const std::string& title, const float* colour);
    // Turning and firing time and the three turret buttons, ids from firstId.
    void DrawTurretPanel(bool pickPass, const std::string& name, const float* colour, float turnTimeLeft,
                         float fireTimeLeft, bool burstFire, bool showCone, unsigned firstId);
    void DrawHangarPanel(bool pickPass);
};

// Posts a synthetic key press (SDL_KEYDOWN, SDL_PRESSED) or release (SDL_KEYUP,
// SDL_RELEASED) into SDL's event queue, handled like a real key later.
void PostKeyPress(SDLKey key);
void PostKeyRelease(SDLKey key);

// "7.35 sec": seconds in fixed notation with two decimals.
std::string FormatSeconds(float seconds);

// "2 left": a count of squadrons.
std::string FormatSquadrons(int squadrons);

// The filled length of a hull bar of full length L: ceil(hull / hullMax * L),
// kept within 0 to L.
int HullBarLength(float hull, float hullMax, int length);

#endif
