#ifndef KORVANE_INPUT_CAMERACONTROL_H
#define KORVANE_INPUT_CAMERACONTROL_H

#include <SDL/SDL.h>

class Game;

// The camera's response to the pointer: the outer 20 pixels of the screen
// scroll the camera along the ground, faster nearer the edge; dragging with
// the right button held turns it, and dragging in the top or bottom band
// zooms.

// Scroll velocity in world units per second along x and z for a pointer at
// (x, y) (y counted upwards), with the camera's heading in degrees. Up to 200
// units per second at an edge, twice that in the sensor view.
void EdgeScrollVelocity(int x, int y, float heading, bool sensorView, float& velocityX, float& velocityZ);

// Turn rate in degrees per second for a right-button drag from startX to x:
// 10 pixels either side of the press are a dead zone; beyond them every pixel
// is one degree per second, dragging left turns left (positive).
float DragTurnRate(int startX, int x);

// Zoom change for one pointer movement during a right-button drag: the bottom
// band (y < 40) widens the view, the top band (y > 560) narrows it.
float DragZoomStep(int y);

// The state of a right-button drag, kept between pointer movements.
struct CameraDrag
{
    bool turning = false; // the right button is held and its press position recorded
    int turnStartX = 0;   // x position where turning began
};

// The one drag state of the running program.
extern CameraDrag gCameraDrag;

// Applies a pointer movement to the current player's camera: x, y in screen
// pixels with y counted upwards; buttons is SDL's button state of the event.
void CameraControl(int x, int y, Uint8 buttons, Game& game);

#endif
