#ifndef KORVANE_APP_NETCHOICE_H
#define KORVANE_APP_NETCHOICE_H

#include <string>

#include "net/EnetLibrary.h"

// Whether this machine plays a game at one screen or one seat of a network
// game, and how it reaches the others: from the command line (--host,
// --join) or the set-up menu's "Host" and "Join".
struct NetChoice
{
    enum class Role
    {
        None, // every seat at this screen (or the computer's): the hot-seat game
        Host, // starts a relay here and opens the game on it
        Join, // joins a game on a relay somewhere else
    };

    Role role = Role::None;
    std::string address;                // Join: the relay's host name or IPv4 address
    unsigned short port = kDefaultPort; // the relay's UDP port
    std::string bind;                   // Host: the address its relay listens on (empty: every address here)
    std::string code;                   // the game code (a host with none makes one)
    std::string name;                   // the player's name as the others see it (empty: DefaultPlayerName)

    bool IsNetwork() const { return role != Role::None; }
};

// The login name when it makes a valid player's name, else "Player".
std::string DefaultPlayerName();

// "ADDRESS:PORT" for the lines a player reads.
std::string RelayText(const std::string& address, unsigned short port);

#endif
