#include "DataSupport.h"

#include "support/GLTest.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace
{

P3 Sub(const P3& a, const P3& b)
{
    return P3{a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot3(const P3& a, const P3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A token reader that reports truncated files instead of looping.
class Tokens
{
  public:
    explicit Tokens(std::istream& in_) : in(in_) {}
    bool Next(std::string& t) { return static_cast<bool>(in >> t); }
    std::string Next()
    {
        std::string t;
        if (!(in >> t))
            failed = true;
        return t;
    }
    float Float()
    {
        float v = 0;
        if (!(in >> v))
            failed = true;
        return v;
    }
    unsigned Unsigned()
    {
        unsigned v = 0;
        if (!(in >> v))
            failed = true;
        return v;
    }
    void SkipLine() { in.ignore(1000, '\n'); }
    bool failed = false;

  private:
    std::istream& in;
};

std::string Unquote(const std::string& t)
{
    return t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string();
}

bool Expect(Tokens& in, const std::string& want, std::string& error)
{
    const std::string got = in.Next();
    if (got != want)
    {
        error = "expected " + want + ", found " + got;
        return false;
    }
    return true;
}

bool ScanMesh(Tokens& in, ScannedMesh& mesh, std::string& error)
{
    std::string t;
    while (in.Next(t))
    {
        if (t == "}")
            return true;
        if (t == "*NODE_NAME")
            mesh.fullName = Unquote(in.Next());
        else if (t == "*NODE_TM")
        {
            while (in.Next(t) && t != "}")
            {
            }
        }
        else if (t == "*MESH")
        {
            if (!Expect(in, "{", error))
                return false;
            while (in.Next(t) && t != "}")
            {
                if (t == "*MESH_NUMVERTEX")
                    mesh.declaredVertices = in.Unsigned();
                else if (t == "*MESH_NUMFACES")
                    mesh.declaredFaces = in.Unsigned();
                else if (t == "*MESH_VERTEX_LIST")
                {
                    if (!Expect(in, "{", error))
                        return false;
                    while (in.Next(t) && t == "*MESH_VERTEX")
                    {
                        in.Unsigned();
                        P3 p;
                        p.x = in.Float();
                        p.y = in.Float();
                        p.z = in.Float();
                        mesh.vertices.push_back(p);
                    }
                }
                else if (t == "*MESH_FACE_LIST")
                {
                    if (!Expect(in, "{", error))
                        return false;
                    while (in.Next(t) && t == "*MESH_FACE")
                    {
                        in.Next(); // "n:"
                        std::array<unsigned, 3> f;
                        for (int k = 0; k < 3; ++k)
                        {
                            in.Next(); // "A:" ...
                            f[k] = in.Unsigned();
                        }
                        in.SkipLine();
                        mesh.faces.push_back(f);
                    }
                }
                else if (t == "*MESH_TVERTLIST")
                {
                    if (!Expect(in, "{", error))
                        return false;
                    while (in.Next(t) && t == "*MESH_TVERT")
                    {
                        in.Unsigned();
                        const float u = in.Float(), v = in.Float();
                        in.Float();
                        mesh.tverts.push_back({u, v});
                    }
                }
                else if (t == "*MESH_TFACELIST")
                {
                    if (!Expect(in, "{", error))
                        return false;
                    while (in.Next(t) && t == "*MESH_TFACE")
                    {
                        in.Unsigned();
                        std::array<unsigned, 3> f;
                        for (int k = 0; k < 3; ++k)
                            f[k] = in.Unsigned();
                        mesh.tfaces.push_back(f);
                    }
                }
                else if (t == "*MESH_NORMALS")
                {
                    if (!Expect(in, "{", error))
                        return false;
                    while (in.Next(t) && t == "*MESH_FACENORMAL")
                    {
                        in.SkipLine();
                        std::array<P3, 3> ns;
                        for (int k = 0; k < 3; ++k)
                        {
                            if (in.Next() != "*MESH_VERTEXNORMAL")
                            {
                                error = "a face without three vertex normals";
                                return false;
                            }
                            in.Unsigned();
                            ns[k].x = in.Float();
                            ns[k].y = in.Float();
                            ns[k].z = in.Float();
                        }
                        mesh.normals.push_back(ns);
                    }
                }
                if (in.failed)
                {
                    error = "malformed mesh block";
                    return false;
                }
            }
        }
    }
    error = "file ends inside a mesh";
    return false;
}

bool ScanMarker(Tokens& in, ScannedMarker& m, std::string& error)
{
    std::string t;
    while (in.Next(t))
    {
        if (t == "}")
            return true;
        if (t == "*NODE_NAME")
        {
            m.fullName = Unquote(in.Next());
            const size_t digit = m.fullName.find_first_of("0123456789");
            m.type = digit == std::string::npos ? m.fullName : m.fullName.substr(0, digit);
            m.properties = NameProperties(m.fullName);
        }
        else if (t == "*NODE_TM")
        {
            while (in.Next(t) && t != "}")
            {
                if (t == "*TM_POS")
                {
                    m.position.x = in.Float();
                    m.position.y = in.Float();
                    m.position.z = in.Float();
                }
                else if (t == "*TM_ROTAXIS")
                {
                    m.axis.x = in.Float();
                    m.axis.y = in.Float();
                    m.axis.z = in.Float();
                }
                else if (t == "*TM_ROTANGLE")
                    m.angle = in.Float();
            }
        }
    }
    error = "file ends inside a marker";
    return false;
}

} // namespace

std::vector<float> NameProperties(const std::string& fullName)
{
    std::vector<float> values;
    size_t colon = fullName.find(':');
    while (colon != std::string::npos)
    {
        const size_t next = fullName.find(':', colon + 1);
        values.push_back(static_cast<float>(std::atof(
            fullName.substr(colon + 1, next == std::string::npos ? std::string::npos : next - colon - 1)
                .c_str())));
        colon = next;
    }
    return values;
}

ScannedScene ScanAse(const std::string& path)
{
    ScannedScene scene;
    std::ifstream file(path);
    if (!file)
    {
        scene.error = "cannot open " + path;
        return scene;
    }
    Tokens in(file);
    std::string t;
    while (in.Next(t))
    {
        if (t == "*GEOMOBJECT")
        {
            ScannedMesh mesh;
            if (!Expect(in, "{", scene.error) || !ScanMesh(in, mesh, scene.error))
                return scene;
            scene.meshes.push_back(mesh);
        }
        else if (t == "*HELPEROBJECT")
        {
            ScannedMarker marker;
            if (!Expect(in, "{", scene.error) || !ScanMarker(in, marker, scene.error))
                return scene;
            scene.markers.push_back(marker);
        }
        else if (t == "*GROUP")
        {
            scene.error = "groups hide markers from the game";
            return scene;
        }
    }
    scene.ok = true;
    return scene;
}

P3 MeshPointInGame(const P3& f)
{
    return P3{-f.x, f.z, f.y};
}
P3 MarkerPointInGame(const P3& f)
{
    return P3{f.x, f.z, f.y};
}

float PointTriangleDistance(const P3& p, const P3& a, const P3& b, const P3& c)
{
    // Closest point on a triangle (Ericson, Real-Time Collision Detection).
    const P3 ab = Sub(b, a), ac = Sub(c, a), ap = Sub(p, a);
    auto at = [&](float v, float w) {
        return P3{a.x + ab.x * v + ac.x * w, a.y + ab.y * v + ac.y * w, a.z + ab.z * v + ac.z * w};
    };
    auto dist = [&](const P3& q) { return std::sqrt(Dot3(Sub(p, q), Sub(p, q))); };
    const float d1 = Dot3(ab, ap), d2 = Dot3(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return dist(a);
    const P3 bp = Sub(p, b);
    const float d3 = Dot3(ab, bp), d4 = Dot3(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return dist(b);
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return dist(at(d1 / (d1 - d3), 0));
    const P3 cp = Sub(p, c);
    const float d5 = Dot3(ab, cp), d6 = Dot3(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return dist(c);
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return dist(at(0, d2 / (d2 - d6)));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
    {
        const float w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
        return dist(P3{b.x + (c.x - b.x) * w, b.y + (c.y - b.y) * w, b.z + (c.z - b.z) * w});
    }
    const float denom = 1.0f / (va + vb + vc);
    return dist(at(vb * denom, vc * denom));
}

bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<unsigned char> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string TestDataDir()
{
    return DataDir() + "-test";
}
