// Who plays each seat: the set-up menu's clicks on the seat buttons among its
// other buttons, and how a computer's turn is shown for every mix of people and
// computers still in the game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ComputerTurn.h"
#include "app/SetupMenu.h"

namespace
{

const std::vector<std::string> kMaps = {"map1", "map2", "map3", "map4"};

constexpr SeatKind H = SeatKind::Human;
constexpr SeatKind E = SeatKind::ComputerEasy;
constexpr SeatKind X = SeatKind::ComputerHard;

TEST(SeatsMenu, EveryButtonChangesItsOwnChoiceAndNothingElse)
{
    // One click after another on a fresh menu's choice: the value read under
    // the pointer, and the whole choice after it.
    const struct
    {
        unsigned id;
        bool begins;
        int players;
        const char* map;
        std::vector<SeatKind> seats;
    } clicks[] = {
        {5, false, 2, "map1", {E, H, H, H}},   // the first seat: the computer, Easy
        {6, false, 2, "map1", {E, E, H, H}},   // the second seat
        {7, false, 2, "map1", {E, E, H, H}},   // the third seat is not shown with two players
        {8, false, 2, "map1", {E, E, H, H}},   // nor the fourth
        {4, false, 4, "map1", {E, E, H, H}},   // "4 Players"
        {8, false, 4, "map1", {E, E, H, E}},   // now the fourth seat is shown
        {6, false, 4, "map1", {E, X, H, E}},   // the second seat again: Hard
        {12, false, 4, "map3", {E, X, H, E}},  // the third map
        {9, false, 4, "map3", {E, X, H, E}},   // between the seats' ids and the maps'
        {14, false, 4, "map3", {E, X, H, E}},  // past the last map
        {0, false, 4, "map3", {E, X, H, E}},   // nothing under the pointer
        {1, false, 4, "map3", {E, X, H, E}},   // a panel between buttons
        {100, false, 4, "map3", {E, X, H, E}}, // an id no button has
        {2, false, 2, "map3", {E, X, H, E}},   // "2 Players": the hidden seats keep their choice
        {99, true, 2, "map3", {E, X, H, E}},   // "Begin"
    };
    GameSetup setup;
    setup.mapName = kMaps.front();
    for (const auto& click : clicks)
    {
        SCOPED_TRACE("id " + std::to_string(click.id));
        EXPECT_EQ(ApplyMenuClick(click.id, kMaps, setup), click.begins);
        EXPECT_EQ(setup.numPlayers, click.players);
        EXPECT_EQ(setup.mapName, click.map);
        EXPECT_EQ(std::vector<SeatKind>(setup.seats, setup.seats + 4), click.seats);
    }
}

TEST(ComputerTurnView, ThePeopleStillInTheGameDecideWhoseViewIsShown)
{
    const struct
    {
        std::vector<SeatKind> seats;
        std::vector<int> fleets;
        int current;
        bool watched;
        int viewer;
    } cases[] = {
        {{H, X}, {5, 5}, 1, true, 0},             // one person watches through their own eyes
        {{E, H}, {5, 5}, 0, true, 1},             // from any seat
        {{X, H, E, E}, {5, 5, 5, 5}, 2, true, 1}, // whichever computer moves
        {{H, H, X}, {5, 5, 5}, 2, false, 2},      // two people: nobody's view
        {{H, E, H, X}, {5, 5, 5, 5}, 3, false, 3},
        {{H, H, X}, {0, 5, 5}, 2, true, 1}, // the only person left in the game watches
        {{H, X, E}, {0, 5, 5}, 2, true, 2}, // nobody left: the computer's own view
        {{X, E}, {5, 5}, 1, true, 1},       // nobody at all
        {{E, E, E, E}, {1, 0, 3, 5}, 0, true, 0},
    };
    for (const auto& c : cases)
    {
        const ComputerTurnView view = ChooseComputerTurnView(c.seats, c.fleets, c.current);
        EXPECT_EQ(view.watched, c.watched) << "current " << c.current;
        EXPECT_EQ(view.viewer, c.viewer) << "current " << c.current;
    }
}

// (The line that names the computer is in the frames of ComputerTurnFrames.)
TEST(ComputerTurnView, TheBarFillsOverTheTurnsMovement)
{
    EXPECT_EQ(TurnProgress(0, false), 0.0f);
    EXPECT_EQ(TurnProgress(50, false), 0.25f);
    EXPECT_EQ(TurnProgress(200, false), 1.0f); // ten seconds of movement
    EXPECT_EQ(TurnProgress(900, false), 1.0f);
    EXPECT_EQ(TurnProgress(10, true), 1.0f);
    EXPECT_EQ(TurnProgress(-5, false), 0.0f);
}

} // namespace
