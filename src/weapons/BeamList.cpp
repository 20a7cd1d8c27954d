#include "weapons/BeamList.h"

#include "math/Random.h"
#include "weapons/AlphaTexture.h"

// Two crossed quads along -Z, tapering from width 1 at the emitter to 0.2 at
// the far end; t runs along the length so the texture can scroll.
static void CompileBeamShape(GLuint list)
{
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.1f, 0.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.1f, 0.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, 0.0f, 0.0f);

    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, -0.1f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.0f, 0.1f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.0f, 0.5f, 0.0f);
    glEnd();
    glEndList();
}

BeamList::BeamList(const std::string& bitmapPath) : lastId(1), list(0), texture(0)
{
    texture = LoadAlphaTexture(bitmapPath, kBeamTexture);
    list = glGenLists(1);
    CompileBeamShape(list);
}

BeamList::~BeamList()
{
    glDeleteLists(list, 1);
    glDeleteTextures(1, &texture);
}

uint32_t BeamList::AddBeam(const Vector& start, const Vector& vector, const Vector& colour, float width)
{
    ++lastId;
    // Id 0 means "no beam" to the turrets.
    if (lastId == 0)
    {
        lastId = 1;
    }
    Beam beam;
    beam.id = lastId;
    beam.start = start;
    beam.vector = vector;
    beam.colour = colour;
    beam.width = width;
    beam.length = float(Length(vector));
    beams.push_back(beam);
    return beam.id;
}

Beam* BeamList::Find(uint32_t id)
{
    for (Beam& beam : beams)
    {
        if (beam.id == id)
        {
            return &beam;
        }
    }
    return nullptr;
}

const Beam* BeamList::FindBeam(uint32_t id) const
{
    return const_cast<BeamList*>(this)->Find(id);
}

void BeamList::MoveBeam(uint32_t id, const Vector& start, const Vector& vector)
{
    Beam* beam = Find(id);
    if (beam == nullptr)
    {
        return;
    }
    beam->start = start;
    beam->vector = vector;
    beam->length = float(Length(vector));
}

void BeamList::RemoveBeam(uint32_t id)
{
    for (auto it = beams.begin(); it != beams.end(); ++it)
    {
        if (it->id == id)
        {
            beams.erase(it);
            return;
        }
    }
}

void BeamList::Draw(bool sensorView) const
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    if (sensorView)
    {
        glEnable(GL_LINE_SMOOTH);
        glLineWidth(1.5f);
    }
    else
    {
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBindTexture(GL_TEXTURE_2D, texture);
    }

    const Vector forward(0.0f, 0.0f, -1.0f);
    for (const Beam& beam : beams)
    {
        float rgba[4];
        JitterColour(beam.colour, rgba);
        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        Vector axis;
        float angle = 0.0f;
        RotationBetween(forward, beam.vector, axis, angle);
        glPushMatrix();
        glTranslatef(beam.start.x, beam.start.y, beam.start.z);
        glRotatef(angle, axis.x, axis.y, axis.z);
        if (sensorView)
        {
            glBegin(GL_LINES);
            glVertex3f(0.0f, 0.0f, 0.0f);
            glVertex3f(0.0f, 0.0f, -beam.length);
            glEnd();
        }
        else
        {
            const double thicknessY = 0.8 + 0.4 * RandomFraction();
            const double thicknessX = 0.8 + 0.4 * RandomFraction();
            glScalef(float(thicknessX * beam.width), float(thicknessY * beam.width), beam.length);
            const double offset = 0.1 * RandomFraction();
            glMatrixMode(GL_TEXTURE);
            glPushMatrix();
            glTranslatef(0.0f, float(offset), 0.0f);
            // The texture repeats once per unit of length; a beam of no length
            // (target at the emitter) is flattened to nothing anyway.
            glScalef(1.0f, beam.length > 0.0f ? 1.0f / beam.length : 1.0f, 1.0f);
            glMatrixMode(GL_MODELVIEW);
            glCallList(list);
            glMatrixMode(GL_TEXTURE);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
        }
        glPopMatrix();
    }

    if (sensorView)
    {
        glDisable(GL_LINE_SMOOTH);
    }
    else
    {
        glEnable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}
