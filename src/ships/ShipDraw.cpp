// Drawing of ships: class models with the owner's colour and the ship's
// stencil value, light-map glow, subobjects, turrets and navigation lights,
// the selection and target markers, the sensor envelope, ghosts of ships out
// of sensor contact, and the predicted paths of move and rotate orders.
//
// Only the models of a ship (hull, subobjects, turrets) write its id into the
// stencil buffer, so that a click finds the ship; everything else drawn here
// leaves the stencil buffer alone (ghosts write 0).

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "app/Startup.h"
#include "assets/Model.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ui/Glow.h"
#include "ui/OrderPath.h"
#include "world/Environment.h"
#include "world/ViewVolume.h"

namespace
{

const float kPathColour[4] = {0.3f, 1.0f, 0.3f, 1.0f};
const float kOverrunColour[4] = {0.5f, 0.0f, 0.0f, 1.0f};

// Sight distance of open space, used when a ship has no environment to look through.
constexpr float kOpenSpaceSight = 1010.0f;

void SetFrontMaterial(GLenum parameter, float r, float g, float b, float a)
{
    const GLfloat value[4] = {r, g, b, a};
    glMaterialfv(GL_FRONT, parameter, value);
}

void PathColour(bool dark)
{
    glColor4fv(dark ? kOverrunColour : kPathColour);
}

// Calls the model's display list, unless the model lies wholly outside the
// camera's view, where the list would draw nothing: then it only leaves the
// state as the list would (the last normal and texture coordinate current).
// A wire frame (lines) is left out only beyond the near or far plane.
void CallModelList(const Model* model, bool lines)
{
    const ViewVolume view = ViewVolume::Current();
    const bool outside = lines ? view.SphereOutsideDepthRange(model->centre, model->radius)
                               : view.SphereOutside(model->centre, model->radius);
    if (!outside)
    {
        glCallList(model->modelList);
        return;
    }
    glMatrixMode(GL_MODELVIEW);
    const LastCorner& last = model->lastCorner;
    if (last.hasTexCoord)
    {
        glTexCoord2f(last.texCoord.u, last.texCoord.v);
    }
    if (last.hasNormal)
    {
        glNormal3f(last.normal.x, last.normal.y, last.normal.z);
    }
}

void DrawStrip(const std::vector<PathVertex>& strip)
{
    glBegin(GL_LINE_STRIP);
    for (const PathVertex& vertex : strip)
    {
        PathColour(vertex.dark);
        glVertex3f(vertex.position.x, vertex.position.y, vertex.position.z);
    }
    glEnd();
}

} // namespace

