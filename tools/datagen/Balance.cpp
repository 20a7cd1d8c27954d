#include "Balance.h"

Balance GameBalance()
{
    Balance b;
    //                  front  back  left right   top bottom
    b.frigate = {{600, 410, 510, 510, 480, 480}, 42, {40, 55, 40}, 0.20f, 0.35f};
    b.fusion = {{870, 370, 440, 440, 460, 460}, 30, {18, 22, 18}, 0.25f, 0.25f};
    b.carrier = {{800, 640, 740, 740, 690, 690}, 24, {12, 14, 12}, 0.40f, 0.50f};
    b.fighter = {{22, 16, 18, 18, 18, 18}, 90, {120, 140, 120}, 0.05f, 0.20f};
    b.gun = {180, 80, 120, 1.6f, Colour(1.0f, 0.9f, 0.4f)};
    b.fighterGuns = {25, 25, 160, 1.2f, Colour(1.0f, 0.55f, 0.25f)};
    b.beam = {70, 25, 40, 3.0f, Colour(0.35f, 0.75f, 1.0f)};
    b.sideBeam = {150, 30, 40, 2.5f, Colour(0.35f, 0.75f, 1.0f)};
    b.squadronsPerHangar = 2;
    return b;
}

Balance TestBalance()
{
    Balance b = GameBalance();
    // Nothing in the data can move the starting positions, which the game
    // fixes 800 from the centre. Instead every ship is fast (one turn crosses
    // the map), every hull face breaks at the first real hit, and the beams
    // turn quickly and cover every direction: at the 1600 units between two
    // opposing fleets a beam still does (300 / 1600)^2 = 0.035 per tick, so a
    // fusion frigate destroys a ship from the starting line within one turn.
    const ClassStats weak = {{1, 1, 1, 1, 1, 1}, 400, {180, 180, 180}, 0.20f, 0.35f};
    b.frigate = weak;
    b.fusion = weak;
    b.carrier = weak;
    b.fighter = weak;
    b.beam = {180, 90, 360, 3.0f, Colour(0.35f, 0.75f, 1.0f)};
    b.sideBeam = b.beam;
    b.gun.turnRate = 360;
    b.fighterGuns.turnRate = 360;
    b.squadronsPerHangar = 1;
    return b;
}
