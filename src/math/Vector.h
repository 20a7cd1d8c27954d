#ifndef KORVANE_MATH_VECTOR_H
#define KORVANE_MATH_VECTOR_H

// Three-component vectors and orientations, and the operations every moving or
// aiming thing in the game uses.
//
// Conventions: an object's front is its local -Z and its up is +Y. An
// orientation is (pitch, yaw, roll) in degrees: rotations about X, Y and Z,
// following glRotatef (right-handed, counter-clockwise seen from the tip of the
// axis). Degrees and radians convert with pi taken as 3.14159.

// Degrees to radians and back, with pi taken as 3.14159.
constexpr double kDegToRad = 0.01745327777777778;
constexpr double kRadToDeg = 57.295827908797776;

struct Vector
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector() = default;
    constexpr Vector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

// An orientation holds (pitch, yaw, roll) in its x, y and z.
using Orientation = Vector;

inline Vector operator+(const Vector& a, const Vector& b)
{
    return Vector(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vector operator-(const Vector& a, const Vector& b)
{
    return Vector(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vector operator-(const Vector& a)
{
    return Vector(-a.x, -a.y, -a.z);
}
inline Vector operator*(const Vector& a, float s)
{
    return Vector(a.x * s, a.y * s, a.z * s);
}
inline Vector operator*(float s, const Vector& a)
{
    return Vector(a.x * s, a.y * s, a.z * s);
}
inline Vector& operator+=(Vector& a, const Vector& b)
{
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}
inline Vector& operator-=(Vector& a, const Vector& b)
{
    a.x -= b.x;
    a.y -= b.y;
    a.z -= b.z;
    return a;
}
inline Vector& operator*=(Vector& a, float s)
{
    a.x *= s;
    a.y *= s;
    a.z *= s;
    return a;
}
inline bool operator==(const Vector& a, const Vector& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const Vector& a, const Vector& b)
{
    return !(a == b);
}

// a.x*b.x + a.y*b.y + a.z*b.z, evaluated in double precision.
double Dot(const Vector& a, const Vector& b);

// out = a x b. out may alias an input.
void Cross(const Vector& a, const Vector& b, Vector& out);

// Length in double precision.
double Length(const Vector& v);

// Divides each component by the length; a vector of length exactly 0 is left unchanged.
void Normalize(Vector& v);

// The unit axis and the angle in degrees ([0, 180]) that turn the direction of
// `from` onto the direction of `to`. Parallel and opposite directions give the
// axis (0, 1, 0) with 0 or 180 degrees.
void RotationBetween(const Vector& from, const Vector& to, Vector& axisOut, float& angleOut);

// out = Rz(roll) * Ry(yaw) * Rx(pitch) * v: local to world.
void RotateByAngles(const Vector& v, Vector& out, const Orientation& orientation);

// out = Rx(-pitch) * Ry(-yaw) * Rz(-roll) * v: world to local, the inverse of RotateByAngles.
void UnrotateByAngles(const Vector& v, Vector& out, const Orientation& orientation);

// The column-major 4x4 rotation that turns -Z onto the unit vector dir.
void MatrixFromDirection(const Vector& dir, float matrixOut[16]);

// b - a brought once into [-180, 180].
float AngleDifference(float a, float b);

// (pitch, yaw, 0) such that RotateByAngles turns -Z onto the direction of dir.
// Yaw is wrapped into [0, 360], pitch into [-180, 180].
void AnglesFromDirection(const Vector& dir, Orientation& orientationOut);

// The 3x3 part of glRotatef(angle, axis) as OpenGL computes it, column-major in
// a 4x4 float array. Used for direct rotation arithmetic that matches what the
// fixed-function pipeline does with the same calls.
void GLRotationMatrix(float angleDegrees, float ax, float ay, float az, float m[16]);

// m = m * r for column-major 4x4 matrices, in single precision like OpenGL.
void MultiplyMatrix(float m[16], const float r[16]);

// out = upper 3x3 of m applied to v.
void TransformByMatrix(const float m[16], const Vector& v, Vector& out);

#endif
