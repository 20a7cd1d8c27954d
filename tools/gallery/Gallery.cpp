// korvane_gallery: renders every ship class in every player colour, lit, with
// its turrets, decorative parts, light-map glow and navigation lights, through
// the game's own model loading, and writes the pictures as PNG files.
//
//   cd build/data && ../../tests/with-xvfb.sh ../tools/korvane_gallery <output directory>
//
// Writes <class>.png (the four player colours in a 2 x 2 sheet, 800 x 600)
// for each class and fleet.png (the four classes side by side).

#include "app/HeapPolicy.h"
#include "app/Startup.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "world/Environment.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

const float kPlayerColours[4][3] = {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}};

struct Catalogue
{
    std::vector<Model*> ships;
    std::vector<Model*> parts;
    GLuint lights[4];

    Model* Part(const std::string& name) const
    {
        for (Model* m : parts)
            if (m->fileName == name)
                return m;
        return nullptr;
    }
};

// Node vectors are read with the file's y and z exchanged.
Vector Swapped(const Vector& v)
{
    return Vector(v.x, v.z, v.y);
}

void Rotate(const Vector& r)
{
    glRotatef(r.z, 0, 0, 1);
    glRotatef(r.y, 0, 1, 0);
    glRotatef(r.x, 1, 0, 0);
}

// The model and its glow, drawn the way ship drawing does: the current
// colour tints the lit, textured model; the light map glows over it.
void DrawLitModel(const Model* m, float glow)
{
    const GLfloat white[4] = {1, 1, 1, 1}, none[4] = {0, 0, 0, 0}, glowing[4] = {1, 1, 1, glow};
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m->texture);
    glEnable(GL_CULL_FACE);
    glCallList(m->modelList);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1, -1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, glowing);
    glMaterialfv(GL_FRONT, GL_EMISSION, glowing);
    glBindTexture(GL_TEXTURE_2D, m->lightMapTexture);
    glCallList(m->modelList);
    glMaterialfv(GL_FRONT, GL_EMISSION, none);
    glPolygonOffset(0, 0);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_FLAT);
}

void DrawShip(const Catalogue& c, const Model* ship, int player)
{
    const float* colour = kPlayerColours[player];
    glColor4f(colour[0], colour[1], colour[2], 1);
    DrawLitModel(ship, 0.9f);
    const float light[3] = {std::min(1.0f, colour[0] + 0.5f), std::min(1.0f, colour[1] + 0.5f),
                            std::min(1.0f, colour[2] + 0.5f)};
    std::vector<std::pair<Vector, float>> navLights;
    for (const AseNode* n : ship->scene->nodes)
    {
        const Vector at = Swapped(n->position), turn = Swapped(n->rotation);
        glColor4f(light[0], light[1], light[2], 1);
        glPushMatrix();
        glTranslatef(at.x, at.y, at.z);
        Rotate(turn);
        if (n->type == "beamturret")
            DrawLitModel(c.Part("beamturret"), 0.9f);
        else if (n->type == "gunturret")
        {
            DrawLitModel(c.Part("gunturret_base"), 0.9f);
            glTranslatef(0, 2.8f, 0);
            glRotatef(8, 1, 0, 0);
            DrawLitModel(c.Part("gunturret_guns"), 0.9f);
        }
        else if (n->type == "light")
            navLights.push_back({at, n->propertyCount > 0 ? n->properties[0] : 5.0f});
        else if (c.Part(n->type))
            DrawLitModel(c.Part(n->type), 0.9f);
        glPopMatrix();
    }
    // Navigation lights: glowing squares that face the camera.
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, c.lights[player]);
    glColor4f(1, 1, 1, 1);
    for (const auto& l : navLights)
    {
        glPushMatrix();
        glTranslatef(l.first.x, l.first.y, l.first.z);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i * 4 + j] = i == j ? 1.0f : 0.0f;
        glLoadMatrixf(m);
        const float s = l.second;
        glBegin(GL_QUADS);
        glTexCoord2f(1, 0);
        glVertex3f(s, -s, 0);
        glTexCoord2f(1, 1);
        glVertex3f(s, s, 0);
        glTexCoord2f(0, 1);
        glVertex3f(-s, s, 0);
        glTexCoord2f(0, 0);
        glVertex3f(-s, -s, 0);
        glEnd();
        glPopMatrix();
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

