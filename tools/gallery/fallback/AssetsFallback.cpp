// A stand-in for the game's model loading, used to build the gallery while
// the assets library is not yet part of the tree. It reads only what the
// generator writes (flat scenes without groups) and compiles the model lists
// with the same axes and texture mirroring. CMake drops this file as soon as
// src/assets/Model.cpp exists, so the gallery then draws through the game's
// own code.

#include "assets/Ase.h"
#include "assets/Model.h"
#include "assets/Texture.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{

void ReadName(std::istream& in, std::string& name, int& count, float* properties)
{
    std::string token;
    in >> token;
    const std::string s = token.size() >= 2 ? token.substr(1, token.size() - 2) : token;
    const size_t colon = s.find(':');
    name = s.substr(0, colon);
    count = 0;
    for (size_t at = colon; at != std::string::npos && count < kMaxAseProperties;)
    {
        const size_t next = s.find(':', at + 1);
        properties[count++] = static_cast<float>(std::atof(s.substr(at + 1, next - at - 1).c_str()));
        at = next;
    }
}

} // namespace

AseGroup::~AseGroup()
{
    for (AseGroup* g : groups)
        delete g;
    for (AseMesh* m : meshes)
        delete m;
    for (AseNode* n : nodes)
        delete n;
}

void AseMesh::AddProperty(float value)
{
    if (propertyCount < kMaxAseProperties)
        properties[propertyCount++] = value;
}

AseGroup* ReadAse(std::string name)
{
    std::ifstream in("Models/" + name + ".ase");
    if (!in)
        return nullptr;
    AseGroup* root = new AseGroup(name);
    std::string t;
    while (in >> t)
    {
        if (t == "*GEOMOBJECT")
        {
            AseMesh* m = new AseMesh;
            int count = 0;
            float props[kMaxAseProperties];
            while (in >> t && t != "*MESH")
                if (t == "*NODE_NAME" && m->name == "<UNNAMED>")
                {
                    ReadName(in, m->name, count, props);
                    for (int i = 0; i < count; ++i)
                        m->AddProperty(props[i]);
                }
            size_t face = 0;
            while (in >> t && t != "*PROP_MOTIONBLUR")
            {
                if (t == "*MESH_VERTEX")
                {
                    Vector v;
                    in >> t >> v.x >> v.y >> v.z;
                    m->vertices.push_back(v);
                }
                else if (t == "*MESH_FACE")
                {
                    AseFace f;
                    in >> t >> t >> f.vertex[0] >> t >> f.vertex[1] >> t >> f.vertex[2];
                    m->faces.push_back(f);
                }
                else if (t == "*MESH_TVERT")
                {
                    TexCoord c;
                    float w;
                    in >> t >> c.u >> c.v >> w;
                    m->texCoords.push_back(c);
                }
                else if (t == "*MESH_TFACE")
                {
                    in >> t;
                    AseFace& f = m->faces[face++];
                    in >> f.texCoord[0] >> f.texCoord[1] >> f.texCoord[2];
                }
                else if (t == "*MESH_FACENORMAL")
                {
                    face = 0;
                    in.putback(' ');
                    while (t == "*MESH_FACENORMAL")
                    {
                        std::string line;
                        std::getline(in, line);
                        for (int k = 0; k < 3; ++k)
                        {
                            Vector n;
                            in >> t >> t >> n.x >> n.y >> n.z;
                            m->faces[face].normal[k] = static_cast<uint32_t>(m->normals.size());
                            m->normals.push_back(n);
                        }
                        ++face;
                        in >> t;
                    }
                }
            }
            root->meshes.push_back(m);
        }
        else if (t == "*HELPEROBJECT")
        {
            AseNode* n = new AseNode;
            Vector axis;
            float angle = 0;
            while (in >> t && t != "*BOUNDINGBOX_MAX")
            {
                if (t == "*NODE_NAME" && n->name.empty())
                {
                    ReadName(in, n->name, n->propertyCount, n->properties);
                    const size_t digit = n->name.find_first_of("0123456789");
                    n->type = n->name.substr(0, digit);
                }
                else if (t == "*TM_POS")
                    in >> n->position.x >> n->position.y >> n->position.z;
                else if (t == "*TM_ROTAXIS")
                    in >> axis.x >> axis.y >> axis.z;
                else if (t == "*TM_ROTANGLE")
                    in >> angle;
            }
            const float degrees = angle * 180.0f * 0.31831015504887655f;
            if (angle != 0.0f)
                n->rotation = axis.x == 1.0f || axis.x == -1.0f   ? Vector(degrees * axis.x, 0, 0)
                              : axis.y == 1.0f || axis.y == -1.0f ? Vector(0, degrees * axis.y, 0)
                                                                  : Vector(0, 0, degrees * axis.z);
            root->nodes.push_back(n);
        }
    }
    return root;
}

void DrawGroup(const AseGroup* group)
{
    for (const AseMesh* m : group->meshes)
    {
        glBegin(GL_TRIANGLES);
        for (const AseFace& f : m->faces)
            for (int k = 0; k < 3; ++k)
            {
                const TexCoord& c = m->texCoords[f.texCoord[k]];
                glTexCoord2f(c.u, c.v);
                const Vector& n = m->normals[f.normal[k]];
                glNormal3f(n.x, n.y, n.z);
                const Vector& v = m->vertices[f.vertex[k]];
                glVertex3f(v.x, v.y, v.z);
            }
        glEnd();
    }
}

namespace
{

GLuint Upload(SDL_Surface* s, GLenum format)
{
    GLuint texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, s->w, s->h, 0, format, GL_UNSIGNED_BYTE, s->pixels);
    SDL_FreeSurface(s);
    return texture;
}

} // namespace

Model::Model(std::string fileName_, std::string displayName_) : fileName(fileName_), displayName(displayName_)
{
    scene = ReadAse(fileName);
    SDL_Surface* skin = SDL_LoadBMP(("Textures/" + fileName + ".bmp").c_str());
    SDL_Surface* glow = IMG_Load(("Textures/" + fileName + "_lmap.png").c_str());
    if (!scene || !skin || !glow)
    {
        std::fprintf(stderr, "Cannot load model %s\n", fileName.c_str());
        std::exit(1);
    }
    min = Vector(1e15f, 1e15f, 1e15f);
    max = Vector(-1e15f, -1e15f, -1e15f);
    for (const AseMesh* m : scene->meshes)
        for (const Vector& v : m->vertices)
            for (int i = 0; i < 3; ++i)
            {
                min[i] = std::min(min[i], v[i]);
                max[i] = std::max(max[i], v[i]);
            }
    texture = Upload(skin, GL_BGR_EXT);
    lightMapTexture = Upload(glow, GL_RGBA);
    modelList = glGenLists(1);
    glNewList(modelList, GL_COMPILE);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glRotatef(180, 1, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glRotatef(90, 1, 0, 0);
    glRotatef(180, 0, 1, 0);
    DrawGroup(scene);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEndList();
}

GLuint LoadPngTexture(std::string name)
{
    SDL_Surface* s = IMG_Load(("Textures/" + name + ".png").c_str());
    if (!s)
    {
        std::fprintf(stderr, "Cannot load %s\n", name.c_str());
        std::exit(1);
    }
    return Upload(s, GL_RGBA);
}
