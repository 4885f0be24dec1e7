#include "setup/NoiseVolume.h"

#include "setup/GlEntryPoints.h"

#ifndef GL_TEXTURE_3D
#define GL_TEXTURE_3D 0x806F
#endif
#ifndef GL_TEXTURE_WRAP_R
#define GL_TEXTURE_WRAP_R 0x8072
#endif
#ifndef GL_RGBA32F
#define GL_RGBA32F 0x8814
#endif

float noiseVolume[noiseVolumeValues];
uint32_t noiseSeed;
GLuint noiseVolumeTexture;

void GenerateNoiseVolume(void)
{
    uint32_t seed = noiseSeed;
    for (int i = 0; i < noiseVolumeValues; i++) {
        seed = seed * 214013u + 2531011u;
        // Modulo 65535, not 65536: the values stop one step short of +0.5,
        // so the volume is centred on 0 (from -0.5 to 32766/65536).
        uint32_t a = (seed >> 8) % 65535u;
        // Both steps are exact in single precision.
        float scaled = (float)a * (1.0f / 65536.0f);
        noiseVolume[i] = scaled - 0.5f;
    }
    noiseSeed = seed;
}

void UploadNoiseVolume(void)
{
    glEnable(GL_TEXTURE_3D);
    glGenTextures(1, &noiseVolumeTexture);
    glBindTexture(GL_TEXTURE_3D, noiseVolumeTexture);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The scene samples far outside 0..1: the volume tiles space, and the
    // filter blends texel 15 into texel 0 like any other neighbours.
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    // Full-precision signed floats: an 8-bit format would clamp the negative
    // half away.
    CallTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA32F, noiseVolumeSize, noiseVolumeSize,
                   noiseVolumeSize, 0, GL_RGBA, GL_FLOAT, noiseVolume);
}
