#include "AseWriter.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>

namespace
{

Vec3 ToFile(const Vec3& g, FileAxes axes)
{
    return axes == FileAxes::Model ? Vec3(-g.x, g.z, g.y) : Vec3(g.x, g.z, g.y);
}

// A float with four decimals, without a negative zero.
std::string Num(float v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", v);
    std::string s(buffer);
    if (s == "-0.0000")
        s = "0.0000";
    return s;
}

std::string Triple(const Vec3& v)
{
    return Num(v.x) + "\t" + Num(v.y) + "\t" + Num(v.z);
}

void WriteNodeTm(FILE* f, const std::string& name, const Vec3& pos, const Vec3& axis, float angle)
{
    std::fprintf(f, "\t*NODE_TM {\n\t\t*NODE_NAME \"%s\"\n", name.c_str());
    std::fprintf(f, "\t\t*INHERIT_POS 0 0 0\n\t\t*INHERIT_ROT 0 0 0\n\t\t*INHERIT_SCL 0 0 0\n");
    std::fprintf(f, "\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_ROW1 0.0000\t1.0000\t0.0000\n");
    std::fprintf(f, "\t\t*TM_ROW2 0.0000\t0.0000\t1.0000\n\t\t*TM_ROW3 %s\n", Triple(pos).c_str());
    std::fprintf(f, "\t\t*TM_POS %s\n\t\t*TM_ROTAXIS %s\n\t\t*TM_ROTANGLE %s\n", Triple(pos).c_str(),
                 Triple(axis).c_str(), Num(angle).c_str());
    std::fprintf(f, "\t\t*TM_SCALE 1.0000\t1.0000\t1.0000\n\t\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n");
    std::fprintf(f, "\t\t*TM_SCALEAXISANG 0.0000\n\t}\n");
}

void WriteMesh(FILE* f, const SceneMesh& sm, int materialRef, FileAxes axes)
{
    const auto& tris = sm.mesh->Triangles();
    const bool flip = axes == FileAxes::Map; // that exchange of axes mirrors
    // Shared vertex and texture-vertex lists, in order of first use.
    std::map<std::tuple<float, float, float>, int> vertexIndex;
    std::map<std::pair<float, float>, int> tvertIndex;
    std::vector<Vec3> vertices;
    std::vector<Vec2> tverts;
    std::vector<std::array<int, 3>> faces, tfaces;
    std::vector<std::array<Vec3, 3>> normals;
    std::vector<Vec3> faceNormals;
    for (const auto& t : tris)
    {
        const int order[3] = {0, flip ? 2 : 1, flip ? 1 : 2};
        std::array<int, 3> face, tface;
        std::array<Vec3, 3> ns;
        for (int k = 0; k < 3; ++k)
        {
            const int c = order[k];
            const Vec3 p = ToFile(t.p[c], axes);
            auto key = std::make_tuple(std::stof(Num(p.x)), std::stof(Num(p.y)), std::stof(Num(p.z)));
            auto it = vertexIndex.find(key);
            if (it == vertexIndex.end())
            {
                it = vertexIndex.emplace(key, static_cast<int>(vertices.size())).first;
                vertices.push_back(p);
            }
            face[k] = it->second;
            auto tkey = std::make_pair(std::stof(Num(t.uv[c].x)), std::stof(Num(t.uv[c].y)));
            auto tt = tvertIndex.find(tkey);
            if (tt == tvertIndex.end())
            {
                tt = tvertIndex.emplace(tkey, static_cast<int>(tverts.size())).first;
                tverts.push_back(t.uv[c]);
            }
            tface[k] = tt->second;
            ns[k] = ToFile(t.n[c], axes);
        }
        const Vec3 a = ToFile(t.p[order[0]], axes), b = ToFile(t.p[order[1]], axes),
                   c = ToFile(t.p[order[2]], axes);
        faceNormals.push_back(Normalized(Cross(b - a, c - a)));
        faces.push_back(face);
        tfaces.push_back(tface);
        normals.push_back(ns);
    }

    std::fprintf(f, "*GEOMOBJECT {\n\t*NODE_NAME \"%s\"\n", sm.name.c_str());
    WriteNodeTm(f, sm.name, Vec3(), Vec3(), 0.0f);
    std::fprintf(f, "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX %zu\n\t\t*MESH_NUMFACES %zu\n",
                 vertices.size(), faces.size());
    std::fprintf(f, "\t\t*MESH_VERTEX_LIST {\n");
    for (size_t i = 0; i < vertices.size(); ++i)
        std::fprintf(f, "\t\t\t*MESH_VERTEX %5zu\t%s\n", i, Triple(vertices[i]).c_str());
    std::fprintf(f, "\t\t}\n\t\t*MESH_FACE_LIST {\n");
    for (size_t i = 0; i < faces.size(); ++i)
        std::fprintf(f,
                     "\t\t\t*MESH_FACE %5zu:    A: %5d B: %5d C: %5d AB:    1 BC:    1 CA:    1\t "
                     "*MESH_SMOOTHING 1 \t*MESH_MTLID 0\n",
                     i, faces[i][0], faces[i][1], faces[i][2]);
    std::fprintf(f, "\t\t}\n\t\t*MESH_NUMTVERTEX %zu\n\t\t*MESH_TVERTLIST {\n", tverts.size());
    for (size_t i = 0; i < tverts.size(); ++i)
        std::fprintf(f, "\t\t\t*MESH_TVERT %5zu\t%s\t%s\t0.0000\n", i, Num(tverts[i].x).c_str(),
                     Num(tverts[i].y).c_str());
    std::fprintf(f, "\t\t}\n\t\t*MESH_NUMTVFACES %zu\n\t\t*MESH_TFACELIST {\n", tfaces.size());
    for (size_t i = 0; i < tfaces.size(); ++i)
        std::fprintf(f, "\t\t\t*MESH_TFACE %5zu\t%d\t%d\t%d\n", i, tfaces[i][0], tfaces[i][1], tfaces[i][2]);
    std::fprintf(f, "\t\t}\n\t\t*MESH_NORMALS {\n");
    for (size_t i = 0; i < faces.size(); ++i)
    {
        std::fprintf(f, "\t\t\t*MESH_FACENORMAL %zu\t%s\n", i, Triple(faceNormals[i]).c_str());
        for (int k = 0; k < 3; ++k)
            std::fprintf(f, "\t\t\t\t*MESH_VERTEXNORMAL %d\t%s\n", faces[i][k],
                         Triple(normals[i][k]).c_str());
    }
    std::fprintf(f, "\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n");
    std::fprintf(f, "\t*MATERIAL_REF %d\n}\n", materialRef);
}

void WriteMarker(FILE* f, const Marker& m)
{
    // Game pitch, yaw and roll are rotations about the file's x, z and y axes.
    Vec3 axis;
    float angle = 0.0f;
    if (m.axis >= 0 && m.degrees != 0.0f)
    {
        if (m.axis == 0)
            axis = Vec3(1, 0, 0);
        else if (m.axis == 1)
            axis = Vec3(0, 0, 1);
        else
            axis = Vec3(0, 1, 0);
        angle = MarkerRadians(m.degrees);
    }
    const Vec3 pos(m.position.x, m.position.z, m.position.y);
    std::fprintf(f, "*HELPEROBJECT {\n\t*NODE_NAME \"%s\"\n\t*HELPER_CLASS \"Dummy\"\n", m.name.c_str());
    WriteNodeTm(f, m.name, pos, axis, angle);
    std::fprintf(f, "\t*BOUNDINGBOX_MIN %s\n\t*BOUNDINGBOX_MAX %s\n}\n", Triple(pos - Vec3(1, 1, 1)).c_str(),
                 Triple(pos + Vec3(1, 1, 1)).c_str());
}

} // namespace

