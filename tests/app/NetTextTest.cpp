// What the screens of a network game say between turns: whose turn it is and
// for how long, each seat as this machine sees it, the away players whose
// seats the computer may take over, and the lobby.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/NetText.h"

namespace
{

const SeatEntry kAnn{SeatControl::Person, SeatPresence::Present, 1, "Ann"};
const SeatEntry kBo{SeatControl::Person, SeatPresence::Present, 2, "Bo"};
const SeatEntry kBoAway{SeatControl::Person, SeatPresence::Away, 2, "Bo"};
const SeatEntry kBoSilent{SeatControl::Person, SeatPresence::TimedOut, 2, "Bo"};
const SeatEntry kOpen{SeatControl::Person, SeatPresence::Open, 0, ""};
const SeatEntry kComputer{SeatControl::Computer, SeatPresence::Present, 1, "Ann"};

TEST(NetText, DurationsAsMinutesAndSecondsThenHours)
{
    const struct
    {
        unsigned seconds;
        const char* text;
    } rows[] = {{0, "0:00"},    {7, "0:07"},     {59, "0:59"},      {60, "1:00"},      {65, "1:05"},
                {600, "10:00"}, {3599, "59:59"}, {3600, "1:00:00"}, {3723, "1:02:03"}, {36000, "10:00:00"}};
    for (const auto& row : rows)
        EXPECT_EQ(DurationText(row.seconds), row.text) << row.seconds;
}

TEST(NetText, EachSeatAsThisMachineSeesIt)
{
    // (A person's seat, this machine's or another's, and an open one: the
    // lobby's lines; a person and a computer named: the waiting screen's.)
    EXPECT_EQ(SeatText(1, kBoAway, false), "Player 2: Remote (Bo, away)");
    EXPECT_EQ(SeatText(1, kBoSilent, false), "Player 2: Remote (Bo, timed out)");
    // A computer's seat, the host's or one taken over, names no person.
    EXPECT_EQ(SeatText(3, kComputer, true), "Player 4: Computer");
    EXPECT_EQ(SeatText(3, kComputer, false), "Player 4: Computer");
    EXPECT_EQ(PlayerText(2, kOpen), "Player 3");
}

TEST(NetText, TheWaitingScreenNamesWhoseTurnAndHowLong)
{
    WaitingView view;
    view.seatToPlay = 1;
    view.seconds = 95;
    view.seats = {kAnn, kBo};
    const std::vector<std::string> lines = WaitingLines(view);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Player 2 (Bo) is playing");
    EXPECT_EQ(lines[1], "Their turn has lasted 1:35");
    EXPECT_EQ(lines.back(), "Escape leaves the game (your seat is kept)");
    // Nobody is away: no seat is offered to the computer.
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("press Y"), std::string::npos) << line;
    view.seatToPlay = 0;
    view.seats = {kComputer, kBo};
    EXPECT_EQ(WaitingLines(view)[0], "Player 1 (computer) is playing");
}

TEST(NetText, AnAwayPlayersSeatIsOfferedToTheComputerUntilAgreed)
{
    WaitingView view;
    view.seatToPlay = 1;
    view.seats = {kAnn, kBoAway, kBoSilent, kComputer};
    view.notices = {"Player 2 (Bo) left the game"};
    std::vector<std::string> lines = WaitingLines(view);
    EXPECT_EQ(lines[0], "It is the turn of Player 2 (Bo), who is away");
    const std::vector<std::string> offered = {
        "Player 2 (Bo) is away: press Y to let the computer play it",
        "Player 3 (Bo) is away: press Y to let the computer play it",
        "Player 2 (Bo) left the game",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 6), offered);
    view.voted = {false, true, false, false};
    lines = WaitingLines(view);
    EXPECT_EQ(lines[3], "Player 2 (Bo) is away: you agreed that the computer plays the seat");
    EXPECT_EQ(lines[4], "Player 3 (Bo) is away: press Y to let the computer play it");
}

TEST(NetText, TheLobbyGivesTheHostsCodeAndTheSeatsFilling)
{
    const std::vector<std::string> host = LobbyLines("K7WQ2M", "127.0.0.1", 24250, {kAnn, kOpen}, 1, true);
    const std::vector<std::string> hostExpected = {
        "Game code: K7WQ2M",
        "The others join at this machine's address, port 24250, with the code",
        "",
        "Player 1: Human (Ann, you)",
        "Player 2: Remote (open)",
        "",
        "Waiting for players to join",
        "Escape leaves the game",
    };
    EXPECT_EQ(host, hostExpected);
    const std::vector<std::string> joined = LobbyLines("K7WQ2M", "192.0.2.10", 3000, {kAnn, kBo}, 2, false);
    EXPECT_EQ(joined[0], "Joined the game K7WQ2M on 192.0.2.10:3000");
    EXPECT_EQ(joined[2], "Player 1: Remote (Ann)");
    EXPECT_EQ(joined[3], "Player 2: Human (Bo, you)");
    EXPECT_EQ(joined[5], "Waiting for the host to begin");
    // Before the relay's first seat table.
    EXPECT_EQ(LobbyLines("K7WQ2M", "h", 1, {}, 0, false)[3], "Connecting to the relay");
}

} // namespace
