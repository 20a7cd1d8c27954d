// The panel's small services that need neither the game nor a context: the
// synthetic key events its buttons post, its palette and the formatting of its values.
#include "ui/CommandPanel.h"

#include <cmath>
#include <iomanip>
#include <sstream>

const float kButtonColour[4] = {0.2f, 0.2f, 1.0f, 1.0f};
const float kHighlightColour[4] = {1.0f, 0.4f, 0.6f, 1.0f};
const float kPlainColour[4] = {0.4f, 0.4f, 1.0f, 1.0f};
const float kSpentColour[4] = {0.4f, 0.4f, 0.4f, 1.0f};
const float kBarColour[4] = {0.2f, 0.2f, 0.2f, 0.8f};

static void PostKey(SDLKey key, Uint8 type, Uint8 state)
{
    SDL_Event event;
    SDL_memset(&event, 0, sizeof(event));
    event.type = type;
    event.key.type = type;
    event.key.state = state;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void PostKeyPress(SDLKey key)
{
    PostKey(key, SDL_KEYDOWN, SDL_PRESSED);
}

void PostKeyRelease(SDLKey key)
{
    PostKey(key, SDL_KEYUP, SDL_RELEASED);
}

std::string FormatSeconds(float seconds)
{
    std::ostringstream out;
    out << std::fixed << std::setprecision(2) << seconds << " sec";
    return out.str();
}

std::string FormatSquadrons(int squadrons)
{
    return std::to_string(squadrons) + " left";
}

int HullBarLength(float hull, float hullMax, int length)
{
    if (!(hullMax > 0.0f) || !(hull > 0.0f))
    {
        return 0;
    }
    // hull x L is exact in double, so the quotient is a whole number exactly
    // when the bar ends on a whole pixel (in float, 300 / 1000 x 50 rounds up
    // to 15.000001 and the bar came out one pixel long).
    const double filled = std::ceil(double(hull) * length / double(hullMax));
    return filled >= double(length) ? length : int(filled);
}
