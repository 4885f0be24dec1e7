// Graphics set-up: every GL object the frame needs, built once at start-up.
#pragma once

#include "platform/platform.h"

// Needs a current OpenGL context and the presentation window (owner of the
// message boxes). A shader that does not compile is shown with its log and
// ends the set-up early; a missing OpenGL 2.0 call is shown by name, ends the
// set-up at once and sets glEntryPointMissing.
void InitGraphics(void);

// Binds the name as a 2D texture with linear filtering, clamped at the edges.
void PrepareTexture2D(GLuint texture);

extern GLuint backgroundProgram;
extern GLuint copyProgram;
// 512 x 256 RGBA8: the background pass is copied here before it is enlarged.
extern GLuint targetTexture;

// True when the driver lacks one of the OpenGL 2.0 calls the presentation
// makes; nothing was built then, and start-up gives up.
extern bool glEntryPointMissing;

// The information log of the shader that failed to compile, zero-terminated.
extern char shaderLog[4096];

// The texts InitGraphics compiles: the program's own (shaders/ShaderTexts.h)
// unless a test puts others in their place.
extern const char* vMainObjectText;
extern const char* fMainBackgroundText;
extern const char* fOffscreeCopyText;
