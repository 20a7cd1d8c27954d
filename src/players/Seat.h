#ifndef KORVANE_PLAYERS_SEAT_H
#define KORVANE_PLAYERS_SEAT_H

#include <cstdint>

// Who plays a seat: a person at the screen, or the computer at one of its
// levels. Every seat starts as a person's.
enum class SeatKind : int32_t
{
    Human = 0,
    ComputerEasy = 1, // the scripted player
    ComputerHard = 2, // the computer player of src/ai
};

inline bool IsComputerSeat(SeatKind kind)
{
    return kind != SeatKind::Human;
}

#endif
