#include "app/IntroScreen.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "app/Camera.h"
#include "app/FatalError.h"
#include "app/FrameSwap.h"
#include "app/Startup.h"
#include "assets/Texture.h"
#include "input/EventBatch.h"
#include "ui/Font.h"
#include "ui/Overlay.h"
#include "world/Environment.h"

const char* const kIntroCredit = "A hot-seat fleet battle for two to four players";

GLuint LoadIntroBackground(const std::string& path)
{
    SDL_Surface* surface = LoadImageSurface(path);
    if (surface == nullptr)
    {
        FatalError("Texture file intro_background.png not found");
    }
    return UploadSurfaceTexture(surface, kBackgroundTexture, "Background");
}

namespace
{

const Vector kCamera(0.0f, 150.0f, 150.0f);
const Vector kView(0.0f, -0.707106f, -0.707106f);
const Vector kOrigin(0.0f, 0.0f, 0.0f);
const Vector kYellow(1.0f, 1.0f, 0.0f);
const Vector kPale(1.0f, 0.9f, 0.8f);
const float kTitleColour[4] = {0.5f, 0.0f, 1.0f, 1.0f};

// The picture fills the top-left 800 by 600 of a 1024 by 1024 texture.
constexpr float kPictureRight = 0.78125f;
constexpr float kPictureBottom = 0.5859375f;

void DrawBackground(GLuint texture)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glTexCoord2f(0.0f, kPictureBottom);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(kPictureRight, kPictureBottom);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(kPictureRight, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void SetIntroCamera(float zoom)
{
    PlaceCamera(60.0 * zoom, 14143.0, 0.0f, Vector(0.0f, 150.0f, 150.0f));
}

void AddBurst(Environment& environment, int count, float scale)
{
    environment.AddExplosion(count, scale, &kOrigin, &kYellow, false);
    environment.AddExplosion(count, scale, &kOrigin, &kPale, false);
}

} // namespace

void IntroAnimation::Press()
{
    leaving = true;
    tickCount = 0;
}

bool IntroAnimation::Tick()
{
    tickCount++;
    if (leaving)
    {
        zoom *= 0.5f;
        if (zoom < 0.01f)
        {
            zoom = 0.01f;
        }
        return false;
    }
    return tickCount % 2 == 0;
}

IntroScreen::IntroScreen() : environment(new Environment()), background(0)
{
    LoadFont(font);
    environment->SetUpMap("intro", 3523);
    AddBurst(*environment, 1, 0.05f);
    background = LoadIntroBackground();
}

IntroScreen::~IntroScreen()
{
    delete environment;
}

void IntroScreen::Draw()
{
    if (animation.leaving)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    else
    {
        DrawBackground(background);
    }
    SetIntroCamera(animation.zoom);
    environment->Draw(kCamera, 0.0f, kView, false);
    if (!animation.leaving)
    {
        Begin2D();
        DrawText(font, "Korvane", 200, 500, 64, kTitleColour);
        DrawText(font, kIntroCredit, 400 - TextWidth(font, kIntroCredit, 14) / 2, 0, 14, kTitleColour);
    }
}

void IntroScreen::Tick()
{
    environment->Update(kCamera, kView);
    if (animation.Tick())
    {
        AddBurst(*environment, 2, 0.07f);
    }
}

void ShowIntro()
{
    IntroScreen intro;
    glEnable(GL_DEPTH_TEST);
    SDL_TimerID timer = SDL_AddTimer(kTickInterval, TimerTick, nullptr);
    while (!intro.animation.Finished())
    {
        intro.Draw();
        SwapFrame();

        for (const SDL_Event& event : EventBatch())
        {
            if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN)
            {
                intro.Press();
            }
            else if (IsTickEvent(event))
            {
                intro.Tick();
            }
        }
    }
    SDL_RemoveTimer(timer);
}
