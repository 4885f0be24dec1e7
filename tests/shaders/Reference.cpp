#include "tests/shaders/Reference.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace reference
{

float noiseVolume[noiseVolumeFloats];

namespace
{

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
Vec3 operator*(float k, Vec3 a) { return a * k; }
Vec3 Splat(float k) { return {k, k, k}; }

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) { return a * (1.0f / std::sqrt(Dot(a, a))); }
Vec3 Abs(Vec3 a) { return {std::fabs(a.x), std::fabs(a.y), std::fabs(a.z)}; }
Vec3 Floor(Vec3 a) { return {std::floor(a.x), std::floor(a.y), std::floor(a.z)}; }

float Clamp(float x, float low, float high) { return std::min(std::max(x, low), high); }
float Fract(float x) { return x - std::floor(x); }

float Smoothstep(float edge0, float edge1, float x)
{
    float k = Clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return k * k * (3.0f - 2.0f * k);
}

Vec3 Mix(Vec3 a, Vec3 b, float k) { return a * (1.0f - k) + b * k; }

// Turns (a, b) by angle: both new values from the old pair.
void Rotate(float& a, float& b, float angle)
{
    float c = std::cos(angle);
    float s = std::sin(angle);
    float newA = c * a - s * b;
    float newB = s * a + c * b;
    a = newA;
    b = newB;
}

// One axis of a linear lookup with repeat: the two texel indices and the
// weight of the second. The coordinate is wrapped to [0, 1) first so that
// the scaled value keeps its fractional bits for coordinates far from 0.
void RepeatAxis(float coordinate, int& i0, int& i1, float& weight)
{
    float u = Fract(coordinate) * noiseVolumeSize - 0.5f;
    float base = std::floor(u);
    weight = u - base;
    i0 = (static_cast<int>(base) + noiseVolumeSize) % noiseVolumeSize;
    i1 = (i0 + 1) % noiseVolumeSize;
}

void ClampAxis(float coordinate, int size, int& i0, int& i1, float& weight)
{
    float u = coordinate * size - 0.5f;
    float base = std::floor(u);
    weight = u - base;
    i0 = std::min(std::max(static_cast<int>(base), 0), size - 1);
    i1 = std::min(std::max(static_cast<int>(base) + 1, 0), size - 1);
}

const float* NoiseTexel(int x, int y, int z)
{
    return noiseVolume + ((z * noiseVolumeSize + y) * noiseVolumeSize + x) * 4;
}

}

void GenerateNoiseVolume()
{
    uint32_t seed = 0;
    for (int i = 0; i < noiseVolumeFloats; i++) {
        seed = seed * 214013u + 2531011u;
        uint32_t a = (seed >> 8) % 65535u;
        noiseVolume[i] = static_cast<float>(static_cast<int>(a) - 32768) / 65536.0f;
    }
}

Vec3 SampleNoiseVolume(Vec3 coordinate)
{
    int x0, x1, y0, y1, z0, z1;
    float wx, wy, wz;
    RepeatAxis(coordinate.x, x0, x1, wx);
    RepeatAxis(coordinate.y, y0, y1, wy);
    RepeatAxis(coordinate.z, z0, z1, wz);
    float result[3];
    for (int c = 0; c < 3; c++) {
        float c00 = NoiseTexel(x0, y0, z0)[c] * (1.0f - wx) + NoiseTexel(x1, y0, z0)[c] * wx;
        float c10 = NoiseTexel(x0, y1, z0)[c] * (1.0f - wx) + NoiseTexel(x1, y1, z0)[c] * wx;
        float c01 = NoiseTexel(x0, y0, z1)[c] * (1.0f - wx) + NoiseTexel(x1, y0, z1)[c] * wx;
        float c11 = NoiseTexel(x0, y1, z1)[c] * (1.0f - wx) + NoiseTexel(x1, y1, z1)[c] * wx;
        float c0 = c00 * (1.0f - wy) + c10 * wy;
        float c1 = c01 * (1.0f - wy) + c11 * wy;
        result[c] = c0 * (1.0f - wz) + c1 * wz;
    }
    return {result[0], result[1], result[2]};
}

Vec3 Noise(Vec3 pos, int iterations, float reduction)
{
    float n = 1.0f;
    pos = 2.0f * pos;
    Vec3 result = Splat(0.0f);
    while (iterations > 0) {
        result = result + SampleNoiseVolume(pos) * n;
        n = n * reduction;
        pos = pos * 1.93f;
        iterations--;
    }
    return result;
}

float Swoosher(float presentationTime)
{
    float sw1 = std::floor(presentationTime);
    float sw2 = presentationTime - sw1;
    return sw1 + std::pow(sw2, 0.6f);
}

