#ifndef KORVANE_APP_NETTEXT_H
#define KORVANE_APP_NETTEXT_H

#include <string>
#include <vector>

#include "net/Message.h"

// The lines of the screens a network game shows between its turns: the
// lobby while the seats fill, the waiting screen while another machine plays,
// and the screen that says why the game ended. Pure text, so that what the
// players read can be tested without a display.

// "0:07", "1:05", "12:00", "1:02:03": minutes and seconds, hours when needed.
std::string DurationText(unsigned seconds);

// How one seat looks from this machine: "Player 1: Human (Ann, you)",
// "Player 2: Remote (Bo)", "Player 2: Remote (Bo, away)", "Player 3: Remote
// (open)", "Player 4: Computer".
std::string SeatText(int seat, const SeatEntry& entry, bool mine);

// "Player 2 (Bo)" or "Player 3 (computer)": who plays a seat.
std::string PlayerText(int seat, const SeatEntry& entry);

// What the waiting screen shows.
struct WaitingView
{
    int seatToPlay = 0;               // whose turn it is
    unsigned seconds = 0;             // how long that turn has lasted
    std::vector<SeatEntry> seats;     // the relay's seat table
    std::vector<bool> voted;          // by seat: this machine agreed to a take-over
    std::vector<std::string> notices; // the latest events, oldest first
};

// The waiting screen's lines, top to bottom: whose turn and how long it has
// lasted, each seat whose player is away with the key that lets the
// computer play it (or that this machine agreed), the latest events, and
// how to leave.
std::vector<std::string> WaitingLines(const WaitingView& view);

// The lobby's lines: the code and port to give the others (host), or the
// relay joined, the seats, and what the game waits for.
std::vector<std::string> LobbyLines(const std::string& code, const std::string& address, unsigned short port,
                                    const std::vector<SeatEntry>& seats, int myMachine, bool host);

// The key that agrees to let the computer play an away player's seat.
constexpr char kTakeOverKey = 'y';

#endif