// A dark backdrop with faint stars, so that the glows read as in space.
void DrawBackdrop()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glColor3f(0.02f, 0.02f, 0.05f);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glColor3f(0.08f, 0.07f, 0.15f);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glPointSize(1.5f);
    glBegin(GL_POINTS);
    unsigned seed = 12345;
    for (int i = 0; i < 120; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const float x = (seed >> 8 & 0xffff) / 32768.0f - 1.0f;
        seed = seed * 1664525u + 1013904223u;
        const float y = (seed >> 8 & 0xffff) / 32768.0f - 1.0f;
        const float b = 0.3f + (seed >> 4 & 0xff) / 400.0f;
        glColor3f(b, b, b);
        glVertex2f(x, y);
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glShadeModel(GL_FLAT);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}

// Renders one ship into the viewport, framed from the front left, above.
void RenderView(const Catalogue& c, const Model* ship, int player, int x, int y, int w, int h, float yaw)
{
    glViewport(x, y, w, h);
    glScissor(x, y, w, h);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    DrawBackdrop();
    const float length = std::max(ship->max.y - ship->min.y, ship->max.x - ship->min.x);
    const Vector centre((ship->min.x + ship->max.x) * -0.5f, (ship->min.z + ship->max.z) * 0.5f,
                        (ship->min.y + ship->max.y) * 0.5f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, static_cast<double>(w) / h, length * 0.1, length * 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float distance = length * 1.55f;
    gluLookAt(-0.55 * distance, 0.5 * distance, -0.68 * distance, 0, 0, 0, 0, 1, 0);
    // The game's light: directional, from the world's -Z.
    const GLfloat position[4] = {0, 0, -1, 0}, white[4] = {1, 1, 1, 1}, ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glRotatef(yaw, 0, 1, 0);
    glTranslatef(-centre.x, -centre.y, -centre.z);
    DrawShip(c, ship, player);
    glDisable(GL_SCISSOR_TEST);
}

bool WritePng(const std::string& path, int w, int h)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int row = h - 1; row >= 0; --row)
        png_write_row(png, &pixels[static_cast<size_t>(row) * w * 3]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// The game's text drawing: one square per character, advancing by the
// game's width table, from the cells of font2.png.
float Advance(int n)
{
    if (n == ' ' || n == '-' || n == 'f' || n == 'i' || n == 'j' || n == 'r' || n == 't')
        return 0.46f;
    if (n == 'l')
        return 0.3f;
    if (n == 'v' || n == 'y')
        return 0.5f;
    if (n == 'M' || n == 'W' || n == 'm' || n == 'w')
        return 1.0f;
    if ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z') || (n >= '0' && n <= '9'))
        return 0.68f;
    return 1.0f;
}

void DrawText(GLuint font, const std::string& text, int x, int y, int size)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, font);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.4f, 1.0f, 0.4f, 1.0f);
    glBegin(GL_QUADS);
    for (unsigned char n : text)
    {
        const float s0 = (n % 16) * 0.04296875f, s1 = s0 + 0.04296875f, t0 = (n / 16) * 0.125f,
                    t1 = t0 + 0.125f;
        glTexCoord2f(s0, t1);
        glVertex2i(x, y);
        glTexCoord2f(s0, t0);
        glVertex2i(x, y + size);
        glTexCoord2f(s1, t0);
        glVertex2i(x + size, y + size);
        glTexCoord2f(s1, t1);
        glVertex2i(x + size, y);
        x = static_cast<int>(x + size * Advance(n));
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

bool WriteFontSample(const std::string& path)
{
    SDL_Surface* s = IMG_Load("Textures/font2.png");
    if (!s)
        return false;
    GLuint font;
    glGenTextures(1, &font);
    glBindTexture(GL_TEXTURE_2D, font);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, s->w, s->h, GL_RGBA, GL_UNSIGNED_BYTE, s->pixels);
    SDL_FreeSurface(s);
    glViewport(0, 0, 800, 600);
    glClearColor(0.0f, 0.0f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    int y = 262;
    for (int size : {12, 14, 16, 24})
    {
        DrawText(font, "Tigershark-class battle frigate   MT: 10.00 sec", 10, y, size);
        y -= size + 10;
    }
    DrawText(font, "Korvane", 10, 100, 64);
    DrawText(font, "Squadrons: 2   Burst fire   Show cone", 330, 120, 16);
    DrawText(font, "0123456789 !?()[]{}<>/\\|@#$%^&*_+=~;:,.'\"", 330, 95, 14);
    DrawText(font, "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz", 10, 20, 14);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    return WritePng(path, 800, 300);
}

// A map's clouds seen through the game's camera: `distance` behind and
// above `focus`, looking down 45 degrees along heading `yaw`.
bool WriteMapView(const std::string& path, const char* map, const Vector& focus, float yaw, float distance,
                  float fov)
{
    Environment environment;
    environment.SetUpMap(map, 235);
    const float a = yaw * 3.14159f / 180.0f;
    const Vector dir(-std::sin(a) * 0.707106f, -0.707106f, -std::cos(a) * 0.707106f);
    const Vector eye(focus.x - dir.x * distance, focus.y - dir.y * distance, focus.z - dir.z * distance);
    for (int i = 0; i < 40; ++i)
        environment.Update(eye, dir);
    glViewport(0, 0, 800, 600);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, 4.0 / 3.0, 1.0, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(45.0f, 1, 0, 0);
    glRotatef(-yaw, 0, 1, 0);
    glTranslatef(-eye.x, -eye.y, -eye.z);
    environment.Draw(eye, yaw, dir, false);
    return WritePng(path, 800, 600);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: korvane_gallery <output directory> (run in the data directory)\n");
        return 1;
    }
    const std::string out = argv[1];
    KeepFreedHeapForFrames(); // as the game does: the heap keeps what the driver frees every frame
    InitVideo();
    InitRenderState();
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glDisable(GL_FOG);

    Catalogue c;
    const char* ships[4][2] = {{"battlefrigate", "Tigershark-class battle frigate"},
                               {"beamfrigateopen", "Manta-class fusion frigate"},
                               {"escortcarrier2", "Orca-class escort carrier"},
                               {"smallfighter", "Piranha-class strike fighter"}};
    for (auto& s : ships)
        c.ships.push_back(new Model(s[0], s[1]));
    for (const char* p : {"gunturret", "gunturret_base", "gunturret_guns", "beamturret"})
        c.parts.push_back(new Model(p, p));
    for (int i = 0; i < 4; ++i)
        c.lights[i] = LoadPngTexture("light" + std::to_string(i));

    bool ok = true;
    for (const Model* ship : c.ships)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int player = 0; player < 4; ++player)
            RenderView(c, ship, player, (player % 2) * 400, (1 - player / 2) * 300, 400, 300, 0.0f);
        ok &= WritePng(out + "/" + ship->fileName + ".png", 800, 600);
        SDL_GL_SwapBuffers();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < 4; ++i)
        RenderView(c, c.ships[i], 0, (i % 2) * 400, (1 - i / 2) * 300, 400, 300, 0.0f);
    ok &= WritePng(out + "/fleet.png", 800, 600);
    ok &= WriteFontSample(out + "/font.png");
    // Map views for judging the nebulae (not part of the docs).
    if (argc > 2 && std::string(argv[2]) == "--maps")
    {
        ok &= WriteMapView(out + "/intro_view.png", "intro", Vector(0, 0, 0), 0.0f, 212.0f, 60.0f);
        ok &= WriteMapView(out + "/menu_view.png", "intro", Vector(0, -75, -75), 0.0f, 106.0f, 120.0f);
        for (const char* map : {"map1", "map2", "map3", "map4"})
        {
            ok &= WriteMapView(out + "/" + map + "_start.png", map, Vector(0, 0, 700), 0.0f, 250.0f, 60.0f);
            ok &= WriteMapView(out + "/" + map + "_centre.png", map, Vector(0, 0, 150), 0.0f, 250.0f, 60.0f);
        }
    }
    // Close-ups for inspecting skins and normals (not part of the docs).
    if (argc > 2 && std::string(argv[2]) == "--large")
        for (const Model* ship : c.ships)
        {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            RenderView(c, ship, 0, 0, 0, 800, 600, 0.0f);
            ok &= WritePng(out + "/" + ship->fileName + "_large.png", 800, 600);
        }
    SDL_Quit();
    if (!ok)
        std::fprintf(stderr, "korvane_gallery: cannot write into %s\n", out.c_str());
    return ok ? 0 : 1;
}
