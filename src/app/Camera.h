#ifndef KORVANE_APP_CAMERA_H
#define KORVANE_APP_CAMERA_H

#include "math/Vector.h"

// Every 3D view of the game looks down at 45 degrees: a perspective of fovy
// degrees (aspect 4:3, near plane 1, far plane farPlane), then a camera at eye
// turned by yaw degrees about the vertical axis. Leaves the modelview matrix
// current.
void PlaceCamera(double fovy, double farPlane, float yaw, const Vector& eye);

#endif