Vec3 Color(Vec3 pos, Vec3 noiseStuff, Vec3 colMult)
{
    float dist = Length(pos);
    float m = Smoothstep(0.3f, 1.2f, dist);
    float brightness = Smoothstep(-1.2f, 0.0f, -m);
    float stuffi = noiseStuff.y * noiseStuff.z;
    colMult = colMult - stuffi * Vec3{8.1f, 18.5f, 13.2f};
    return std::fabs(stuffi) * Vec3{0.7f, 0.4f, 0.2f}
           + Mix(Splat(1.0f) - colMult, colMult, m) * brightness
           + Splat(0.2f * (1.0f - brightness));
}

MarchResult March(float x, float y, float presentationTime)
{
    const float T = presentationTime;
    const float sceneSize = 20.0f;

    Vec3 rayDir = Normalize(Vec3{x, y, 0.99f} * Vec3{1.0f, 0.6f, 1.0f});
    Vec3 fRayDir = rayDir;

    float s = Swoosher(T);
    Vec3 camPos = {1.5f * std::sin(s * 0.7f), -0.5f + std::cos(s * 1.3f),
                   -7.0f + 3.0f * std::sin(s * 0.5f)};
    Rotate(camPos.y, camPos.z, s * 2.37f);
    Rotate(rayDir.y, rayDir.z, s * 2.37f);
    Rotate(camPos.x, camPos.z, s * 2.17f);
    Rotate(rayDir.x, rayDir.z, s * 2.17f);

    Vec3 rayPos = camPos;
    Vec3 fRayPos = {std::sin(T * 0.9f), 2.0f, std::cos(T * 0.7f)};
    Vec3 totalColor = Splat(0.0f);
    float totalDensity = 0.0f;
    float coneSize = 0.003f;
    int steps = 0;

    while (Length(rayPos) < sceneSize && totalDensity < 0.95f) {
        Vec3 tmpPos = rayPos;
        Vec3 noiseData = Noise(tmpPos * 0.015f + Vec3{0.0f, T * 0.003f, 0.0f}, 5, 0.5f);
        float firstNoise = Clamp(0.4f - std::fabs(noiseData.x), 0.0f, 0.4f);
        firstNoise = firstNoise * (firstNoise * 2.0f);
        Vec3 noiseData2 = Noise(noiseData * 0.2f + rayPos * 0.1f - Vec3{0.0f, T * 0.017f, 0.0f}, 5, 0.8f);
        float noiseVal = noiseData2.x * 0.2f;

        Vec3 absPos = Abs(tmpPos);
        float sphere = std::max(std::max(absPos.x, absPos.y), absPos.z) - 1.0f - firstNoise;
        float sphere2 = std::fabs(Length(tmpPos) - 1.0f - firstNoise) + 0.1f;
        float outer = sphere2 - 1.8f * firstNoise;
        outer = std::max(outer, std::min(outer, 0.0f) + noiseVal);
        float implicitVal = std::min(sphere, outer);
        Vec3 colMult = {0.8f, 0.3f, 0.1f};
        float floorDist = fRayPos.y - 0.4f * fRayPos.z + 1.5f;

        totalColor = totalColor + Vec3{1.0f / 50.0f, 1.0f / 70.0f, 1.0f / 90.0f} * 0.75f;
        totalDensity = totalDensity + 2.0f / (300.0f * std::exp(2.0f * std::max(implicitVal, 0.0f)));

        if (implicitVal < 0.0f) {
            float localDensity = Clamp(0.0f - std::max(120.0f * noiseVal, 0.1f) * implicitVal, 0.0f, 1.0f);
            totalColor = totalColor
                         + (1.0f - totalDensity) * Color(rayPos * 0.4f, noiseData2, colMult) * localDensity;
            totalDensity = totalDensity + (1.0f - totalDensity) * localDensity;
        }
        if (floorDist < 0.0f) {
            float localDensity = 1.0f;
            Vec3 half = 0.5f * fRayPos;
            Vec3 baseRayPos = half - Floor(half) - Splat(0.5f) + 0.1f * Noise(0.4f * fRayPos, 5, 0.5f);
            float dist = 2.0f * std::max(std::fabs(std::fabs(baseRayPos.x) - 0.25f),
                                         std::fabs(std::fabs(baseRayPos.z) - 0.25f));
            float amount = dist;
            if (baseRayPos.x * baseRayPos.z < 0.0f)
                amount = 1.0f - amount;
            amount = Smoothstep(0.45f, 0.55f, amount);
            Vec3 col = Mix(Splat(0.0f), Vec3{0.3f, 0.5f, 0.7f}, amount);
            totalColor = totalColor + (1.0f - totalDensity) * col * localDensity;
            totalDensity = totalDensity + (1.0f - totalDensity) * localDensity;
        }

        float stepSize = std::min(implicitVal, floorDist) * 0.8f;
        stepSize = 0.01f + Smoothstep(0.0f, 2.0f, stepSize) * 2.0f;
        stepSize = std::max(coneSize, stepSize);
        coneSize = coneSize + stepSize * 0.003f;
        rayPos = rayPos + rayDir * stepSize;
        fRayPos = fRayPos + fRayDir * stepSize;
        steps++;
    }
    return {rayPos, totalColor, totalDensity, steps};
}

