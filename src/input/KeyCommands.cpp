#include "input/KeyCommands.h"

#include "audio/GameSounds.h"
#include "game/Game.h"
#include "input/OrderPoint.h"
#include "players/Player.h"

namespace
{

OrderState OrderOf(const Game& game)
{
    OrderState order;
    order.mode = game.GetOrderMode();
    order.type = game.GetOrderType();
    return order;
}

void SetOrder(Game& game, const OrderState& order)
{
    game.SetOrderMode(order.mode);
    game.SetOrderType(order.type);
}

// m and r: the point starts at the selection centre and follows the pointer.
void ToggleOrderPoint(Game& game, int type)
{
    OrderState order = OrderOf(game);
    const bool chosen = ToggleOrder(order, 3, type);
    SetOrder(game, order);
    if (chosen)
    {
        const Vector centre = game.GetCurrentPlayer()->GetSelectionCentre();
        game.SetOrderPoint(centre.x, centre.y, centre.z);
        PlaceOrderPoint(game);
    }
}

void ToggleTargetOrder(Game& game, int type)
{
    OrderState order = OrderOf(game);
    ToggleOrder(order, 5, type);
    SetOrder(game, order);
}

bool IsCtrl(SDLKey key)
{
    return key == SDLK_LCTRL || key == SDLK_RCTRL;
}

} // namespace

bool ToggleOrder(OrderState& order, int mode, int type)
{
    if (order.mode == mode && order.type == type)
    {
        order.mode = 1;
        order.type = 0;
        return false;
    }
    order.mode = mode;
    order.type = type;
    return true;
}

int ModeAfterCtrlPress(int mode)
{
    if (mode == 1)
    {
        return 2;
    }
    if (mode == 3)
    {
        return 4;
    }
    return mode;
}

int ModeAfterCtrlRelease(int mode)
{
    if (mode == 2)
    {
        return 1;
    }
    if (mode == 4)
    {
        return 3;
    }
    return mode;
}

void HandleKeyPress(Game& game, SDLKey key)
{
    Player& player = *game.GetCurrentPlayer();
    if (IsCtrl(key))
    {
        game.SetOrderMode(ModeAfterCtrlPress(game.GetOrderMode()));
        return;
    }
    switch (key)
    {
    case SDLK_TAB:
        game.SetViewMode(1);
        return;
    case SDLK_ESCAPE:
        game.SetState(2);
        return;
    case SDLK_d:
        game.SetState(1);
        return;
    case SDLK_n:
        player.SelectNextShip();
        return;
    case kMuteKey:
        ToggleSoundMute();
        return;
    default:
        break;
    }

    if (!player.HasSelection())
    {
        return;
    }
    switch (key)
    {
    case SDLK_a:
        ToggleTargetOrder(game, 4);
        break;
    case SDLK_c:
        player.ToggleConesOfSelection();
        break;
    case SDLK_l:
        player.ToggleLightsOfSelection();
        break;
    case SDLK_m:
        ToggleOrderPoint(game, 1);
        break;
    case SDLK_r:
        ToggleOrderPoint(game, 2);
        break;
    case SDLK_s:
        player.StopSelection();
        PlayInterfaceSound(Sound::Order);
        break;
    case SDLK_t:
        ToggleTargetOrder(game, 3);
        break;
    case SDLK_x:
        ToggleTargetOrder(game, 5);
        break;
    default:
        break;
    }
}

void HandleKeyRelease(Game& game, SDLKey key)
{
    if (key == SDLK_TAB)
    {
        game.SetViewMode(0);
    }
    else if (IsCtrl(key))
    {
        game.SetOrderMode(ModeAfterCtrlRelease(game.GetOrderMode()));
    }
}
