// The CPU reference is what the pixel tests trust, so its pieces are checked
// here against values worked out by hand from the formulas.
#include "tests/shaders/Reference.h"

#include <cmath>
#include <gtest/gtest.h>

using reference::Vec3;

namespace
{

struct EdgeCase
{
    const char* what;
    Vec3 actual;
    Vec3 expected;
    float tolerance;
};

const float* Texel(int x, int y, int z)
{
    return reference::noiseVolume + ((z * 16 + y) * 16 + x) * 4;
}

Vec3 TexelColour(int x, int y, int z)
{
    const float* t = Texel(x, y, z);
    return {t[0], t[1], t[2]};
}

Vec3 Average(Vec3 a, Vec3 b)
{
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};
}

Vec3 Scalar(float value)
{
    return {value, 0.0f, 0.0f};
}

}

TEST(ShaderReference, PiecesGiveTheValuesWorkedOutByHand)
{
    reference::GenerateNoiseVolume();
    const Vec3 zero = {0.0f, 0.0f, 0.0f};
    const Vec3 colMult = {0.8f, 0.3f, 0.1f};
    const float justBelowThree = std::nextafter(3.0f, 0.0f);
    // Texel centres sit at (i + 0.5) / 16; coordinate 0 is the seam between
    // texel 15 and texel 0 on that axis.
    const float centre0 = 0.5f / 16.0f;
    const float centre3 = 3.5f / 16.0f;

    const EdgeCase cases[] = {
        {"swoosher at a whole second equals the time", Scalar(reference::Swoosher(2.0f)), Scalar(2.0f), 0.0f},
        {"swoosher half-way rushes ahead: 2 + 0.5^0.6", Scalar(reference::Swoosher(2.5f)), Scalar(2.6597540f), 2e-6f},
        {"swoosher just below 3 has no jump to 3", Scalar(reference::Swoosher(justBelowThree)), Scalar(3.0f), 1e-6f},
        {"swoosher at 0 is 0", Scalar(reference::Swoosher(0.0f)), Scalar(0.0f), 0.0f},
        {"color at the origin with stuffi 0", reference::Color(zero, zero, colMult), {0.2f, 0.7f, 0.9f}, 1e-6f},
        {"color beyond 1.2 with stuffi 0: colMult * 2/27 + 0.2 * 25/27",
         reference::Color({0.0f, 1.3f, 0.0f}, {0.5f, 0.0f, 0.7f}, colMult),
         {0.8f * 2 / 27 + 0.2f * 25 / 27, 0.3f * 2 / 27 + 0.2f * 25 / 27, 0.1f * 2 / 27 + 0.2f * 25 / 27}, 1e-6f},
        {"color with stuffi 0.01 at the origin: 1 - colMult + stuffi * (factors + weights)",
         reference::Color(zero, {0.0f, 0.1f, 0.1f}, colMult),
         {0.2f + 0.081f + 0.007f, 0.7f + 0.185f + 0.004f, 0.9f + 0.132f + 0.002f}, 1e-5f},
        {"first noise texel", TexelColour(0, 0, 0), {-0.349151611328125f, -0.34503173828125f, 0.4655303955078125f}, 0.0f},
        {"first noise texel's alpha", Scalar(Texel(0, 0, 0)[3]), Scalar(0.0201568603515625f), 0.0f},
        {"next texel along s", TexelColour(1, 0, 0), {0.093475341796875f, -0.4159698486328125f, 0.178558349609375f}, 0.0f},
        {"last noise texel", TexelColour(15, 15, 15), {-0.3045196533203125f, -0.090728759765625f, 0.3168487548828125f}, 0.0f},
        {"lookup at a texel centre reads that texel",
         reference::SampleNoiseVolume({centre3, centre0, centre0}), TexelColour(3, 0, 0), 0.0f},
        {"lookup one period away reads the same texel",
         reference::SampleNoiseVolume({centre3 + 5.0f, centre0 - 3.0f, centre0 + 1.0f}), TexelColour(3, 0, 0), 1e-6f},
        {"lookup on the seam blends texel 15 with texel 0",
         reference::SampleNoiseVolume({0.0f, centre0, centre0}), Average(TexelColour(15, 0, 0), TexelColour(0, 0, 0)), 1e-7f},
        {"one octave of noise samples at twice the point",
         reference::Noise({centre3 / 2, centre0 / 2, centre0 / 2}, 1, 0.5f), TexelColour(3, 0, 0), 0.0f},
        {"zero octaves of noise give nothing", reference::Noise({0.3f, 0.2f, 0.1f}, 0, 0.5f), zero, 0.0f},
    };
    for (const EdgeCase& c : cases) {
        EXPECT_NEAR(c.actual.x, c.expected.x, c.tolerance) << c.what;
        EXPECT_NEAR(c.actual.y, c.expected.y, c.tolerance) << c.what;
        EXPECT_NEAR(c.actual.z, c.expected.z, c.tolerance) << c.what;
    }
}

TEST(ShaderReference, MarchAtTimeZeroLooksFromTheStartingPointAlongZ)
{
    reference::GenerateNoiseVolume();
    // At T = 0 the rotations are the identity and the camera sits at
    // (0, 0.5, -7); the centre ray runs along +z through the volume, so it
    // collects colour and ends opaque before reaching the sphere's far side.
    reference::MarchResult march = reference::March(0.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(march.rayPos.x, 0.0f);
    EXPECT_GE(march.totalDensity, 0.95f);
    EXPECT_LT(march.rayPos.z, 1.5f);
    EXPECT_GT(march.rayPos.z, -7.0f);
}
