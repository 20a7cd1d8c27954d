#include "ui/CommandPanel.h"

#include <GL/gl.h>

#include "assets/Model.h"
#include "audio/GameSounds.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ui/Overlay.h"

namespace
{

const float kTagColour[4] = {0.3f, 0.4f, 1.0f, 0.8f};
const float kHullFillColour[4] = {0.5f, 0.6f, 1.0f, 0.8f};
const float kHullOutlineColour[4] = {0.6f, 0.8f, 1.0f, 0.8f};
const float kEndTurnFace[4] = {0.2f, 0.3f, 0.4f, 1.0f};
const float kBeamPanelColour[4] = {0.25f, 0.2f, 0.2f, 0.8f};
const float kGunPanelColour[4] = {0.2f, 0.2f, 0.25f, 0.8f};
const float kHangarPanelColour[4] = {0.2f, 0.25f, 0.2f, 0.8f};

// One box of the hull diagram.
struct HullBox
{
    int face;
    int x0, y0, x1, y1;
    int corner;
    bool upright; // the bar grows upwards rather than to the right
    const char* letter;
    int letterX, letterY;
};

// The ship seen from above with its front at the top, in drawing order.
const HullBox kHullBoxes[] = {
    {kFaceBack, 25, 12, 75, 25, 4, false, "B", 46, 12},   {kFaceFront, 25, 75, 75, 88, 4, false, "F", 46, 75},
    {kFaceLeft, 12, 25, 25, 75, 4, true, "L", 15, 44},    {kFaceRight, 75, 25, 88, 75, 4, true, "R", 78, 44},
    {kFaceBottom, 31, 30, 69, 52, 6, false, "B", 46, 31}, {kFaceTop, 31, 48, 69, 70, 6, false, "T", 46, 58},
};

// The order buttons and the key each posts.
struct OrderButton
{
    const char* label;
    int x0, y0, x1, y1;
    int orderType; // 0: never highlighted
    unsigned id;
    SDLKey key;
};

const OrderButton kOrderButtons[] = {
    {"Move", 100, 50, 170, 70, 1, kIdMove, SDLK_m},     {"Rotate", 180, 50, 250, 70, 2, kIdRotate, SDLK_r},
    {"Target", 100, 25, 170, 45, 3, kIdTarget, SDLK_t}, {"Attack", 180, 25, 250, 45, 4, kIdAttack, SDLK_a},
    {"Stop", 140, 2, 210, 22, 0, kIdStop, SDLK_s},
};

void FillRect(int x0, int y0, int x1, int y1)
{
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
}

void StencilWrites(unsigned value)
{
    glStencilFunc(GL_ALWAYS, GLint(value), 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
}

void StartBlending()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

const float* Face(bool active)
{
    return active ? kHighlightColour : kPlainColour;
}

// A label, then a value right after it that is highlighted while something is left.
void DrawLabelledValue(const Font& font, const std::string& label, const std::string& value, int x, int y,
                       bool available)
{
    DrawText(font, label, x, y, 14, kLabelColour);
    DrawText(font, value, x + TextWidth(font, label, 14), y, 14, available ? kHighlightColour : kSpentColour);
}

// A box with cut corners and a text in it, the name and class tags.
void DrawTag(const Font& font, const std::string& text, int y)
{
    const int w = TextWidth(font, text, 14);
    glColor4fv(kTagColour);
    DrawBox(8, y, 20 + w, y + 15, 4, false);
    DrawText(font, text, 12, y, 14, kLabelColour);
}

void DrawHullDiagram(const Font& font, const Ship& ship)
{
    for (const HullBox& box : kHullBoxes)
    {
        glColor4fv(kTagColour);
        DrawBox(box.x0, box.y0, box.x1, box.y1, box.corner, false);
        glColor4fv(kHullFillColour);
        if (box.upright)
        {
            const int length = HullBarLength(ship.hull[box.face], ship.hullMax[box.face], box.y1 - box.y0);
            DrawBox(box.x0, box.y0, box.x1, box.y0 + length, box.corner, false);
        }
        else
        {
            const int length = HullBarLength(ship.hull[box.face], ship.hullMax[box.face], box.x1 - box.x0);
            DrawBox(box.x0, box.y0, box.x0 + length, box.y1, box.corner, false);
        }
        glColor4fv(kHullOutlineColour);
        DrawBox(box.x0, box.y0, box.x1, box.y1, box.corner, true);
        DrawText(font, box.letter, box.letterX, box.letterY, 12, kLabelColour);
    }
}

} // namespace

CommandPanel::CommandPanel(Game* game_) : game(game_)
{
    LoadFont(font);
}

void CommandPanel::Draw()
{
    Begin2D();
    DrawControlStrip(false);
    Player* player = game->GetCurrentPlayer();
    if (player != nullptr && player->HasSelection())
    {
        player->FirstSelected()->panel->Draw(false);
    }
    DrawFrameRateMeter(*game);
    DrawPointer(*game);
}

void CommandPanel::HitTest(int x, int y)
{
    DrawControlStrip(true);
    Player* player = game->GetCurrentPlayer();
    ShipPanel* shipPanel =
        player != nullptr && player->HasSelection() ? player->FirstSelected()->panel : nullptr;
    if (shipPanel != nullptr)
    {
        shipPanel->Draw(true);
    }
    GLuint value = 0;
    glReadPixels(x, y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_INT, &value);
    // The pick pass left its button ids in the stencil buffer, where the
    // panel's own id belongs: a second click before the next frame (a quick
    // double click) would take a button id for a ship's. The plain pass puts
    // the panel's id back, before an action can change what the panel shows.
    DrawControlStrip(false);
    if (shipPanel != nullptr)
    {
        shipPanel->Draw(false);
    }
    if (value >= 2)
    {
        PlayInterfaceSound(Sound::Click); // any button; 1 is the panel between them
    }
    ControlStripAction(value);
    if (shipPanel != nullptr)
    {
        shipPanel->Action(value);
    }
}

void CommandPanel::DrawControlStrip(bool pickPass)
{
    StartBlending();
    StencilWrites(kIdPanel);
    glColor4fv(kBarColour);
    FillRect(750, 0, 800, 150);

    const Player* player = game->GetCurrentPlayer();
    const bool gliding = player != nullptr && player->IsCameraGliding();
    DrawButton("Ship", 752, 108, 798, 138, kButtonColour, Face(gliding), font,
               pickPass ? kIdNextShip : kIdPanel);
    DrawText(font, "Next", 759, 120, 12, kLabelColour);
    DrawButton("Mode", 752, 70, 798, 100, kButtonColour, Face(game->GetViewMode() == 1), font,
               pickPass ? kIdSensorMode : kIdPanel);
    DrawText(font, "Sensor", 753, 82, 12, kLabelColour);
    DrawButton("Turn", 752, 20, 798, 50, kButtonColour, kEndTurnFace, font, pickPass ? kIdEndTurn : kIdPanel);
    DrawText(font, "End", 762, 32, 12, kLabelColour);
    glDisable(GL_BLEND);
}

void CommandPanel::ControlStripAction(unsigned id)
{
    switch (id)
    {
    case kIdNextShip:
        PostKeyPress(SDLK_n);
        break;
    case kIdSensorMode:
        // The sensor view is held with Tab: a press turns it on, a release off.
        if (game->GetViewMode() == 1)
        {
            PostKeyRelease(SDLK_TAB);
        }
        else
        {
            PostKeyPress(SDLK_TAB);
        }
        break;
    case kIdEndTurn:
        PostKeyPress(SDLK_d);
        break;
    default:
        break;
    }
}

ShipPanel::ShipPanel(Ship* ship_, CommandPanel* commandPanel_)
    : ship(ship_), commandPanel(commandPanel_), shownGunTurret(nullptr), shownBeamTurret(nullptr),
      shownHangar(nullptr)
{
}

void ShipPanel::Draw(bool pickPass)
{
    const Font& font = commandPanel->font;
    const Game& game = *commandPanel->game;
    StencilWrites(kIdPanel);
    StartBlending();
    glColor4fv(kBarColour);
    FillRect(0, 0, 750, 150);

    DrawTag(font, ship->name, 125);
    DrawTag(font, ship->model != nullptr ? ship->model->displayName : std::string(), 100);
    DrawHullDiagram(font, *ship);
    DrawLabelledValue(font, "MT: ", FormatSeconds(ship->moveTimeLeft), 100, 78, ship->moveTimeLeft > 0.0f);

    for (const OrderButton& button : kOrderButtons)
    {
        const bool active = button.orderType != 0 && game.GetOrderType() == button.orderType;
        DrawButton(button.label, button.x0, button.y0, button.x1, button.y1, kButtonColour, Face(active),
                   font, pickPass ? button.id : kIdPanel);
    }

    // The parts list, growing upwards; the kind of the last selected part
    // found chooses the sub-panel.
    enum class Kind
    {
        None,
        Beam,
        Gun,
        Hangar
    };
    Kind chosen = Kind::None;
    int k = 0;
    auto partButton = [&](const std::string& name, bool isSelected)
    {
        DrawButton(name, 260, 10 + 25 * k, 375, 30 + 25 * k, kButtonColour, Face(isSelected), font,
                   pickPass ? kIdFirstPart + unsigned(k) : kIdPanel);
        ++k;
    };
    for (BeamTurret* turret : ship->beamTurrets)
    {
        partButton(turret->name, turret->IsSelected());
        if (turret->IsSelected())
        {
            shownBeamTurret = turret;
            chosen = Kind::Beam;
        }
    }
    for (GunTurret* turret : ship->gunTurrets)
    {
        partButton(turret->name, turret->IsSelected());
        if (turret->IsSelected())
        {
            shownGunTurret = turret;
            chosen = Kind::Gun;
        }
    }
    for (Hangar* hangar : ship->hangars)
    {
        partButton(hangar->name, hangar->IsSelected());
        if (hangar->IsSelected())
        {
            shownHangar = hangar;
            chosen = Kind::Hangar;
        }
    }

    switch (chosen)
    {
    case Kind::Beam:
    {
        const BeamTurret& t = *shownBeamTurret;
        DrawTurretPanel(pickPass, t.name, kBeamPanelColour, t.turnTimeLeft, t.fireTimeLeft, t.burstFire,
                        t.showCone, kIdBeamBurst);
        break;
    }
    case Kind::Gun:
    {
        const GunTurret& t = *shownGunTurret;
        DrawTurretPanel(pickPass, t.name, kGunPanelColour, t.turnTimeLeft, t.fireTimeLeft, t.burstFire,
                        t.showCone, kIdGunBurst);
        break;
    }
    case Kind::Hangar:
        DrawHangarPanel(pickPass);
        break;
    case Kind::None:
        break;
    }
    glDisable(GL_BLEND);
}

void ShipPanel::DrawSubPanel(const std::string& title, const float* colour)
{
    StencilWrites(kIdPanel);
    glColor4fv(colour);
    FillRect(375, 0, 550, 148);
    DrawText(commandPanel->font, title + " status:", 380, 130, 14, kLabelColour);
}

void ShipPanel::DrawTurretPanel(bool pickPass, const std::string& name, const float* colour,
                                float turnTimeLeft, float fireTimeLeft, bool burstFire, bool showCone,
                                unsigned firstId)
{
    const Font& font = commandPanel->font;
    DrawSubPanel(name, colour);
    DrawLabelledValue(font, "MT: ", FormatSeconds(turnTimeLeft), 380, 115, turnTimeLeft > 0.0f);
    DrawLabelledValue(font, "FT: ", FormatSeconds(fireTimeLeft), 385, 100, fireTimeLeft > 0.0f);
    const bool turretAttack = commandPanel->game->GetOrderType() == 5;
    DrawButton("Burst fire", 380, 75, 480, 95, kButtonColour, Face(burstFire), font,
               pickPass ? firstId : kIdPanel);
    DrawButton("Attack", 380, 50, 480, 70, kButtonColour, Face(turretAttack), font,
               pickPass ? firstId + 1 : kIdPanel);
    DrawButton("Show cone", 380, 25, 480, 45, kButtonColour, Face(showCone), font,
               pickPass ? firstId + 2 : kIdPanel);
}

void ShipPanel::DrawHangarPanel(bool pickPass)
{
    const Font& font = commandPanel->font;
    const Hangar& hangar = *shownHangar;
    DrawSubPanel(hangar.name, kHangarPanelColour);
    DrawLabelledValue(font, "Squadrons: ", FormatSquadrons(hangar.squadronsLeft), 380, 115,
                      hangar.squadronsLeft != 0);
    DrawButton("Launch fighters", 380, 75, 480, 95, kButtonColour, Face(hangar.launchedThisTurn), font,
               pickPass ? kIdLaunch : kIdPanel);
}

void ShipPanel::Action(unsigned id)
{
    if (id < kIdMove || id > kIdLaunch)
    {
        return;
    }
    for (const OrderButton& button : kOrderButtons)
    {
        if (id == button.id)
        {
            PostKeyPress(button.key);
            return;
        }
    }
    if (id >= kIdFirstPart && id <= kIdLastPart)
    {
        ship->SelectPart(int(id - kIdFirstPart));
        return;
    }
    switch (id)
    {
    case kIdBeamBurst:
        if (shownBeamTurret != nullptr)
        {
            shownBeamTurret->burstFire = !shownBeamTurret->burstFire;
        }
        break;
    case kIdGunBurst:
        if (shownGunTurret != nullptr)
        {
            shownGunTurret->burstFire = !shownGunTurret->burstFire;
        }
        break;
    case kIdBeamAttack:
    case kIdGunAttack:
        PostKeyPress(SDLK_x);
        break;
    case kIdBeamCone:
        if (shownBeamTurret != nullptr)
        {
            shownBeamTurret->ToggleCone();
        }
        break;
    case kIdGunCone:
        if (shownGunTurret != nullptr)
        {
            shownGunTurret->ToggleCone();
        }
        break;
    case kIdLaunch:
        if (shownHangar != nullptr)
        {
            shownHangar->Launch(ship->position, ship->orientation);
        }
        break;
    default:
        break;
    }
}
