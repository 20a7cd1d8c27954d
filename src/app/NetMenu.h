#ifndef KORVANE_APP_NETMENU_H
#define KORVANE_APP_NETMENU_H

#include <string>

#include "ui/Font.h"
#include "ui/TextField.h"

struct GameSetup;

// The set-up menu's network panel, "Play over a network": "Host" and "Join".
// Hosting adds "Remote" to the seat buttons' cycle and shows the game code
// and the relay's port; joining shows the fields of the relay's address and
// port, the code and the player's name, typed in with the keyboard. A click
// on "Begin" (or Enter) then hosts or joins instead of starting a game at
// this screen.
//
// Stencil ids: 100 "Host", 101 "Join", 102 to 105 the fields.

constexpr unsigned kHostButtonId = 100;
constexpr unsigned kJoinButtonId = 101;
constexpr unsigned kFirstFieldId = 102;
constexpr int kFieldCount = 4;

struct NetMenuPanel
{
    enum Field
    {
        AddressField = 0,
        PortField = 1,
        CodeField = 2,
        NameField = 3,
    };

    NetMenuPanel();

    TextField fields[kFieldCount];
    int focus = AddressField; // the field that takes the keys
    std::string problem;      // why the last Begin could not host or join; empty: none
};

// Starts the panel (and the set-up's seats) with the choice the set-up
// carries, such as the command line's --host.
void StartNetPanel(NetMenuPanel& panel, GameSetup& setup);

// A click on the pixel holding stencil value v: "Host" or "Join" chooses that
// (again: back to a game at this screen), a field takes the focus. Returns
// true when v is one of the panel's ids.
bool ApplyNetClick(unsigned v, NetMenuPanel& panel, GameSetup& setup);

// What a click on a seat's button makes of it while hosting: Human, the
// computer at Easy, at Hard, Remote, Human again.
void CycleHostedSeat(GameSetup& setup, int seat);

// A character typed, or Backspace ('\b'), into the focused field of a
// joining panel; Tab ('\t') moves the focus to the next field. False when
// the panel took nothing (not joining, or a character the field refuses).
// A change to a field clears the problem shown.
bool NetPanelKey(NetMenuPanel& panel, const GameSetup& setup, char c);

// On "Begin": fills the set-up's network choice from the panel, or returns
// false with the problem set (a port or address that cannot be used, a code
// or name that is not one). True at once for a game at this screen.
bool FinishNetChoice(NetMenuPanel& panel, GameSetup& setup);

// Draws the panel under the map panel; expects the menu's 2D state.
void DrawNetPanel(const Font& font, const NetMenuPanel& panel, const GameSetup& setup);

#endif