Vec3 BackgroundColor(float x, float y, float presentationTime)
{
    MarchResult march = March(x, y, presentationTime);
    float grad = Normalize(march.rayPos).y;
    Vec3 sky = grad * Vec3{0.0f, 0.1f, 0.2f} + (1.0f - grad) * Vec3{0.0f, 0.2f, 0.3f};
    Vec3 totalColor = march.totalColor + (1.0f - march.totalDensity) * sky;
    return totalColor - Splat(0.1f);
}

void RenderBackground(float presentationTime, int width, int height, uint8_t* rgba)
{
    auto renderRows = [=](int firstRow) {
        for (int j = firstRow; j < height; j += 2) {
            for (int i = 0; i < width; i++) {
                Vec3 c = BackgroundColor(PixelCentre(i, width), PixelCentre(j, height), presentationTime);
                uint8_t* pixel = rgba + (j * width + i) * 4;
                pixel[0] = Quantise(c.x);
                pixel[1] = Quantise(c.y);
                pixel[2] = Quantise(c.z);
                pixel[3] = 255;
            }
        }
    };
    std::thread other(renderRows, 1);
    renderRows(0);
    other.join();
}

float GrainHash(float x, float y, float presentationTime)
{
    float a = x + presentationTime;
    float b = y + presentationTime;
    return Fract(std::sin(12.9898f * a + 78.233f * b) * 43758.5453f);
}

void SampleTexture2D(const uint8_t* texture, int textureWidth, int textureHeight,
                     float s, float t, float rgba[4])
{
    int x0, x1, y0, y1;
    float wx, wy;
    ClampAxis(s, textureWidth, x0, x1, wx);
    ClampAxis(t, textureHeight, y0, y1, wy);
    auto texel = [&](int x, int y, int c) {
        return texture[(y * textureWidth + x) * 4 + c] / 255.0f;
    };
    for (int c = 0; c < 4; c++) {
        float bottom = texel(x0, y0, c) * (1.0f - wx) + texel(x1, y0, c) * wx;
        float top = texel(x0, y1, c) * (1.0f - wx) + texel(x1, y1, c) * wx;
        rgba[c] = bottom * (1.0f - wy) + top * wy;
    }
}

void Grain(const uint8_t* texture, int textureWidth, int textureHeight,
           float x, float y, float presentationTime, float rgba[4], float hash)
{
    float h = hash >= 0.0f ? hash : GrainHash(x, y, presentationTime);
    float s = 0.5f * x + 0.5f + 0.0007f * h;
    float t = 0.5f * y + 0.5f + 0.0007f * h;
    SampleTexture2D(texture, textureWidth, textureHeight, s, t, rgba);
    for (int c = 0; c < 4; c++)
        rgba[c] += 0.02f * h;
}

bool WithinGrainBounds(const uint8_t* texture, int textureWidth, int textureHeight,
                       float x, float y, float presentationTime, const uint8_t* pixel)
{
    // The jitter moves the read along a short diagonal, under half a texel
    // across. Along it the filtered value is piecewise bilinear, with kinks
    // where the read crosses a texel centre, so its extremes lie at the ends
    // or at those kinks: nine hashes from 0 to 1 plus every kink cover them.
    // The reach is under one texel on each axis: at most one kink per axis.
    float hashes[9 + 2 * 2];
    int hashCount = 0;
    for (int k = 0; k <= 8; k++)
        hashes[hashCount++] = k / 8.0f;
    const float axisStart[2] = {(0.5f * x + 0.5f) * textureWidth - 0.5f, (0.5f * y + 0.5f) * textureHeight - 0.5f};
    const float axisReach[2] = {0.0007f * textureWidth, 0.0007f * textureHeight};
    for (int axis = 0; axis < 2; axis++) {
        for (float n = std::ceil(axisStart[axis]); n < axisStart[axis] + axisReach[axis] && hashCount < 13;
             n += 1.0f)
            hashes[hashCount++] = (n - axisStart[axis]) / axisReach[axis];
    }
    float low[3] = {1, 1, 1};
    float high[3] = {0, 0, 0};
    for (int k = 0; k < hashCount; k++) {
        float h = hashes[k];
        float rgba[4];
        Grain(texture, textureWidth, textureHeight, x, y, presentationTime, rgba, h);
        for (int c = 0; c < 3; c++) {
            float read = rgba[c] - 0.02f * h;
            low[c] = std::min(low[c], read);
            high[c] = std::max(high[c], read);
        }
    }
    const float step = 1.0f / 255.0f;
    for (int c = 0; c < 3; c++) {
        float value = pixel[c] / 255.0f;
        if (value < low[c] - 1.01f * step || value > high[c] + 0.02f + 1.01f * step)
            return false;
    }
    return true;
}

float PixelCentre(int i, int n)
{
    return (i + 0.5f) / n * 2.0f - 1.0f;
}

uint8_t Quantise(float value)
{
    return static_cast<uint8_t>(std::lround(Clamp(value, 0.0f, 1.0f) * 255.0f));
}

}
