#include "app/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

void PlaceCamera(double fovy, double farPlane, float yaw, const Vector& eye)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, 4.0 / 3.0, 1.0, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(45.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-eye.x, -eye.y, -eye.z);
}
