#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace
{

constexpr float kPi = 3.14159265f;
constexpr int kPadding = 2; // texels around every atlas rect, against bleeding

Vec3 FaceNormal(const Vec3& a, const Vec3& b, const Vec3& c)
{
    return Cross(b - a, c - a);
}

} // namespace

int SideKey(const Vec3& n)
{
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ax >= ay && ax >= az)
        return 0;
    if (ay >= az)
        return n.y > 0.0f ? 1 : 2;
    return n.z > 0.0f ? 3 : 4;
}

Vec2 ProjectForKey(const Vec3& p, int key)
{
    if (key == 0)
        return Vec2(p.z, p.y);
    if (key <= 2)
        return Vec2(p.x, p.z);
    return Vec2(p.x, p.y);
}

Vec2 AtlasPixel(const AtlasRect& r, float a, float b, int imageHeight)
{
    const float da = (a - r.aMin) * r.density, db = (b - r.bMin) * r.density;
    const float bottom = static_cast<float>(imageHeight - r.y - r.height) + kPadding;
    if (r.turned)
        return Vec2(r.x + kPadding + db, bottom + da);
    return Vec2(r.x + kPadding + da, bottom + db);
}

Vec2 AtlasPoint(const AtlasRect& r, int column, int row, int imageHeight)
{
    const float across = (column + 0.5f - r.x - kPadding) / r.density;
    const float up = ((imageHeight - row - 0.5f) - (imageHeight - r.y - r.height) - kPadding) / r.density;
    if (r.turned)
        return Vec2(r.aMin + up, r.bMin + across);
    return Vec2(r.aMin + across, r.bMin + up);
}

std::vector<Vec2> CircleProfile(int segments)
{
    std::vector<Vec2> points;
    for (int i = 0; i < segments; ++i)
    {
        const float a = 2.0f * kPi * i / segments;
        points.push_back(Vec2(std::cos(a), std::sin(a)));
    }
    return points;
}

std::vector<Vec2> SuperellipseProfile(int segments, float exponent)
{
    std::vector<Vec2> points;
    for (int i = 0; i < segments; ++i)
    {
        const float a = 2.0f * kPi * i / segments;
        const float c = std::cos(a), s = std::sin(a);
        const float x = std::copysign(std::pow(std::fabs(c), 2.0f / exponent), c);
        const float y = std::copysign(std::pow(std::fabs(s), 2.0f / exponent), s);
        points.push_back(Vec2(x, y));
    }
    return points;
}

std::vector<Vec2> PolygonProfile(std::initializer_list<Vec2> corners)
{
    return std::vector<Vec2>(corners);
}

int MeshBuilder::Begin(const Surface& surface, float smoothDegrees)
{
    primitives.push_back(Primitive{surface, std::cos(smoothDegrees * kPi / 180.0f)});
    return static_cast<int>(primitives.size()) - 1;
}

void MeshBuilder::AddTriangle(const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 n = FaceNormal(a, b, c);
    if (Length(n) < 1e-6f)
        return;
    Triangle t;
    t.p[0] = a;
    t.p[1] = b;
    t.p[2] = c;
    t.primitive = static_cast<int>(primitives.size()) - 1;
    triangles.push_back(t);
}

void MeshBuilder::AddQuad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d)
{
    AddTriangle(a, b, c);
    AddTriangle(a, c, d);
}

void MeshBuilder::AddOriented(Vec3 a, Vec3 b, Vec3 c, const Vec3& outward)
{
    if (Dot(FaceNormal(a, b, c), outward) < 0.0f)
        std::swap(b, c);
    AddTriangle(a, b, c);
}

