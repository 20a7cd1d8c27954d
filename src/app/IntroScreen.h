#ifndef KORVANE_APP_INTROSCREEN_H
#define KORVANE_APP_INTROSCREEN_H

#include <GL/gl.h>

#include "ui/Font.h"

// The intro: the title over a live nebula with explosions at its centre. It
// waits for any key or mouse button; then the title vanishes, the view
// narrows onto the explosions and 80 ticks after the last press the intro
// ends.

// Ticks from the last press to the end of the intro.
constexpr int kIntroLeaveTicks = 80;

// The intro's animation, advanced by presses and ticks.
struct IntroAnimation
{
    float zoom = 1.0f;    // field-of-view factor of the 60-degree view
    int tickCount = 0;    // ticks since the start or since the last press
    bool leaving = false; // a key or button has been pressed

    // A key or mouse button press: start (or restart) the leave count.
    void Press();

    // One tick. Returns true when two new explosions are due (every other
    // tick until the first press); while leaving, the view narrows instead,
    // halving the zoom down to 0.01.
    bool Tick();

    // The intro is over.
    bool Finished() const { return leaving && tickCount >= kIntroLeaveTicks; }
};

// The credit line under the title.
extern const char* const kIntroCredit;

class Environment;

// The intro's own world and animation: the nebula of the map "intro" with its
// explosions at the centre, the background picture and the title's font.
class IntroScreen
{
  public:
    // Sets up the environment (seed 3523) with the first two explosions and
    // loads the font and "Textures/intro_background.png"; a missing picture
    // ends the program.
    IntroScreen();
    // Destroys the environment (which reports its removal); the font and the
    // background texture are kept.
    ~IntroScreen();

    IntroScreen(const IntroScreen&) = delete;
    IntroScreen& operator=(const IntroScreen&) = delete;

    // One frame into the back buffer: the background and the title until the
    // first press, black after it; the nebula through the narrowing view.
    void Draw();

    // A key or mouse button press.
    void Press() { animation.Press(); }

    // One tick: the environment moves on, then the animation; new explosions
    // while nobody has pressed yet.
    void Tick();

    Environment* environment;
    Font font;
    GLuint background; // the picture fills its top-left 800 by 600
    IntroAnimation animation;
};

// Shows the intro until it has been dismissed and has faded out.
void ShowIntro();

#endif
