#include <SDL/SDL.h>

#include <vector>

#include "TestFont.h"
#include "UiGame.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
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

struct Centre
{
    int x, y;
    unsigned id;
};

class Panel : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game = SharedGame();
        panel = game->GetPanel();
        carrier = FleetShip(game, "escortcarrier2");
        ASSERT_NE(carrier, nullptr);
        SelectOnly(game, carrier);
        carrier->SelectPart(0);
        game->SetViewMode(0);
        game->SetOrderType(0);
        DrainKeys();
    }

    void TearDown() override
    {
        if (extended)
        {
            carrier->gunTurrets.resize(3);
        }
        SelectOnly(game, nullptr);
        DrainKeys();
        GLTest::TearDown();
    }

    // The frame's visible pass, then a click at (x, y); returns the keys it posted.
    std::vector<SDL_Event> Click(int x, int y)
    {
        panel->Draw();
        panel->HitTest(x, y);
        return DrainKeys();
    }

    // Lengthens the carrier's parts list (three guns, two hangars) to seven
    // entries by listing its first gun turret twice more; undone in TearDown.
    void SevenParts()
    {
        carrier->gunTurrets.push_back(carrier->gunTurrets[0]);
        carrier->gunTurrets.push_back(carrier->gunTurrets[0]);
        extended = true;
    }

    void PickPass()
    {
        Begin2D();
        panel->DrawControlStrip(true);
        carrier->panel->Draw(true);
    }

    Game* game = nullptr;
    CommandPanel* panel = nullptr;
    Ship* carrier = nullptr;
    bool extended = false;
};

void ExpectKey(const std::vector<SDL_Event>& keys, SDLKey key)
{
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].type, SDL_KEYDOWN);
    EXPECT_EQ(keys[0].key.state, SDL_PRESSED);
    EXPECT_EQ(keys[0].key.keysym.sym, key);
}

} // namespace

TEST_F(Panel, VisiblePassMarksThePanelWithOne)
{
    panel->Draw();
    EXPECT_EQ(CountStencil(0, 0, 750, 150, 1), 750 * 150);
    EXPECT_EQ(CountStencil(750, 0, 50, 150, 1), 50 * 150);
    EXPECT_EQ(ReadStencil(400, 300), 0u);
    // The name tag at (8, 125) with the ship's name in it.
    const Rgb tag = ReadPixel(9, 132);
    EXPECT_GT(tag.b, 200);
    EXPECT_LT(tag.r, 100);
    const int w = TextWidth(panel->Font(), carrier->name, 14);
    EXPECT_GT(CountColour(12, 125, w, 14, 255, 51, 102), 10);
    EXPECT_EQ(ReadStencil(9, 132), 1u);
    DumpScreenIfAsked();
}

TEST_F(Panel, OnlyTheStripShowsWithoutASelection)
{
    SelectOnly(game, nullptr);
    panel->Draw();
    EXPECT_EQ(CountStencil(750, 0, 50, 150, 1), 50 * 150);
    EXPECT_EQ(CountStencil(0, 0, 750, 150, 1), 0);
}

TEST_F(Panel, PickPassFindsEveryButtonAtItsCentre)
{
    SevenParts();
    PickPass();
    const std::vector<Centre> centres = {
        {775, 123, kIdNextShip}, {775, 85, kIdSensorMode}, {775, 35, kIdEndTurn}, {135, 60, kIdMove},
        {215, 60, kIdRotate},    {135, 35, kIdTarget},     {215, 35, kIdAttack},  {175, 12, kIdStop},
        {430, 85, kIdGunBurst},  {430, 60, kIdGunAttack},  {430, 35, kIdGunCone},
    };
    for (const Centre& c : centres)
    {
        EXPECT_EQ(ReadStencil(c.x, c.y), c.id) << c.x << "," << c.y;
    }
    // Part k of the list at (317, 20 + 25k) has id 7 + k, the seventh too.
    for (unsigned k = 0; k < 7; ++k)
    {
        EXPECT_EQ(ReadStencil(317, 20 + 25 * int(k)), kIdFirstPart + k) << k;
    }
    // The bar between buttons stays 1.
    EXPECT_EQ(ReadStencil(175, 40), 1u);
    EXPECT_EQ(ReadStencil(700, 100), 1u);
}