void MeshBuilder::Loft(const std::vector<Vec2>& profile, const std::vector<Ring>& rings, bool capStart,
                       bool capEnd, const Transform& t)
{
    const size_t n = profile.size();
    auto at = [&](const Ring& r, size_t k)
    { return Vec3(r.x + profile[k % n].x * r.halfWidth, r.y + profile[k % n].y * r.halfHeight, r.z); };
    // Outward directions are decided in the loft's own frame, then the
    // rotation (which keeps handedness) carries the winding along.
    auto dir = [&](const Vec3& v) { return t.Apply(v) - t.Apply(Vec3()); };
    for (size_t i = 0; i + 1 < rings.size(); ++i)
    {
        const Ring& r0 = rings[i];
        const Ring& r1 = rings[i + 1];
        for (size_t k = 0; k < n; ++k)
        {
            const Vec3 a = at(r0, k), b = at(r0, k + 1), c = at(r1, k + 1), d = at(r1, k);
            const Vec3 centroid = (a + b + c + d) * 0.25f;
            const Vec3 axis((r0.x + r1.x) * 0.5f, (r0.y + r1.y) * 0.5f, centroid.z);
            const Vec3 out = dir(centroid - axis);
            AddOriented(t.Apply(a), t.Apply(b), t.Apply(c), out);
            AddOriented(t.Apply(a), t.Apply(c), t.Apply(d), out);
        }
    }
    auto cap = [&](const Ring& r, float sign)
    {
        const Vec3 centre(r.x, r.y, r.z);
        for (size_t k = 0; k < n; ++k)
            AddOriented(t.Apply(centre), t.Apply(at(r, k)), t.Apply(at(r, k + 1)), dir(Vec3(0, 0, sign)));
    };
    if (capStart)
        cap(rings.front(), rings.front().z < rings.back().z ? -1.0f : 1.0f);
    if (capEnd)
        cap(rings.back(), rings.front().z < rings.back().z ? 1.0f : -1.0f);
}

void MeshBuilder::Slab(const std::vector<Vec2>& outline, float y0, float y1, const Transform& t)
{
    const size_t n = outline.size();
    Vec2 centre;
    for (const Vec2& p : outline)
    {
        centre.x += p.x / n;
        centre.y += p.y / n;
    }
    auto dir = [&](const Vec3& v) { return t.Apply(v) - t.Apply(Vec3()); };
    const Vec3 c0(centre.x, y0, centre.y), c1(centre.x, y1, centre.y);
    for (size_t k = 0; k < n; ++k)
    {
        const Vec2& p = outline[k];
        const Vec2& q = outline[(k + 1) % n];
        const Vec3 a0(p.x, y0, p.y), b0(q.x, y0, q.y), a1(p.x, y1, p.y), b1(q.x, y1, q.y);
        AddOriented(t.Apply(c1), t.Apply(a1), t.Apply(b1), dir(Vec3(0, 1, 0)));
        AddOriented(t.Apply(c0), t.Apply(a0), t.Apply(b0), dir(Vec3(0, -1, 0)));
        const Vec3 out = dir(Vec3((p.x + q.x) * 0.5f - centre.x, 0, (p.y + q.y) * 0.5f - centre.y));
        AddOriented(t.Apply(a0), t.Apply(b0), t.Apply(b1), out);
        AddOriented(t.Apply(a0), t.Apply(b1), t.Apply(a1), out);
    }
}

void MeshBuilder::Box(const Vec3& mn, const Vec3& mx, const Transform& t)
{
    const std::vector<Vec2> outline = {Vec2(mn.x, mn.z), Vec2(mx.x, mn.z), Vec2(mx.x, mx.z),
                                       Vec2(mn.x, mx.z)};
    Slab(outline, mn.y, mx.y, t);
}

void MeshBuilder::ComputeNormals()
{
    // Corners that share a position within one primitive may share a normal.
    using Key = std::tuple<int, long, long, long>;
    std::map<Key, std::vector<int>> corners;
    auto keyOf = [](const Triangle& t, int k)
    {
        return Key(t.primitive, std::lround(t.p[k].x * 1e4f), std::lround(t.p[k].y * 1e4f),
                   std::lround(t.p[k].z * 1e4f));
    };
    std::vector<Vec3> faceNormals(triangles.size());
    for (size_t i = 0; i < triangles.size(); ++i)
    {
        const Triangle& t = triangles[i];
        faceNormals[i] = FaceNormal(t.p[0], t.p[1], t.p[2]);
        for (int k = 0; k < 3; ++k)
            corners[keyOf(t, k)].push_back(static_cast<int>(i));
    }
    for (size_t i = 0; i < triangles.size(); ++i)
    {
        Triangle& t = triangles[i];
        const Vec3 own = Normalized(faceNormals[i]);
        const float limit = primitives[t.primitive].smoothCos;
        for (int k = 0; k < 3; ++k)
        {
            Vec3 sum;
            for (int j : corners[keyOf(t, k)])
                if (Dot(Normalized(faceNormals[j]), own) >= limit)
                    sum = sum + faceNormals[j];
            t.n[k] = Normalized(sum);
            if (Length(t.n[k]) < 0.5f)
                t.n[k] = own;
        }
    }
}

