// The command panel in every state, drawn through the real code and compared
// with reviewed frames: several states are stacked in one frame, each drawn
// 150 pixels above the last (the panel is 150 pixels high). Then what a click
// on each button does.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <utility>
#include <vector>

#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"
#include "ui/CommandPanel.h"
#include "ui/Overlay.h"

namespace
{

std::vector<SDL_Event> DrainKeys()
{
    std::vector<SDL_Event> keys;
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
        {
            keys.push_back(event);
        }
    }
    return keys;
}

// Sets the hull faces to these fractions of their full strength.
void SetHull(Ship* ship, const float (&fractions)[kHullFaces])
{
    for (int face = 0; face < kHullFaces; ++face)
    {
        ship->hull[face] = ship->hullMax[face] * fractions[face];
    }
}

class Panel : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        static Game* shared = new Game(2, "map1");
        game = shared;
        Select(nullptr); // whatever the last test selected
        panel = game->GetPanel();
        // Player 0's fleet: battle frigate, fusion frigate, carrier, fusion and battle frigates.
        frigate = game->players[0]->fleet[0];
        beamer = game->players[0]->fleet[1];
        carrier = game->players[0]->fleet[2];
        for (Ship* ship : {frigate, beamer, carrier})
        {
            ship->NewTurn();
            SetHull(ship, {1, 1, 1, 1, 1, 1});
        }
        game->SetOrderType(0);
        game->SetViewMode(0);
        game->players[0]->cameraGliding = 0;
        DrainKeys();
    }

    // Player 0 (the current player) with exactly this ship selected.
    void Select(Ship* ship)
    {
        game->players[0]->DeselectAll();
        game->players[0]->selection.clear();
        if (ship != nullptr)
        {
            game->players[0]->SelectShip(ship->id, false);
        }
    }

    // One state of the panel with its bottom at y: the strip (lit: the camera
    // gliding and the sensor view on), and the panel of the ship (none for
    // nullptr) with its part `part` chosen, under the order type given.
    void DrawRow(int y, Ship* ship, int part, int orderType, bool lit = false, bool pickPass = false)
    {
        Select(ship);
        game->SetOrderType(orderType);
        game->SetViewMode(lit ? 1 : 0);
        game->players[0]->cameraGliding = lit ? 1 : 0;
        Begin2D();
        glTranslatef(0.0f, float(y), 0.0f);
        panel->DrawControlStrip(pickPass);
        if (ship != nullptr)
        {
            ship->SelectPart(part);
            ship->panel->Draw(pickPass);
        }
    }

    // The frame's visible pass, then a click at (x, y) with the ship selected;
    // returns the keys the click posted.
    std::vector<SDL_Event> Click(Ship* ship, int x, int y)
    {
        Select(ship);
        panel->Draw();
        panel->HitTest(x, y);
        return DrainKeys();
    }

    Game* game = nullptr;
    CommandPanel* panel = nullptr;
    Ship* frigate = nullptr;
    Ship* beamer = nullptr;
    Ship* carrier = nullptr;
};

TEST_F(Panel, TurnFrameWithTheBeamAndHangarSubPanelsAndTheStripLit)
{
    // Bottom: the whole overlay as a turn draws it: the battle frigate's first
    // gun turret, Rotate chosen, the frame-rate meter and the arrow pointer.
    Select(frigate);
    frigate->SelectPart(0);
    game->SetOrderType(2);
    game->fps = 50.0f;
    game->fpsSmoothed = 30.0f;
    game->SetOrderMode(1);
    game->SetMouse(600, 520);
    panel->Draw();

    // Middle: the second beam turret with both switches on and its firing
    // time spent; the turret Attack chosen; the camera gliding, sensor view on.
    BeamTurret* beam = beamer->beamTurrets[1];
    beam->burstFire = true;
    beam->showCone = true;
    beam->turnTimeLeft = 4.999f;
    beam->fireTimeLeft = 0.0f;
    beamer->moveTimeLeft = 7.35f;
    SetHull(beamer, {0.3f, 0.0f, 0.5f, 1.0f, 0.02f, 0.3f});
    DrawRow(150, beamer, 1, 5, true);
    beam->burstFire = false;
    beam->showCone = false;

    // Top: the carrier's second hangar, Target chosen, its movement time spent.
    carrier->moveTimeLeft = 0.0f;
    DrawRow(300, carrier, 4, 3);
    EXPECT_TRUE(MatchesReference("panel-turn"));
}

