#ifndef KORVANE_TOOLS_BALANCE_H
#define KORVANE_TOOLS_BALANCE_H

#include "Image.h"

// The numbers that the ship classes carry in their marker names: hull per
// face, speed and turn rates, sensor values, weapon settings and squadrons.
// docs/data.md explains the reasoning behind them.

struct ClassStats
{
    // Hull strength per face in the order of the "hull" marker: front, back,
    // left, right, top, bottom.
    float hull[6];
    float speed;     // units per second
    float turn[3];   // pitch, yaw, roll in degrees per second
    float signature; // how easily the ship is seen through nebula
    float sensorRange;
};

struct GunStats
{
    float arcHalfWidth;
    float elevationMax;
    float turnRate; // degrees per second
    float bulletSize;
    Colour colour;
};

struct BeamStats
{
    float arcHalfWidth;
    float arcHalfHeight;
    float turnRate; // degrees per second
    float width;
    Colour colour;
};

struct Balance
{
    ClassStats frigate;   // battlefrigate
    ClassStats fusion;    // beamfrigateopen
    ClassStats carrier;   // escortcarrier2
    ClassStats fighter;   // smallfighter
    GunStats gun;         // capital-ship gun turrets
    GunStats fighterGuns; // the fighter's fixed guns
    BeamStats beam;       // fusion beam turrets
    BeamStats sideBeam;   // the fusion frigate's dorsal beam turret
    int squadronsPerHangar;
};

// The game's own balance.
Balance GameBalance();
// The end-to-end test set: paper-thin hulls, fast ships and beams that reach
// across the map, so that a whole game ends within a few turns.
Balance TestBalance();

#endif