TEST_F(Panel, SubPanelsOfBeamTurretsAndHangarsHaveTheirIds)
{
    Ship* frigate = FleetShip(game, "beamfrigateopen");
    SelectOnly(game, frigate);
    frigate->SelectPart(0);
    Begin2D();
    frigate->panel->Draw(true);
    EXPECT_EQ(ReadStencil(430, 85), unsigned(kIdBeamBurst));
    EXPECT_EQ(ReadStencil(430, 60), unsigned(kIdBeamAttack));
    EXPECT_EQ(ReadStencil(430, 35), unsigned(kIdBeamCone));
    EXPECT_EQ(frigate->panel->shownBeamTurret, frigate->beamTurrets[0]);

    SelectOnly(game, carrier);
    carrier->SelectPart(4); // the second hangar
    PickPass();
    EXPECT_EQ(ReadStencil(430, 85), unsigned(kIdLaunch));
    EXPECT_EQ(ReadStencil(430, 60), 1u);
    EXPECT_EQ(carrier->panel->shownHangar, carrier->hangars[1]);
}

TEST_F(Panel, OrderButtonsPostTheirKeys)
{
    const std::vector<std::pair<Centre, SDLKey>> buttons = {
        {{135, 60, kIdMove}, SDLK_m},      {{215, 60, kIdRotate}, SDLK_r},  {{135, 35, kIdTarget}, SDLK_t},
        {{215, 35, kIdAttack}, SDLK_a},    {{175, 12, kIdStop}, SDLK_s},    {{430, 60, kIdGunAttack}, SDLK_x},
        {{775, 123, kIdNextShip}, SDLK_n}, {{775, 35, kIdEndTurn}, SDLK_d},
    };
    for (const auto& button : buttons)
    {
        ExpectKey(Click(button.first.x, button.first.y), button.second);
    }
}

TEST_F(Panel, SensorModePressesAndReleasesTab)
{
    std::vector<SDL_Event> keys = Click(775, 85);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].type, SDL_KEYDOWN);
    EXPECT_EQ(keys[0].key.keysym.sym, SDLK_TAB);
    game->SetViewMode(1);
    keys = Click(775, 85);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].type, SDL_KEYUP);
    EXPECT_EQ(keys[0].key.state, SDL_RELEASED);
    EXPECT_EQ(keys[0].key.keysym.sym, SDLK_TAB);
}

TEST_F(Panel, ClicksOnTheBarOrOutsideDoNothing)
{
    EXPECT_TRUE(Click(175, 40).empty());
    EXPECT_TRUE(Click(700, 100).empty());
    EXPECT_TRUE(carrier->gunTurrets[0]->IsSelected());
}

TEST_F(Panel, PartButtonsSelectPartsUpToTheSixth)
{
    SevenParts();
    Click(317, 20 + 25 * 2);
    EXPECT_TRUE(carrier->gunTurrets[2]->IsSelected());
    EXPECT_FALSE(carrier->gunTurrets[0]->IsSelected());
    Click(317, 20 + 25 * 5);
    EXPECT_TRUE(carrier->hangars[0]->IsSelected());
    // The seventh entry is drawn but its id (13) does nothing.
    Click(317, 20 + 25 * 6);
    EXPECT_TRUE(carrier->hangars[0]->IsSelected());
    EXPECT_FALSE(carrier->hangars[1]->IsSelected());
}

