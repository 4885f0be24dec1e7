#include "frame/DrawFrame.h"

#include "frame/Scroller.h"
#include "setup/FontAtlas.h"
#include "setup/GlEntryPoints.h"
#include "setup/InitGraphics.h"
#include "setup/NoiseVolume.h"

// Windows' GL headers stop at OpenGL 1.1.
#ifndef GL_TEXTURE_3D
#define GL_TEXTURE_3D 0x806F
#endif

GLint savedViewport[4];

// Only elements 0 and 1 are ever written; the shaders read nothing else.
static GLfloat frameParams[16];

void LoadFrameParams(float presentationTime, float passSelector)
{
    frameParams[0] = presentationTime;
    frameParams[1] = passSelector;
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(frameParams);
}

void DrawBackgroundPass(void)
{
    glBindTexture(GL_TEXTURE_3D, noiseVolumeTexture);
    // On the first frame this is the viewport the context took from the
    // maximised window; afterwards the one CopyBackgroundToTarget restored.
    glGetIntegerv(GL_VIEWPORT, savedViewport);
    // The scene is always marched at 512 x 256, whatever the window: it is
    // by far the costliest pass, and the grain pass enlarges it for free.
    glViewport(0, 0, 512, 256);
    CallUseProgram(backgroundProgram);
    glRectf(-1, -1, 1, 1);
}

void CopyBackgroundToTarget(void)
{
    glViewport(0, 0, savedViewport[2], savedViewport[3]);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    // The back buffer's corner is the render target: copying it out saves a
    // framebuffer object, which OpenGL 2.0 does not have.
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 512, 256);
}

void DrawGrainPass(void)
{
    CallUseProgram(copyProgram);
    // Covers the whole window, the background's corner included.
    glRectf(-1, -1, 1, 1);
    glDisable(GL_TEXTURE_2D);
}

void DrawScrollerPass(float presentationTime)
{
    LoadFrameParams(presentationTime, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, fontAtlasTexture);
    // copyProgram is still current from the grain pass.
    glBegin(GL_QUADS);
    EmitScrollerQuads(presentationTime);
    glEnd();
    glDisable(GL_BLEND);
}

void DrawFrame(float presentationTime, HDC frameDeviceContext)
{
    // The grain pass covers the whole window, so this green shows only where
    // nothing could be drawn.
    glClearColor(0.0f, 0.7f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    LoadFrameParams(presentationTime, 0.0f);
    DrawBackgroundPass();
    CopyBackgroundToTarget();
    DrawGrainPass();
    DrawScrollerPass(presentationTime);

    wglSwapLayerBuffers(frameDeviceContext, WGL_SWAP_MAIN_PLANE);
}
