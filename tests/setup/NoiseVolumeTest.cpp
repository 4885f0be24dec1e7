#include "setup/NoiseVolume.h"

#include <gtest/gtest.h>

#include <math.h>

namespace {

struct TexelCase {
    int x, y, z;
    float red, green, blue, alpha;
};

// Texels at the start, one step along each axis and at the very end, so that
// a wrong layout, a skipped channel or a wrong generator shows.
const TexelCase texelCases[] = {
    {0, 0, 0, -0.349151611328125f, -0.34503173828125f, 0.4655303955078125f, 0.0201568603515625f},
    {1, 0, 0, 0.093475341796875f, -0.4159698486328125f, 0.178558349609375f, -0.38189697265625f},
    {0, 1, 0, 0.08172607421875f, 0.329132080078125f, -0.4297332763671875f, 0.3154754638671875f},
    {0, 0, 1, 0.48834228515625f, 0.464569091796875f, 0.0986175537109375f, -0.067779541015625f},
    {15, 15, 15, -0.3045196533203125f, -0.090728759765625f, 0.3168487548828125f,
     0.3846588134765625f},
};

TEST(NoiseVolume, FixedSeedGivesTheKnownVolume)
{
    noiseSeed = 0;
    GenerateNoiseVolume();

    // Exact: every value is a multiple of 2^-16, held without rounding.
    for (const TexelCase& texel : texelCases) {
        const float* values = &noiseVolume[((texel.z * 16 + texel.y) * 16 + texel.x) * 4];
        SCOPED_TRACE(testing::Message() << "texel " << texel.x << "," << texel.y << ","
                                        << texel.z);
        EXPECT_EQ(values[0], texel.red);
        EXPECT_EQ(values[1], texel.green);
        EXPECT_EQ(values[2], texel.blue);
        EXPECT_EQ(values[3], texel.alpha);
    }

    float smallest = noiseVolume[0];
    float largest = noiseVolume[0];
    int offGrid = 0;
    for (float value : noiseVolume) {
        smallest = fminf(smallest, value);
        largest = fmaxf(largest, value);
        double steps = (double)value * 65536.0;
        if (steps != floor(steps))
            offGrid++;
    }
    EXPECT_EQ(smallest, -0.499969482421875f);
    EXPECT_EQ(largest, 0.499969482421875f);
    EXPECT_EQ(offGrid, 0);
    EXPECT_EQ(noiseSeed, 971128832u);
}

} // namespace
