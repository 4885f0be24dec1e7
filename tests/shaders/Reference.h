// A CPU model of what the GPU programs compute, written from their formulas
// rather than from the shader texts, so that a pixel test compares two
// independent derivations of the same picture.
//
// Everything is single precision, as on the GPU. Texture reads follow the
// OpenGL rules for linear filtering (texel centres at half-integers, weights
// from the fractional part, repeat or clamp-to-edge at the borders), and
// written pixels are clamped to [0, 1] and rounded to 8 bits like the back
// buffer does.
#pragma once

#include <cstdint>

namespace reference
{

struct Vec3
{
    float x, y, z;
};

// The 16 x 16 x 16 RGBA noise volume, x fastest, four floats per texel.
constexpr int noiseVolumeSize = 16;
constexpr int noiseVolumeFloats = noiseVolumeSize * noiseVolumeSize * noiseVolumeSize * 4;
extern float noiseVolume[noiseVolumeFloats];

// Fills noiseVolume from the presentation's linear congruential generator,
// seed 0. Call once before anything below that reads the volume.
void GenerateNoiseVolume();

// texture3D of the noise volume (linear, repeat on all three axes): red,
// green and blue of the lookup.
Vec3 SampleNoiseVolume(Vec3 coordinate);

// The routines of the background program.
Vec3 Noise(Vec3 pos, int iterations, float reduction);
float Swoosher(float presentationTime);
Vec3 Color(Vec3 pos, Vec3 noiseStuff, Vec3 colMult);

struct MarchResult
{
    Vec3 rayPos;        // where the scene ray stopped
    Vec3 totalColor;    // before the sky
    float totalDensity;
    int steps;
};

// The cameras and the march for one fragment; (x, y) are the varying z's
// first two components, -1 to 1 across the viewport.
MarchResult March(float x, float y, float presentationTime);

// gl_FragColor's red, green and blue of the background program, unclamped.
Vec3 BackgroundColor(float x, float y, float presentationTime);

// The background pass over a width x height viewport, as RGBA8 rows bottom-up
// (alpha 255), the way glReadPixels returns them. Uses both cores.
void RenderBackground(float presentationTime, int width, int height, uint8_t* rgba);

// The grain hash of the copy program, in [0, 1).
float GrainHash(float x, float y, float presentationTime);

// texture2D of an RGBA8 texture (rows bottom-up) with linear filtering and
// clamp-to-edge, all four components in [0, 1].
void SampleTexture2D(const uint8_t* texture, int textureWidth, int textureHeight,
                     float s, float t, float rgba[4]);

// The copy program's grain branch for the fragment at (x, y) of the window,
// unclamped: the jittered read plus 0.02 h on every component. With a given
// hash instead of the computed one when hash >= 0.
void Grain(const uint8_t* texture, int textureWidth, int textureHeight,
           float x, float y, float presentationTime, float rgba[4], float hash = -1.0f);

// Whether an 8-bit pixel (red, green, blue) of the grain pass at (x, y) can
// have come from the texture, whatever the hash: each channel at least the
// smallest read the jitter reaches minus one step, at most the largest plus
// 0.02 plus one step. The hash's last bits depend on the rasteriser, so the
// grain itself cannot be matched; these bounds can.
bool WithinGrainBounds(const uint8_t* texture, int textureWidth, int textureHeight,
                       float x, float y, float presentationTime, const uint8_t* pixel);

// Window-pixel centre to the varying's coordinate: pixel i of n covers
// ((i + 0.5) / n) * 2 - 1.
float PixelCentre(int i, int n);

// Clamp to [0, 1] and round to 8 bits, as a fixed-point colour buffer stores it.
uint8_t Quantise(float value);

}
