#include "math/Vector.h"

#include <algorithm>
#include <cmath>

double Dot(const Vector& a, const Vector& b)
{
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

void Cross(const Vector& a, const Vector& b, Vector& out)
{
    const Vector r(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    out = r;
}

double Length(const Vector& v)
{
    return std::sqrt(Dot(v, v));
}

void Normalize(Vector& v)
{
    const double length = Length(v);
    if (length == 0.0)
    {
        return;
    }
    v.x = float(v.x / length);
    v.y = float(v.y / length);
    v.z = float(v.z / length);
}

void RotationBetween(const Vector& from, const Vector& to, Vector& axisOut, float& angleOut)
{
    Vector f = from;
    Vector t = to;
    Normalize(f);
    Normalize(t);
    Cross(f, t, axisOut);
    const double sinSquared = Dot(axisOut, axisOut);
    if (sinSquared >= 0.00001)
    {
        // For exactly perpendicular unit vectors the float cross product can
        // come out a hair longer than 1, where asin has no value.
        double angle = std::asin(std::min(1.0, std::sqrt(sinSquared))) * kRadToDeg;
        if (Dot(f, t) < 0.0)
        {
            angle = 180.0 - angle;
        }
        angleOut = float(angle);
        Normalize(axisOut);
    }
    else
    {
        // Parallel or opposite: any axis perpendicular to both will do for a
        // half turn; the game uses straight up.
        axisOut = Vector(0.0f, 1.0f, 0.0f);
        angleOut = Dot(f, t) <= 0.0 ? 180.0f : 0.0f;
    }
}

// Column-major element access: row r, column c.
static float& At(float m[16], int r, int c)
{
    return m[c * 4 + r];
}

static void LoadIdentity(float m[16])
{
    for (int i = 0; i < 16; i++)
    {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

void GLRotationMatrix(float angleDegrees, float x, float y, float z, float m[16])
{
    // The same arithmetic as the OpenGL implementation: single-precision sine
    // and cosine of the angle converted with the true pi, a fast path for the
    // coordinate axes and the general axis-angle matrix otherwise.
    const float s = std::sin(float(angleDegrees * M_PI / 180.0));
    const float c = std::cos(float(angleDegrees * M_PI / 180.0));
    LoadIdentity(m);
    if (x == 0.0f && y == 0.0f && z != 0.0f)
    {
        At(m, 0, 0) = c;
        At(m, 1, 1) = c;
        At(m, 0, 1) = z < 0.0f ? s : -s;
        At(m, 1, 0) = z < 0.0f ? -s : s;
        return;
    }
    if (x == 0.0f && z == 0.0f && y != 0.0f)
    {
        At(m, 0, 0) = c;
        At(m, 2, 2) = c;
        At(m, 0, 2) = y < 0.0f ? -s : s;
        At(m, 2, 0) = y < 0.0f ? s : -s;
        return;
    }
    if (y == 0.0f && z == 0.0f && x != 0.0f)
    {
        At(m, 1, 1) = c;
        At(m, 2, 2) = c;
        At(m, 1, 2) = x < 0.0f ? s : -s;
        At(m, 2, 1) = x < 0.0f ? -s : s;
        return;
    }
    const float mag = std::sqrt(x * x + y * y + z * z);
    if (mag <= 1.0e-4f)
    {
        return;
    }
    x /= mag;
    y /= mag;
    z /= mag;
    const float xx = x * x, yy = y * y, zz = z * z;
    const float xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s;
    const float oneC = 1.0f - c;
    At(m, 0, 0) = (oneC * xx) + c;
    At(m, 0, 1) = (oneC * xy) - zs;
    At(m, 0, 2) = (oneC * zx) + ys;
    At(m, 1, 0) = (oneC * xy) + zs;
    At(m, 1, 1) = (oneC * yy) + c;
    At(m, 1, 2) = (oneC * yz) - xs;
    At(m, 2, 0) = (oneC * zx) - ys;
    At(m, 2, 1) = (oneC * yz) + xs;
    At(m, 2, 2) = (oneC * zz) + c;
}

void MultiplyMatrix(float m[16], const float r[16])
{
    float p[16];
    for (int i = 0; i < 4; i++)
    {
        for (int j = 0; j < 4; j++)
        {
            p[j * 4 + i] = m[0 * 4 + i] * r[j * 4 + 0] + m[1 * 4 + i] * r[j * 4 + 1] +
                           m[2 * 4 + i] * r[j * 4 + 2] + m[3 * 4 + i] * r[j * 4 + 3];
        }
    }
    for (int i = 0; i < 16; i++)
    {
        m[i] = p[i];
    }
}

void TransformByMatrix(const float m[16], const Vector& v, Vector& out)
{
    const Vector r(m[0] * v.x + m[4] * v.y + m[8] * v.z, m[1] * v.x + m[5] * v.y + m[9] * v.z,
                   m[2] * v.x + m[6] * v.y + m[10] * v.z);
    out = r;
}

void RotateByAngles(const Vector& v, Vector& out, const Orientation& orientation)
{
    float m[16];
    float r[16];
    LoadIdentity(m);
    GLRotationMatrix(orientation.z, 0.0f, 0.0f, 1.0f, r);
    MultiplyMatrix(m, r);
    GLRotationMatrix(orientation.y, 0.0f, 1.0f, 0.0f, r);
    MultiplyMatrix(m, r);
    GLRotationMatrix(orientation.x, 1.0f, 0.0f, 0.0f, r);
    MultiplyMatrix(m, r);
    TransformByMatrix(m, v, out);
}

void UnrotateByAngles(const Vector& v, Vector& out, const Orientation& orientation)
{
    float m[16];
    float r[16];
    LoadIdentity(m);
    GLRotationMatrix(-orientation.x, 1.0f, 0.0f, 0.0f, r);
    MultiplyMatrix(m, r);
    GLRotationMatrix(-orientation.y, 0.0f, 1.0f, 0.0f, r);
    MultiplyMatrix(m, r);
    GLRotationMatrix(-orientation.z, 0.0f, 0.0f, 1.0f, r);
    MultiplyMatrix(m, r);
    TransformByMatrix(m, v, out);
}

void MatrixFromDirection(const Vector& dir, float matrixOut[16])
{
    const Vector v(dir.y, -dir.x, 0.0f);
    const float e = -dir.z;
    const double vv = Dot(v, v);
    if (vv >= 0.001)
    {
        const float h = float((1.0f - e) / vv);
        LoadIdentity(matrixOut);
        At(matrixOut, 0, 0) = e + h * v.x * v.x;
        At(matrixOut, 0, 1) = h * v.x * v.y - v.z;
        At(matrixOut, 0, 2) = h * v.x * v.z + v.y;
        At(matrixOut, 1, 0) = h * v.x * v.y + v.z;
        At(matrixOut, 1, 1) = e + h * v.y * v.y;
        At(matrixOut, 1, 2) = h * v.y * v.z - v.x;
        At(matrixOut, 2, 0) = h * v.x * v.z - v.y;
        At(matrixOut, 2, 1) = h * v.y * v.z + v.x;
        At(matrixOut, 2, 2) = e + h * v.z * v.z;
        return;
    }
    // Along the Z axis: a half turn about +Y for +Z, nothing for -Z.
    if (dir.z > 0.0f)
    {
        GLRotationMatrix(180.0f, 0.0f, 1.0f, 0.0f, matrixOut);
    }
    else
    {
        LoadIdentity(matrixOut);
    }
}

float AngleDifference(float a, float b)
{
    const float d = b - a;
    if (d > 180.0f)
    {
        return d - 360.0f;
    }
    if (d < -180.0f)
    {
        return d + 360.0f;
    }
    return d;
}

void AnglesFromDirection(const Vector& dir, Orientation& orientationOut)
{
    Vector h(dir.x, 0.0f, dir.z);
    Normalize(h);
    float yaw;
    if (h.z < 0.0f)
    {
        yaw = float(std::asin(double(-h.x)) * kRadToDeg);
    }
    else
    {
        yaw = float(180.0 - std::asin(double(-h.x)) * kRadToDeg);
    }
    Vector d = dir;
    Normalize(d);
    float pitch = float(std::asin(double(d.y)) * kRadToDeg);
    while (yaw < 0.0f)
    {
        yaw += 360.0f;
    }
    while (yaw > 360.0f)
    {
        yaw -= 360.0f;
    }
    while (pitch < -180.0f)
    {
        pitch += 360.0f;
    }
    while (pitch > 180.0f)
    {
        pitch -= 360.0f;
    }
    orientationOut = Orientation(pitch, yaw, 0.0f);
}