TEST_F(Panel, LaunchFightersThenShowTheFighter)
{
    Player* player = game->players[0];
    Hangar* hangar = carrier->hangars[0];
    const int squadrons = hangar->squadronsLeft;
    const size_t fleet = player->fleet.size();
    carrier->SelectPart(3);
    hangar->squadronsLeft = 1;
    Click(carrier, 430, 85); // (a launch's own rules: CombatTest)
    ASSERT_EQ(player->fleet.size(), fleet + 5);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT); // what the clicks drew

    // Bottom: no selection, only the strip. Then the hangar just emptied,
    // Attack chosen; the carrier's third gun turret with its turning time
    // spent, Move chosen; the first fighter's gun, no order chosen.
    DrawRow(0, nullptr, 0, 0);
    DrawRow(150, carrier, 3, 4);
    GunTurret* gun = carrier->gunTurrets[2];
    gun->burstFire = true;
    gun->turnTimeLeft = 0.0f;
    gun->fireTimeLeft = 2.5f;
    SetHull(carrier, {0.3f, 0.25f, 0.999f, 0.001f, 0.5f, 0.0f});
    DrawRow(300, carrier, 2, 1);
    gun->burstFire = false;
    Ship* fighter = player->fleet[fleet];
    fighter->gunTurrets[0]->showCone = true;
    DrawRow(450, fighter, 0, 0);
    EXPECT_TRUE(MatchesReference("panel-more"));

    Select(nullptr); // the fighter goes
    while (player->fleet.size() > fleet)
    {
        delete player->fleet.back();
        player->fleet.pop_back();
    }
    hangar->squadronsLeft = squadrons;
}

TEST_F(Panel, PickPassWritesEachButtonsId)
{
    // The beam frigate's first turret; the carrier's first hangar; the carrier
    // with seven parts (its first gun listed twice more), the first gun shown.
    DrawRow(0, beamer, 0, 0, false, true);
    DrawRow(150, carrier, 3, 0, false, true);
    carrier->gunTurrets.push_back(carrier->gunTurrets[0]);
    carrier->gunTurrets.push_back(carrier->gunTurrets[0]);
    DrawRow(300, carrier, 0, 0, false, true);
    carrier->gunTurrets.resize(3);
    EXPECT_TRUE(MatchesReference("panel-pick"));
}

// What each button does is played through in e2e_game (every order, each
// switch of a gun and a beam turret, a part chosen, a launch, Next Ship and
// the sensor view there and back). Here: what it cannot reach.
TEST_F(Panel, ClicksBesideTheButtonsAndPastTheSixthPartDoNothing)
{
    carrier->SelectPart(0);
    for (const auto& [x, y] : {std::pair<int, int>{175, 40}, {700, 100}, {400, 300}})
    {
        EXPECT_TRUE(Click(carrier, x, y).empty()) << x << "," << y;
    }

    // The parts list: entry k at height 20 + 25k selects part k, up to the
    // sixth; a seventh is drawn but does nothing.
    Click(carrier, 317, 120);
    EXPECT_TRUE(carrier->hangars[1]->IsSelected());
    carrier->gunTurrets.push_back(carrier->gunTurrets[0]);
    carrier->gunTurrets.push_back(carrier->gunTurrets[0]);
    Click(carrier, 317, 145);
    Click(carrier, 317, 170);
    EXPECT_TRUE(carrier->hangars[0]->IsSelected());
    carrier->gunTurrets.resize(3);
}

// A hull bar is ceil(hull / hullMax x L) pixels. Whenever that product is a
// whole number the bar is exactly that long: 300 of 1000 fills 15 of 50
// pixels, not 16. The rows are hull values of the game's own classes (hull
// maxima 1000, 760, 700, 520, 400) at the fractions 0.3, 0.54, 0.6 and 0.79.
TEST(HullBar, WholeNumberFractionsAreNotRoundedUp)
{
    const struct
    {
        float hull, hullMax;
        int length, pixels;
    } rows[] = {
        {300, 1000, 50, 15}, {540, 1000, 50, 27}, {600, 1000, 50, 30}, {156, 520, 50, 15},
        {378, 700, 50, 27},  {216, 400, 50, 27},  {300, 760, 38, 15},  {600, 760, 38, 30},
        {301, 1000, 50, 16}, {601, 760, 38, 31},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(HullBarLength(row.hull, row.hullMax, row.length), row.pixels)
            << row.hull << " of " << row.hullMax << " on " << row.length;
    }
}

} // namespace
