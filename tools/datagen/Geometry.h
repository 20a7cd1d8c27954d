#ifndef KORVANE_TOOLS_GEOMETRY_H
#define KORVANE_TOOLS_GEOMETRY_H

#include <cmath>

// Small vector and matrix types for the data generator. The generator is a
// stand-alone program, so it keeps its own minimal math instead of linking the
// game's library. All model geometry is authored in game axes: x to the right,
// y up, the front of a ship towards -z.

struct Vec3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

inline Vec3 operator+(const Vec3& a, const Vec3& b)
{
    return Vec3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return Vec3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vec3 operator*(const Vec3& a, float s)
{
    return Vec3(a.x * s, a.y * s, a.z * s);
}
inline Vec3 operator*(float s, const Vec3& a)
{
    return a * s;
}
inline Vec3 operator-(const Vec3& a)
{
    return Vec3(-a.x, -a.y, -a.z);
}
inline float Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline float Length(const Vec3& a)
{
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalized(const Vec3& a)
{
    const float l = Length(a);
    return l > 0.0f ? a * (1.0f / l) : Vec3();
}

struct Vec2
{
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vec2() = default;
    constexpr Vec2(float x_, float y_) : x(x_), y(y_) {}
};

// A rotation and translation applied to a primitive after it is built in its
// own frame.
struct Transform
{
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 offset;

    Vec3 Apply(const Vec3& p) const
    {
        return Vec3(m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + offset.x,
                    m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + offset.y,
                    m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + offset.z);
    }

    static Transform Translation(const Vec3& offset)
    {
        Transform t;
        t.offset = offset;
        return t;
    }

    // Rotation by `degrees` about one coordinate axis (0 x, 1 y, 2 z),
    // counter-clockwise seen from the axis tip, then a translation.
    static Transform Rotation(int axis, float degrees, const Vec3& offset = Vec3())
    {
        Transform t;
        const float a = degrees * 3.14159265f / 180.0f;
        const float c = std::cos(a), s = std::sin(a);
        const int i = (axis + 1) % 3, j = (axis + 2) % 3;
        t.m[i][i] = c;
        t.m[i][j] = -s;
        t.m[j][i] = s;
        t.m[j][j] = c;
        t.offset = offset;
        return t;
    }
};

#endif
