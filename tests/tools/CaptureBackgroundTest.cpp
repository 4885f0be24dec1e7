// vemlodar-capture --layer background against the CPU reference of the
// background program, within the pixel tests' tolerance (see
// tests/shaders/PixelsTest.cpp for why it is right): at least 99.9 % of the
// 512 x 256 pixels within 1/255 on every channel, at most 13 off by more than
// 8/255. The picture comes from the tool's PNG, top row first, so a picture
// upside down, read from the wrong place or before the frame body copied it
// fails by far.
#include "tests/shaders/Reference.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

const int width = 512;
const int height = 256;

// The PNG's rows as RGBA, bottom-up like the reference's; empty when it is
// not an 8-bit RGB picture of 512 x 256.
std::vector<uint8_t> ReadBottomUp(const std::string& path)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    if (image.width != width || image.height != height) {
        png_image_free(&image);
        return {};
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    // A negative stride stores the last row first.
    if (!png_image_finish_read(&image, nullptr, rgba.data(), -(png_int_32)(width * 4), nullptr))
        return {};
    return rgba;
}

class CaptureBackground : public testing::TestWithParam<float>
{
protected:
    static void SetUpTestSuite()
    {
        reference::GenerateNoiseVolume();
    }
};

TEST_P(CaptureBackground, LayerMatchesTheReference)
{
    float presentationTime = GetParam();
    char name[64];
    snprintf(name, sizeof name, "capture-background-%.2f.png", presentationTime);
    std::string path = std::string(testing::TempDir()) + name;
    std::remove(path.c_str());
    char time[32];
    snprintf(time, sizeof time, "%.9g", presentationTime);
    std::string command = std::string("'") + CAPTURE_TOOL + "' --layer background --size 1280x720 --time " +
                          time + " -o '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::vector<uint8_t> actual = ReadBottomUp(path);
    std::remove(path.c_str());
    ASSERT_EQ(actual.size(), (size_t)width * height * 4) << "not a 512 x 256 PNG";
    std::vector<uint8_t> expected((size_t)width * height * 4);
    reference::RenderBackground(presentationTime, width, height, expected.data());

    long withinOneStep = 0, offByMoreThanEight = 0;
    int largestError = 0;
    for (size_t p = 0; p < actual.size(); p += 4) {
        int error = 0;
        for (int c = 0; c < 3; c++)
            error = std::max(error, std::abs(actual[p + c] - expected[p + c]));
        withinOneStep += error <= 1;
        offByMoreThanEight += error > 8;
        largestError = std::max(largestError, error);
    }
    long pixels = (long)width * height;
    EXPECT_GE(withinOneStep * 1000, pixels * 999)
        << withinOneStep << " of " << pixels << " within 1/255, largest error " << largestError;
    EXPECT_LE(offByMoreThanEight, 13) << "largest error " << largestError;
}

// Early in the sweep, and late, with the camera elsewhere.
INSTANTIATE_TEST_SUITE_P(Times, CaptureBackground, testing::Values(12.5f, 171.25f));

}
