#ifndef KORVANE_TOOLS_MESHBUILDER_H
#define KORVANE_TOOLS_MESHBUILDER_H

#include "Geometry.h"

#include <string>
#include <vector>

// How a primitive's skin and light map are painted (see SkinPainter).
enum class Pattern
{
    Plating, // light hull plates with seams, windows where asked
    Dark,    // dark machinery: engine housings, struts
    Nozzle,  // engine bell: its back faces glow
    Deck,    // flight deck: dark, with runway marks and edge lights on top
    Canopy,  // glass: dark blue with a faint inner light
    Emitter, // weapon lens: its front faces glow
    Trim,    // light accent plates with diagonal bands
    Bay      // hangar bay: its back faces are a lit opening
};

// A row of windows on the side faces of a primitive, at height y (game
// axes), from z0 to z1, one window every `spacing` units.
struct WindowRow
{
    float y;
    float z0;
    float z1;
    float spacing;
};

struct Surface
{
    Pattern pattern = Pattern::Plating;
    float panelSize = 4.0f; // edge of one hull plate in world units
    std::vector<WindowRow> windows;
};

// One ring of a loft: the profile scaled by (halfWidth, halfHeight) and
// centred at (x, y), at position z along the loft.
struct Ring
{
    float z;
    float halfWidth;
    float halfHeight;
    float x = 0.0f;
    float y = 0.0f;
};

// A rectangle of the texture atlas holding one side of one primitive: the
// triangles of primitive `primitive` whose normals point mostly along `key`
// (0 both x sides, 1 up, 2 down, 3 back, 4 front), projected onto the plane
// across that axis with `density` texels per unit.
struct AtlasRect
{
    int primitive;
    int key;
    int x, y, width, height; // pixels, y from the top of the image
    float aMin, bMin;        // world coordinates at the rect's inner corner
    float density;
    bool turned; // a runs up the image and b across it (packs tall sides flat)
};

// Where a point of the projection plane lands in an atlas rect: pixel column
// and pixel row counted up from the bottom of the image.
Vec2 AtlasPixel(const AtlasRect& r, float a, float b, int imageHeight);
// The inverse: the plane point under the centre of a pixel (row from the top).
Vec2 AtlasPoint(const AtlasRect& r, int column, int row, int imageHeight);

// Builds a triangle mesh in game axes from lofts, slabs and boxes, then gives
// it smooth normals where neighbouring faces meet at a small angle and hard
// edges elsewhere, and lays its sides out in a texture atlas so that every
// texel covers the same area of hull.
class MeshBuilder
{
  public:
    struct Triangle
    {
        Vec3 p[3];
        Vec3 n[3];
        Vec2 uv[3];
        int primitive;
    };

    struct Primitive
    {
        Surface surface;
        float smoothCos; // cosine of the largest angle that is still smoothed
    };

    // Starts a primitive; the triangles added after it belong to it.
    int Begin(const Surface& surface, float smoothDegrees = 40.0f);
    // Adds one triangle, counter-clockwise seen from outside; triangles
    // without area are dropped.
    void AddTriangle(const Vec3& a, const Vec3& b, const Vec3& c);
    void AddQuad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d);

    // A closed or open tube through the rings along z, with the 2D profile
    // (counter-clockwise, around the origin, roughly unit size) as its cross
    // section, then moved by `t`. Caps close the first and last ring.
    void Loft(const std::vector<Vec2>& profile, const std::vector<Ring>& rings, bool capStart, bool capEnd,
              const Transform& t);
    // A flat plate: the convex outline (x, z) extruded from y0 to y1, moved by t.
    void Slab(const std::vector<Vec2>& outline, float y0, float y1, const Transform& t);
    void Box(const Vec3& min, const Vec3& max, const Transform& t = Transform());

    void ComputeNormals();
    // Lays the atlas out in a width x height texture at the largest density up
    // to maxDensity texels per unit that fits; fills every triangle's uv.
    void LayoutAtlas(int width, int height, float maxDensity);

    const std::vector<Triangle>& Triangles() const { return triangles; }
    const std::vector<Primitive>& Primitives() const { return primitives; }
    const std::vector<AtlasRect>& Atlas() const { return atlas; }
    int AtlasWidth() const { return atlasWidth; }
    int AtlasHeight() const { return atlasHeight; }

  private:
    void AddOriented(Vec3 a, Vec3 b, Vec3 c, const Vec3& outward);
    bool Pack(float density, std::vector<AtlasRect>& rects) const;

    std::vector<Triangle> triangles;
    std::vector<Primitive> primitives;
    std::vector<AtlasRect> atlas;
    int atlasWidth = 0;
    int atlasHeight = 0;
};

// Profiles for lofts.
std::vector<Vec2> CircleProfile(int segments);
// A rounded rectangle |x|^e + |y|^e = 1: e = 2 is a circle, larger e squarer.
std::vector<Vec2> SuperellipseProfile(int segments, float exponent);
// A polygon given by its corners, used as is.
std::vector<Vec2> PolygonProfile(std::initializer_list<Vec2> corners);

// The side key (0..4) of a face normal: see AtlasRect.
int SideKey(const Vec3& normal);
// Projects a point onto the plane of a side key: (a, b).
Vec2 ProjectForKey(const Vec3& p, int key);

#endif
