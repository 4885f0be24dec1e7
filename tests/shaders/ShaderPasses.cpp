#include "tests/shaders/ShaderPasses.h"

#include "setup/InitGraphics.h"

void DrawBackgroundAt(float presentationTime)
{
    LoadFrameParams(presentationTime, 0.0f);
    DrawBackgroundPass();
    glFinish();
}

void DrawGrainAt(float presentationTime, int windowWidth, int windowHeight)
{
    LoadFrameParams(presentationTime, 0.0f);
    glViewport(0, 0, windowWidth, windowHeight);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    DrawGrainPass();
    glFinish();
}
