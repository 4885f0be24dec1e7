#include "setup/GlEntryPoints.h"

#include <stdint.h>

const char* const glEntryPointNames[glEntryPointCount] = {
    "glCreateShader",
    "glCreateProgram",
    "glShaderSource",
    "glCompileShader",
    "glAttachShader",
    "glLinkProgram",
    "glUseProgram",
    "glTexImage3D",
    "glGetShaderiv",
    "glGetShaderInfoLog",
};

PROC glEntryPoints[glEntryPointCount];

void FetchGlEntryPoints(void)
{
    for (int slot = 0; slot < glEntryPointCount; slot++)
        glEntryPoints[slot] = wglGetProcAddress(glEntryPointNames[slot]);
}

bool IsGlEntryPoint(PROC entry)
{
    intptr_t value = (intptr_t)entry;
    return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}