TEST_F(Panel, TurretButtonsFlipBurstFireAndTheCone)
{
    GunTurret* turret = carrier->gunTurrets[0];
    const bool burst = turret->burstFire;
    const bool cone = turret->showCone;
    Click(430, 85);
    EXPECT_NE(turret->burstFire, burst);
    Click(430, 35);
    EXPECT_NE(turret->showCone, cone);
    Click(430, 85);
    EXPECT_EQ(turret->burstFire, burst);
    EXPECT_FALSE(carrier->gunTurrets[1]->burstFire != burst);
}

TEST_F(Panel, LaunchFightersOncePerTurn)
{
    Player* player = game->players[0];
    carrier->SelectPart(3);
    Hangar* hangar = carrier->hangars[0];
    hangar->launchedThisTurn = false;
    hangar->squadronsLeft = 1;
    const int before = player->FleetSize();
    Click(430, 85);
    EXPECT_EQ(player->FleetSize(), before + 5);
    EXPECT_EQ(hangar->squadronsLeft, 0);
    Click(430, 85);
    EXPECT_EQ(player->FleetSize(), before + 5);
    // With no squadrons left the button is still there but launches nothing.
    hangar->launchedThisTurn = false;
    Click(430, 85);
    EXPECT_EQ(player->FleetSize(), before + 5);
    // The new fighters are not needed by the other tests.
    while (player->FleetSize() > before)
    {
        delete player->fleet.back();
        player->fleet.pop_back();
    }
}

TEST_F(Panel, HullBarsGrowWithTheFaceStrength)
{
    // The back face's box runs from x 25 to 75 at y 12 to 25; its letter sits at 46 to 58.
    carrier->hull[kFaceBack] = carrier->hullMax[kFaceBack];
    panel->Draw();
    const Rgb fullLeft = ReadPixel(30, 18);
    const Rgb fullRight = ReadPixel(70, 18);
    EXPECT_EQ(fullLeft.r, fullRight.r);
    EXPECT_NEAR(fullLeft.r, 128, 3);

    glClear(GL_COLOR_BUFFER_BIT);
    carrier->hull[kFaceBack] = 0.0f;
    panel->Draw();
    const Rgb emptyLeft = ReadPixel(30, 18);
    EXPECT_NEAR(emptyLeft.r, 77, 3);
    EXPECT_EQ(ReadPixel(70, 18).r, emptyLeft.r);

    glClear(GL_COLOR_BUFFER_BIT);
    carrier->hull[kFaceBack] = carrier->hullMax[kFaceBack] * 0.5f;
    panel->Draw();
    EXPECT_NEAR(ReadPixel(30, 18).r, 128, 3);
    EXPECT_NEAR(ReadPixel(70, 18).r, 77, 3);
    carrier->hull[kFaceBack] = carrier->hullMax[kFaceBack];
}

TEST_F(Panel, TimesShowHighlightedOrGreyed)
{
    const int x = 100 + TextWidth(panel->Font(), "MT: ", 14);
    const int w = TextWidth(panel->Font(), "10.00 sec", 14);
    carrier->moveTimeLeft = 10.0f;
    panel->Draw();
    EXPECT_GT(CountColour(x, 78, w, 14, 255, 102, 153), 10);
    EXPECT_EQ(CountColour(x, 78, w, 14, 102, 102, 102), 0);

    glClear(GL_COLOR_BUFFER_BIT);
    carrier->moveTimeLeft = 0.0f;
    carrier->gunTurrets[0]->fireTimeLeft = 0.0f;
    panel->Draw();
    EXPECT_EQ(CountColour(x, 78, w, 14, 255, 102, 153), 0);
    EXPECT_GT(CountColour(x, 78, w, 14, 102, 102, 102), 10);
    const int fx = 385 + TextWidth(panel->Font(), "FT: ", 14);
    EXPECT_GT(CountColour(fx, 100, w, 14, 102, 102, 102), 10);
    carrier->moveTimeLeft = 10.0f;
}