void RotateByOrientation(const Orientation& orientation)
{
    glRotatef(orientation.z, 0.0f, 0.0f, 1.0f);
    glRotatef(orientation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(orientation.x, 1.0f, 0.0f, 0.0f);
}

void DrawModel(const Model* model, unsigned stencilValue, bool sensorView)
{
    if (model == nullptr)
    {
        return;
    }
    if (sensorView)
    {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glLineWidth(1.5f);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
    }
    else
    {
        glShadeModel(GL_SMOOTH);
        glEnable(GL_LIGHTING);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        SetFrontMaterial(GL_DIFFUSE, 1.0f, 1.0f, 1.0f, 1.0f);
        // The caller's current colour tints the lit hull: with lighting on,
        // only a material that tracks the current colour lets it show.
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, model->texture);
    }
    glStencilFunc(GL_ALWAYS, GLint(stencilValue), 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    CallModelList(model, sensorView);

    glShadeModel(GL_FLAT);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glStencilFunc(GL_ALWAYS, 0, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void DrawLightMapGlow(const Model* model, unsigned stencilValue)
{
    if (model == nullptr)
    {
        return;
    }
    const float glow = GlowStrength(stencilValue, gAnimationTime);
    glShadeModel(GL_SMOOTH);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    SetFrontMaterial(GL_DIFFUSE, 1.0f, 1.0f, 1.0f, glow);
    SetFrontMaterial(GL_EMISSION, 1.0f, 1.0f, 1.0f, glow);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, model->lightMapTexture);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    CallModelList(model, false);

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    SetFrontMaterial(GL_EMISSION, 0.0f, 0.0f, 0.0f, 0.0f);
    glPolygonOffset(0.0f, 0.0f);
    glDisable(GL_BLEND);
    glStencilFunc(GL_ALWAYS, 0, 255);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glShadeModel(GL_FLAT);
}

void Subobject::Draw(unsigned stencilValue, bool sensorView, bool lit) const
{
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    RotateByOrientation(rotation);
    DrawModel(mesh, stencilValue, sensorView);
    if (lit && !sensorView)
    {
        DrawLightMapGlow(mesh, stencilValue);
    }
    glPopMatrix();
}

// A navigation light inside the ship's translation: a glow square turned to
// face the camera, dark for the first half of each blink period, flickering.
static void DrawNavigationLight(const ShipLight& light, const Orientation& orientation, float cameraYaw)
{
    if (light.blinkTime < light.blinkPeriod * 0.5f)
    {
        return;
    }
    Vector offset;
    RotateByAngles(light.position, offset, orientation);
    glPushMatrix();
    glTranslatef(offset.x, offset.y, offset.z);
    glRotatef(cameraYaw, 0.0f, 1.0f, 0.0f);
    glRotatef(-45.0f, 1.0f, 0.0f, 0.0f);
    glDepthMask(GL_FALSE);
    SetFrontMaterial(GL_DIFFUSE, 1.0f, 1.0f, 1.0f, float(0.9 + 0.1 * RandomFraction()));
    glCallList(light.list);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glPopMatrix();
}

void Ship::Draw(bool sensorView)
{
    // The selection and its orders are the current player's own: someone
    // watching that player's turn sees the ships without them.
    const bool marked = game == nullptr || game->GetViewer() == game->GetCurrentPlayer();
    const bool shownSelected = selected && marked;
    // Markers drawn before the hull must not disturb the stencil buffer.
    glStencilFunc(GL_ALWAYS, 0, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glLineWidth(1.5f);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);

    if (shownSelected && sensorView)
    {
        glColor4f(0.9f, 0.9f, 0.9f, 1.0f);
        glEnable(GL_BLEND);
        DrawSensorEnvelope();
        glDisable(GL_BLEND);
    }

    glPushMatrix();
    RotateByOrientation(orientation);
    if (shownSelected && model != nullptr)
    {
        glStencilMask(0);
        glColor4f(0.3f, 1.0f, 0.3f, 1.0f);
        glCallList(model->boxList);
        glStencilMask(255);
    }
    if (targeted && marked && model != nullptr)
    {
        // A flat red box inside the hull.
        glStencilMask(0);
        glColor4f(1.0f, 0.3f, 0.3f, 1.0f);
        glPushMatrix();
        glScalef(0.9f, 0.2f, 0.9f);
        glCallList(model->boxList);
        glPopMatrix();
        glStencilMask(255);
    }

    glDisable(GL_BLEND);
    float colour[3] = {1.0f, 1.0f, 1.0f};
    if (game != nullptr)
    {
        game->GetPlayerColour(owner, colour);
    }
    glColor4f(colour[0], colour[1], colour[2], 1.0f);
    DrawModel(model, id, sensorView);
    if (lightsOn && !sensorView)
    {
        DrawLightMapGlow(model, id);
    }

    // Parts are drawn in a lighter shade of the owner's colour.
    for (float& c : colour)
    {
        c = std::min(c + 0.5f, 1.0f);
    }
    for (const Subobject* part : subobjects)
    {
        glColor4f(colour[0], colour[1], colour[2], 1.0f);
        part->Draw(id, sensorView, lightsOn);
    }
    for (BeamTurret* turret : beamTurrets)
    {
        glColor4f(colour[0], colour[1], colour[2], 1.0f);
        turret->Draw(id, sensorView, shownSelected, lightsOn);
    }
    for (GunTurret* turret : gunTurrets)
    {
        glColor4f(colour[0], colour[1], colour[2], 1.0f);
        turret->Draw(id, sensorView, shownSelected, lightsOn);
    }
    glPopMatrix();

    if (!lights.empty() && !sensorView && lightsOn && game != nullptr && game->GetViewer() != nullptr)
    {
        const float yaw = game->GetViewer()->GetHeading();
        for (const ShipLight* light : lights)
        {
            DrawNavigationLight(*light, orientation, yaw);
        }
    }
    glPopMatrix();

    if (shownSelected)
    {
        if (motionState == Moving || motionState == Aligning)
        {
            DrawOrderPath(destination, wantedOrientation, false);
        }
        else if (motionState == Rotating)
        {
            DrawOrderPath(destination, wantedOrientation, true);
        }
    }
}

void Ship::DrawAsSeen(bool sensorView)
{
    const int viewer = game->GetViewer()->GetIndex();
    const DetectionEntry& seen = detection[viewer];
    if (seen.state == 2)
    {
        Draw(sensorView);
    }
    else if (seen.state == 1)
    {
        // The ghost: a wire frame where the ship was last seen, never pickable.
        float colour[3];
        game->GetPlayerColour(owner, colour);
        const float scale = sensorView ? 0.5f : 1.0f;
        glPushMatrix();
        glTranslatef(seen.lastPosition.x, seen.lastPosition.y, seen.lastPosition.z);
        RotateByOrientation(seen.lastOrientation);
        glColor4f(colour[0] * scale, colour[1] * scale, colour[2] * scale, 1.0f);
        DrawModel(model, 0, true);
        glPopMatrix();
    }
}

void Ship::BuildSensorEnvelope()
{
    const Environment* environment = game != nullptr ? game->GetEnvironment() : nullptr;
    envelopeOrigin = position;
    // Regions are only ever added at the end of the list and never change, so
    // the first ones are exactly the nebula of this moment.
    envelopeRegions = environment != nullptr ? environment->regions.size() : 0;
    envelopeStale = true;
}

void Ship::DrawSensorEnvelope()
{
    if (envelopeStale)
    {
        CompileSensorEnvelope();
        envelopeStale = false;
    }
    glCallList(sensorList);
}

void Ship::CompileSensorEnvelope()
{
    const Environment* environment = game != nullptr ? game->GetEnvironment() : nullptr;
    const float range = signature + 1.0f;
    auto sight = [&](const Vector& direction)
    {
        return environment != nullptr
                   ? environment->SightDistance(envelopeOrigin, direction, range, envelopeRegions)
                   : kOpenSpaceSight;
    };

    const float top = sight(Vector(0.0f, 1.0f, 0.0f));
    const float bottom = -sight(Vector(0.0f, -1.0f, 0.0f));
    float distance[kDirectionRows][kDirectionsPerRow] = {};

    glNewList(sensorList, GL_COMPILE);
    for (int i = 0; i < kDirectionRows; ++i)
    {
        glBegin(GL_LINE_STRIP);
        glVertex3f(0.0f, bottom, 0.0f);
        for (int j = 1; j <= 7; ++j)
        {
            const Vector& direction = gDirectionTable[i * kDirectionsPerRow + j];
            distance[i][j] = sight(direction);
            const Vector point = direction * distance[i][j];
            glVertex3f(point.x, point.y, point.z);
        }
        glVertex3f(0.0f, top, 0.0f);
        glEnd();
    }
    for (int j = 1; j <= 7; ++j)
    {
        glBegin(GL_LINE_LOOP);
        for (int i = 0; i < kDirectionRows; ++i)
        {
            const Vector point = gDirectionTable[i * kDirectionsPerRow + j] * distance[i][j];
            glVertex3f(point.x, point.y, point.z);
        }
        glEnd();
    }
    glEndList();
}

void Ship::DrawOrderPath(const Vector& to, const Orientation& wanted, bool rotateOnly)
{
    PathShip state;
    state.position = position;
    state.orientation = orientation;
    state.turnRate = turnRate;
    state.speed = speed;
    state.moveTimeLeft = moveTimeLeft;
    const OrderPath path = PredictOrderPath(state, to, wanted, rotateOnly);

    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glColor4fv(kPathColour);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(1.5f);
    DrawStrip(path.nose);
    if (!path.flight.empty())
    {
        DrawStrip(path.flight);
    }
    if (path.unreachable)
    {
        glColor4fv(kOverrunColour);
        glBegin(GL_LINES);
        glVertex3f(path.from.x, path.from.y, path.from.z);
        glVertex3f(path.to.x, path.to.y, path.to.z);
        glEnd();
    }
    glEnable(GL_DEPTH_TEST);
}

void Ship::DrawOrderPreview(float dx, float dy, float dz, bool rotateOnly)
{
    DrawOrderPath(position + Vector(dx, dy, dz), OrderOrientation(dx, dy, dz), rotateOnly);
}

void Player::DrawFleet(bool sensorView, bool asOther)
{
    for (Ship* ship : fleet)
    {
        if (!ship->alive)
        {
            continue;
        }
        if (asOther)
        {
            ship->DrawAsSeen(sensorView);
        }
        else
        {
            ship->Draw(sensorView);
        }
    }
}

// Lines from every visible ship of the fleet straight down or up to the plane y = h.
static void DrawDropLines(const std::vector<Ship*>& fleet, float h)
{
    glBegin(GL_LINES);
    for (Ship* ship : fleet)
    {
        if (ship->IsVisibleToCurrentPlayer())
        {
            glVertex3f(ship->position.x, ship->position.y, ship->position.z);
            glVertex3f(ship->position.x, h, ship->position.z);
        }
    }
    glEnd();
}

void Player::DrawSelectionAids(float planeHeight, const Vector& cursorPoint)
{
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glColor4f(0.5f, 1.0f, 0.5f, 1.0f);
    DrawDropLines(fleet, planeHeight);

    // Again through everything, at half strength. Blending stays on: the
    // order grid's pass, which calls this for every player, draws the later
    // drop lines and the order previews smoothed and ends blending itself.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.5f, 1.0f, 0.5f, 0.5f);
    DrawDropLines(fleet, planeHeight);
    glEnable(GL_DEPTH_TEST);

    if (game->GetCurrentPlayer() != this || selection.empty())
    {
        return;
    }
    for (Ship* ship : selection)
    {
        if (game->GetOrderType() == 2)
        {
            const Vector d = cursorPoint - ship->position;
            ship->DrawOrderPreview(d.x, d.y, d.z, true);
        }
        else
        {
            const Vector d = cursorPoint - selectionCentre;
            ship->DrawOrderPreview(d.x, d.y, d.z, false);
        }
    }
}
