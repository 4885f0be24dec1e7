// The volume of pseudo-random values the background scene draws all its
// shapes and colours from: generated from a fixed seed at start-up, uploaded
// once as a 3D texture.
#pragma once

#include "platform/platform.h"

#include <stdint.h>

enum {
    noiseVolumeSize = 16,
    noiseVolumeValues = noiseVolumeSize * noiseVolumeSize * noiseVolumeSize * 4
};

// Texel (x, y, z) channel c (R G B A) at ((z * 16 + y) * 16 + x) * 4 + c, the
// layout glTexImage3D takes; each value is (a - 32768) / 65536 for some a in
// 0..65534.
extern float noiseVolume[noiseVolumeValues];
// The generator's state, 0 until GenerateNoiseVolume has run.
extern uint32_t noiseSeed;
// 0 until UploadNoiseVolume has run.
extern GLuint noiseVolumeTexture;

// Fills noiseVolume from noiseSeed. Uses no OpenGL.
void GenerateNoiseVolume(void);
// Creates noiseVolumeTexture and leaves it bound on the enabled 3D target.
// Needs a current context and the entry-point table filled.
void UploadNoiseVolume(void);