bool MeshBuilder::Pack(float density, std::vector<AtlasRect>& rects) const
{
    // Bounds of every (primitive, side) group in its projection plane.
    std::map<std::pair<int, int>, std::pair<Vec2, Vec2>> bounds;
    for (const Triangle& t : triangles)
    {
        const int key = SideKey(FaceNormal(t.p[0], t.p[1], t.p[2]));
        auto it = bounds.find({t.primitive, key});
        if (it == bounds.end())
        {
            const Vec2 p = ProjectForKey(t.p[0], key);
            it = bounds.emplace(std::make_pair(t.primitive, key), std::make_pair(p, p)).first;
        }
        for (int k = 0; k < 3; ++k)
        {
            const Vec2 p = ProjectForKey(t.p[k], key);
            it->second.first.x = std::min(it->second.first.x, p.x);
            it->second.first.y = std::min(it->second.first.y, p.y);
            it->second.second.x = std::max(it->second.second.x, p.x);
            it->second.second.y = std::max(it->second.second.y, p.y);
        }
    }
    rects.clear();
    for (const auto& entry : bounds)
    {
        AtlasRect r;
        r.primitive = entry.first.first;
        r.key = entry.first.second;
        r.aMin = entry.second.first.x;
        r.bMin = entry.second.first.y;
        r.density = density;
        r.width = static_cast<int>(std::ceil((entry.second.second.x - r.aMin) * density)) + 2 * kPadding + 1;
        r.height = static_cast<int>(std::ceil((entry.second.second.y - r.bMin) * density)) + 2 * kPadding + 1;
        r.x = r.y = 0;
        r.turned = r.height > r.width;
        if (r.turned)
            std::swap(r.width, r.height);
        rects.push_back(r);
    }
    // Shelf packing, tallest first; the order is stable so the layout is
    // the same on every run.
    std::vector<size_t> order(rects.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return rects[a].height > rects[b].height; });
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order)
    {
        AtlasRect& r = rects[i];
        if (r.width > atlasWidth)
            return false;
        if (x + r.width > atlasWidth)
        {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        r.x = x;
        r.y = y;
        x += r.width;
        shelf = std::max(shelf, r.height);
        if (y + r.height > atlasHeight)
            return false;
    }
    return true;
}

void MeshBuilder::LayoutAtlas(int width, int height, float maxDensity)
{
    atlasWidth = width;
    atlasHeight = height;
    // The largest density that fits, found by bisection.
    float low = 0.01f, high = maxDensity;
    std::vector<AtlasRect> rects;
    if (Pack(high, rects))
        low = high;
    else
        for (int i = 0; i < 30; ++i)
        {
            const float mid = (low + high) * 0.5f;
            if (Pack(mid, rects))
                low = mid;
            else
                high = mid;
        }
    Pack(low, atlas);
    std::map<std::pair<int, int>, const AtlasRect*> byGroup;
    for (const AtlasRect& r : atlas)
        byGroup[{r.primitive, r.key}] = &r;
    for (Triangle& t : triangles)
    {
        const int key = SideKey(FaceNormal(t.p[0], t.p[1], t.p[2]));
        const AtlasRect& r = *byGroup[{t.primitive, key}];
        for (int k = 0; k < 3; ++k)
        {
            const Vec2 p = ProjectForKey(t.p[k], key);
            const Vec2 pixel = AtlasPixel(r, p.x, p.y, height);
            t.uv[k] = Vec2(pixel.x / width, pixel.y / height);
        }
    }
}
