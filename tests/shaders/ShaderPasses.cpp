#include "tests/shaders/ShaderPasses.h"

#include "setup/GlEntryPoints.h"
#include "setup/InitGraphics.h"
#include "setup/NoiseVolume.h"

#ifndef GL_TEXTURE_3D
#define GL_TEXTURE_3D 0x806F
#endif

void LoadFrameParams(float presentationTime, float selector)
{
    GLfloat frameParams[16] = {presentationTime, selector};
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(frameParams);
}

void DrawBackgroundPass(float presentationTime)
{
    LoadFrameParams(presentationTime, 0.0f);
    glBindTexture(GL_TEXTURE_3D, noiseVolumeTexture);
    glViewport(0, 0, 512, 256);
    CallUseProgram(backgroundProgram);
    glRectf(-1, -1, 1, 1);
    glFinish();
}

void DrawGrainPass(float presentationTime, int windowWidth, int windowHeight)
{
    LoadFrameParams(presentationTime, 0.0f);
    glViewport(0, 0, windowWidth, windowHeight);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    CallUseProgram(copyProgram);
    glRectf(-1, -1, 1, 1);
    glDisable(GL_TEXTURE_2D);
    glFinish();
}
