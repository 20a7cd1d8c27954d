#include "GLFeedback.h"

#include <GL/gl.h>

void UseOneToOneProjection()
{
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400, 400, -300, 300, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::vector<FeedbackPrimitive> Feedback(const std::function<void()>& draw)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    UseOneToOneProjection();
    glDisable(GL_CULL_FACE);

    // GL_3D_COLOR_TEXTURE: x, y, z, four colour and four texture components.
    constexpr int kVertexFloats = 11;
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_CULL_FACE);

    std::vector<FeedbackPrimitive> primitives;
    auto readVertex = [&](GLint& i)
    {
        FeedbackVertex v;
        v.position = Vector(buffer[i] - 400.0f, buffer[i + 1] - 300.0f, (0.5f - buffer[i + 2]) * 2000.0f);
        const float q = buffer[i + 10] != 0.0f ? buffer[i + 10] : 1.0f;
        v.s = buffer[i + 7] / q;
        v.t = buffer[i + 8] / q;
        i += kVertexFloats;
        return v;
    };
    GLint i = 0;
    while (i < count)
    {
        const int token = int(buffer[i++]);
        FeedbackPrimitive primitive;
        primitive.kind = token == GL_LINE_RESET_TOKEN ? GL_LINE_TOKEN : token;
        int vertices = 0;
        if (token == GL_POLYGON_TOKEN)
        {
            vertices = int(buffer[i++]);
        }
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
        {
            vertices = 2;
        }
        else if (token == GL_POINT_TOKEN)
        {
            vertices = 1;
        }
        else
        {
            break; // pass-through or bitmap tokens are not used here
        }
        for (int k = 0; k < vertices; k++)
        {
            primitive.vertices.push_back(readVertex(i));
        }
        primitives.push_back(primitive);
    }
    return primitives;
}
