// Graphics set-up: every GL object the frame needs, built once at start-up.
#pragma once

#include "platform/platform.h"

// Needs a current OpenGL context and the presentation window (owner of the
// shader-error message box).
void InitGraphics(void);

// Binds the name as a 2D texture with linear filtering, clamped at the edges.
void PrepareTexture2D(GLuint texture);

extern GLuint backgroundProgram;
extern GLuint copyProgram;
// 512 x 256 RGBA8: the background pass is copied here before it is enlarged.
extern GLuint targetTexture;
