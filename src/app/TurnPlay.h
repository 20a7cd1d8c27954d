#ifndef KORVANE_APP_TURNPLAY_H
#define KORVANE_APP_TURNPLAY_H

class Game;
class Player;

// One player's turn: the opening transition, the frame loop through that
// player's camera, the tick timer that drives game time, and the closing
// transition. Frames are drawn as fast as buffer swaps allow; game time
// advances only by ticks, so the frame rate never changes the speed of play.

// Plays the current player's turn; returns when the game's state is 1 (turn
// over) or 2 (game over).
void PlayTurn(Game& game);

// One frame: the scene, the command panel overlay, the swap, the events.
void DrawFrame(Game& game);

// The 3D scene in its fixed order: camera, light, fleets and wrecks, clouds
// and explosions, beams, bullets, the sensor view's axes, the order grid.
// Seen through the viewer's camera and sensors (Game::GetViewer): enemy ships
// as that player knows them; the current player's selection, orders and
// order grid only when the viewer is the current player.
void DrawScene(Game& game);

// The player's camera: 60 * zoom degrees, 100 units above the focus looking
// down at 45 degrees along the heading; far plane 14143 in the sensor view
// and 500 otherwise. Saves the matrices for picking and clears the buffers.
void SetupCamera(Player& player, bool sensorView);

// The 50 ms tick timer of a turn, kept in the game's timer field.
void StartTickTimer(Game& game);
void StopTickTimer(Game& game);

#endif
