#include "weapons/BulletList.h"

#include "audio/GameSounds.h"

#include "ships/Ship.h"
#include "weapons/AlphaTexture.h"

// Bullets hit with this strength.
static const float kBulletDamage = 1.0f;
// The hit kind the ship is told for a bullet.
static const int kBulletHitKind = 1;

BulletFate AdvanceBullet(Bullet& bullet, const Vector* targetPosition)
{
    bullet.position += bullet.velocity;
    if (targetPosition != nullptr)
    {
        const Vector d = *targetPosition - bullet.position;
        if (Dot(d, d) < double(kBulletHitDistance * kBulletHitDistance))
        {
            return BulletFate::Hit;
        }
    }
    bullet.age += 1;
    return bullet.age > kBulletLifeTicks ? BulletFate::Expired : BulletFate::Flying;
}

// Two crossed quads along -Z, one unit long and wide; t runs along the length.
static void CompileBulletShape(GLuint list)
{
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, 0.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, 0.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, 0.0f, 0.0f);

    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, -0.5f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.0f, 0.5f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.0f, 0.5f, 0.0f);
    glEnd();
    glEndList();
}

BulletList::BulletList(const std::string& bitmapPath) : list(0), texture(0)
{
    texture = LoadAlphaTexture(bitmapPath, kBulletTexture);
    list = glGenLists(1);
    CompileBulletShape(list);
}

BulletList::~BulletList()
{
    for (Bullet* bullet : bullets)
    {
        delete bullet;
    }
    bullets.clear();
    for (Bullet* bullet : spare)
    {
        delete bullet;
    }
    spare.clear();
    glDeleteLists(list, 1);
    glDeleteTextures(1, &texture);
}

void BulletList::AddBullet(const Vector& position, const Vector& velocity, const Vector& colour, float size,
                           Ship* target)
{
    Bullet* bullet = nullptr;
    if (spare.empty())
    {
        bullet = new Bullet;
    }
    else
    {
        bullet = spare.back();
        spare.pop_back();
    }
    bullet->position = position;
    bullet->velocity = velocity;
    AnglesFromDirection(velocity, bullet->orientation);
    bullet->colour = colour;
    bullet->size = size;
    bullet->age = 0;
    bullet->target = target;
    bullets.push_back(bullet);
}

void BulletList::Update()
{
    size_t i = 0;
    while (i < bullets.size())
    {
        Bullet* bullet = bullets[i];
        Vector targetPosition;
        if (bullet->target != nullptr)
        {
            targetPosition = bullet->target->GetPosition();
        }
        const BulletFate fate = AdvanceBullet(*bullet, bullet->target != nullptr ? &targetPosition : nullptr);
        if (fate == BulletFate::Flying)
        {
            ++i;
            continue;
        }
        // Out of the list before the hit: a hit that destroys the target makes
        // the game walk this list (ForgetShip).
        bullets.erase(bullets.begin() + long(i));
        if (fate == BulletFate::Hit)
        {
            PostShipSound(Sound::BulletHit, *bullet->target);
            bullet->target->Damage(kBulletDamage, kBulletHitKind, bullet->velocity);
        }
        spare.push_back(bullet);
    }
}

void BulletList::ForgetShip(const Ship* ship)
{
    for (Bullet* bullet : bullets)
    {
        if (bullet->target == ship)
        {
            bullet->target = nullptr;
        }
    }
}

void BulletList::Draw(bool sensorView) const
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    if (sensorView)
    {
        glEnable(GL_POINT_SMOOTH);
        glPointSize(3.0f);
        glDisable(GL_FOG);
        glBegin(GL_POINTS);
    }
    else
    {
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnable(GL_FOG);
    }

    const Vector forward(0.0f, 0.0f, -1.0f);
    for (const Bullet* bullet : bullets)
    {
        float rgba[4];
        JitterColour(bullet->colour, rgba);
        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
        if (sensorView)
        {
            glVertex3f(bullet->position.x, bullet->position.y, bullet->position.z);
            continue;
        }
        Vector axis;
        float angle = 0.0f;
        RotationBetween(forward, bullet->velocity, axis, angle);
        glPushMatrix();
        glTranslatef(bullet->position.x, bullet->position.y, bullet->position.z);
        glRotatef(angle, axis.x, axis.y, axis.z);
        glScalef(bullet->size, bullet->size, bullet->size);
        glCallList(list);
        glPopMatrix();
    }

    if (sensorView)
    {
        glEnd();
        glDisable(GL_POINT_SMOOTH);
    }
    else
    {
        glEnable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}
