#ifndef KORVANE_APP_FRAMESWAP_H
#define KORVANE_APP_FRAMESWAP_H

// Showing a finished frame.
//
// Mesa's software rasterizer (llvmpipe, Mesa 22.3) can be left, after a
// framebuffer copy (glBlitFramebuffer), with an earlier rasterizer state
// bound than the one OpenGL reports: when smooth lines were drawn under one
// state (say culling on) and the state then changed (culling off) before more
// was drawn, the copy restores the state of the smooth lines. Draws that follow
// under the same reported state then use the stale one: with culling, every
// clockwise polygon (the 2D boxes, the text) is dropped. The classic SDL 1.2
// never copies; the maintained one copies its scaled picture to the screen at
// every swap, so a screen drawn after such a frame (the hand-over or the
// unloading screen after a watched computer turn) came out black.

// Binds the rasterizer state in force once more, drawing nothing: one point
// outside the view under another state and one under the state itself, so that
// what the driver has bound is what OpenGL reports. Changes no OpenGL state.
void SettleRasterState();

// SettleRasterState, then SDL_GL_SwapBuffers: every frame is shown this way.
void SwapFrame();

#endif