float MarkerRadians(float degrees)
{
    return degrees * 3.14159f / 180.0f;
}

bool WriteAse(const std::string& path, const std::string& sceneName, const std::vector<SceneMesh>& meshes,
              const std::vector<Marker>& markers, FileAxes axes)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
    {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    std::fprintf(f, "*3DSMAX_ASCIIEXPORT\t200\n*COMMENT \"Korvane data generator\"\n");
    std::fprintf(f, "*SCENE {\n\t*SCENE_FILENAME \"%s\"\n\t*SCENE_FIRSTFRAME 0\n\t*SCENE_LASTFRAME 100\n",
                 sceneName.c_str());
    std::fprintf(f, "\t*SCENE_FRAMESPEED 30\n\t*SCENE_TICKSPERFRAME 160\n");
    std::fprintf(f, "\t*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000\n");
    std::fprintf(f, "\t*SCENE_AMBIENT_STATIC 0.0000\t0.0000\t0.0000\n}\n");
    std::fprintf(f, "*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n");
    std::fprintf(f, "\t\t*MATERIAL_NAME \"%s_skin\"\n\t\t*MATERIAL_CLASS \"Standard\"\n", sceneName.c_str());
    std::fprintf(f, "\t\t*MATERIAL_DIFFUSE 0.8000\t0.8000\t0.8000\n\t}\n}\n");
    for (const SceneMesh& m : meshes)
        WriteMesh(f, m, 0, axes);
    for (const Marker& m : markers)
        WriteMarker(f, m);
    return std::fclose(f) == 0;
}
