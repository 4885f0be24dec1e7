// Whole frames of the real frame body on the headless backend (Mesa's
// llvmpipe where there is no GPU), at several presentation times and on two
// window sizes, one of them not 16:9, judged against the CPU reference:
//
// - the background the frame copied into TargetTexture is the reference's,
//   within the pixel tests' tolerance (99.9 % of the pixels within 1/255, at
//   most 13 off by more than 8/255; see tests/shaders/PixelsTest.cpp);
// - outside the scroller's glyphs every window pixel is that background
//   enlarged with grain: within the bounds the grain can reach around the
//   copied texture, whatever the hash (blank cells of the scroller included,
//   which must leave the picture as it is);
// - where a glyph is opaque the pixel is the glyph's own colour, read from
//   the uploaded atlas at the fragment's texture coordinate.
//
// The GL calls that carry FrameParams and geometry are recorded on their way
// to the driver (tests/frame/GlCallRecorder.h), which shows what each pass
// was given.
#include "frame/DrawFrame.h"
#include "platform/platform_headless.h"
#include "setup/FontAtlas.h"
#include "setup/InitGraphics.h"
#include "setup/NoiseVolume.h"
#include "shell/Presentation.h"
#include "tests/frame/GlCallRecorder.h"
#include "tests/shaders/Reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace
{

const int backgroundWidth = 512;
const int backgroundHeight = 256;

struct WindowSize
{
    int width, height;
};

std::vector<uint8_t> ReadWindow(int width, int height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    HeadlessReadPixels(0, 0, width, height, pixels.data());
    return pixels;
}

// A 2D texture's level 0 as RGBA8, rows in the texture's own order (row 0 at
// t = 0), with its size.
std::vector<uint8_t> ReadTexture(GLuint texture, int& width, int& height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// The reference background at a time, drawn once for both window sizes.
const std::vector<uint8_t>& ReferenceBackground(float presentationTime)
{
    static std::map<float, std::vector<uint8_t>> drawn;
    std::vector<uint8_t>& image = drawn[presentationTime];
    if (image.empty()) {
        image.resize(backgroundWidth * backgroundHeight * 4);
        reference::RenderBackground(presentationTime, backgroundWidth, backgroundHeight, image.data());
    }
    return image;
}

struct Findings
{
    long backgroundWithinOneStep = 0;
    long backgroundOffByMoreThanEight = 0;
    long grainPixels = 0;          // outside the band or in blank cells
    long grainOutsideBounds = 0;
    long blankCellPixels = 0;      // of grainPixels, inside the band
    long glyphPixels = 0;          // where the atlas is opaque
    long glyphWithinTwoSteps = 0;
    int glyphLargestError = 0;
};

class Composition : public ::testing::TestWithParam<WindowSize>
{
protected:
    static void SetUpTestSuite()
    {
        reference::GenerateNoiseVolume();
    }

    void SetUp() override
    {
        width = GetParam().width;
        height = GetParam().height;
        ASSERT_TRUE(HeadlessOpen(width, height)) << "no EGL display or OpenGL context for the headless backend";
        // A fresh process's volume: the generator starts from its seed.
        noiseSeed = 0;
        InitGraphics();
        ASSERT_EQ(HeadlessMessageBoxCount(), 0) << HeadlessMessageBoxCaption(0) << ": " << HeadlessMessageBoxText(0);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    void TearDown() override
    {
        recorder::Stop();
        HeadlessClose();
    }

    // Draws one frame through DrawFrame, recording what it sends.
    void DrawRecordedFrame(float presentationTime)
    {
        recorder::Start(true);
        DrawFrame(presentationTime, deviceContext);
        recorder::Stop();
        glFinish();
    }

    Findings Examine(float presentationTime);

    int width = 0, height = 0;
};

Findings Composition::Examine(float presentationTime)
{
    Findings findings;
    std::vector<uint8_t> window = ReadWindow(width, height);
    int targetWidth = 0, targetHeight = 0;
    std::vector<uint8_t> target = ReadTexture(targetTexture, targetWidth, targetHeight);
    int atlasWidth = 0, atlasHeight = 0;
    std::vector<uint8_t> atlas = ReadTexture(fontAtlasTexture, atlasWidth, atlasHeight);
    EXPECT_EQ(targetWidth, backgroundWidth);
    EXPECT_EQ(targetHeight, backgroundHeight);
    if (targetWidth != backgroundWidth || targetHeight != backgroundHeight)
        return findings;

    const std::vector<uint8_t>& expected = ReferenceBackground(presentationTime);
    for (size_t p = 0; p < target.size(); p += 4) {
        int error = 0;
        for (int c = 0; c < 3; c++)
            error = std::max(error, std::abs(target[p + c] - expected[p + c]));
        findings.backgroundWithinOneStep += error <= 1;
        findings.backgroundOffByMoreThanEight += error > 8;
    }

    // The scroller's quads as they were sent.
    const std::vector<recorder::Vertex>* quads = nullptr;
    for (const recorder::Draw& draw : recorder::Draws())
        if (!draw.rectangle)
            quads = &draw.vertices;
    EXPECT_TRUE(quads && quads->size() == 4836u);
    if (!quads || quads->size() != 4836u)
        return findings;
    const float blankLeft = 1.0f / 960.0f;
    const float blankTop = 1.0f / 144.0f;

    // Half a pixel in clip space: a pixel counts as inside a quad or the
    // band only when its whole square is, so the edges' coverage, which the
    // rasteriser decides, stays out of the verdict.
    const float halfWidth = 1.0f / width;
    const float halfHeight = 1.0f / height;
    for (int j = 0; j < height; j++) {
        float y = reference::PixelCentre(j, height);
        bool belowOrAbove = y + halfHeight < 0.7f || y - halfHeight > 0.9f;
        bool insideBand = y - halfHeight > 0.7f && y + halfHeight < 0.9f;
        if (!belowOrAbove && !insideBand)
            continue;
        for (int i = 0; i < width; i++) {
            float x = reference::PixelCentre(i, width);
            const uint8_t* pixel = &window[(static_cast<size_t>(j) * width + i) * 4];
            bool grain = belowOrAbove;
            bool blankCell = false;
            if (insideBand) {
                // Quads run left to right, one cell each.
                const recorder::Vertex* first = quads->data();
                float cell = (x - first[0].x) / (first[2].x - first[0].x);
                int k = static_cast<int>(std::floor(cell));
                if (k < 0 || k >= 1209)
                    grain = true;
                else {
                    const recorder::Vertex* q = &(*quads)[4 * k];
                    if (x - halfWidth <= q[0].x || x + halfWidth >= q[2].x)
                        continue;
                    if (q[1].s == blankLeft && q[1].t == blankTop) {
                        grain = blankCell = true;
                    } else {
                        float s = q[0].s + (x - q[0].x) / (q[2].x - q[0].x) * (q[2].s - q[0].s);
                        float t = q[0].t + (y - q[0].y) / (q[1].y - q[0].y) * (q[1].t - q[0].t);
                        // The four texels the filter blends.
                        int s0 = static_cast<int>(std::floor(s * atlasWidth - 0.5f));
                        int t0 = static_cast<int>(std::floor(t * atlasHeight - 0.5f));
                        int opaque = 0, clear = 0;
                        for (int dt = 0; dt < 2; dt++) {
                            for (int ds = 0; ds < 2; ds++) {
                                int si = std::min(std::max(s0 + ds, 0), atlasWidth - 1);
                                int ti = std::min(std::max(t0 + dt, 0), atlasHeight - 1);
                                uint8_t alpha = atlas[(static_cast<size_t>(ti) * atlasWidth + si) * 4 + 3];
                                opaque += alpha == 255;
                                clear += alpha == 0;
                            }
                        }
                        if (clear == 4) {
                            grain = true;
                        } else if (opaque == 4) {
                            float rgba[4];
                            reference::SampleTexture2D(atlas.data(), atlasWidth, atlasHeight, s, t, rgba);
                            int error = 0;
                            for (int c = 0; c < 3; c++)
                                error = std::max(error, std::abs(pixel[c] - reference::Quantise(rgba[c])));
                            findings.glyphPixels++;
                            findings.glyphWithinTwoSteps += error <= 2;
                            findings.glyphLargestError = std::max(findings.glyphLargestError, error);
                            continue;
                        } else {
                            continue;
                        }
                    }
                }
            }
            if (grain) {
                findings.grainPixels++;
                findings.blankCellPixels += blankCell;
                findings.grainOutsideBounds += !reference::WithinGrainBounds(
                    target.data(), backgroundWidth, backgroundHeight, x, y, presentationTime, pixel);
            }
        }
    }
    return findings;
}

std::string SizeName(const ::testing::TestParamInfo<WindowSize>& info)
{
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

}

TEST_P(Composition, FrameIsTheBackgroundEnlargedWithGrainUnderTheScrollersGlyphs)
{
    // Before the first letter arrives, a moment with words across the band,
    // just after the line has wrapped, and late in the run.
    for (float presentationTime : {0.0f, 5.0f, 122.6f, 201.3f}) {
        SCOPED_TRACE("T = " + std::to_string(presentationTime));
        int swaps = HeadlessSwapCount();
        DrawRecordedFrame(presentationTime);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(HeadlessSwapCount(), swaps + 1);

        Findings f = Examine(presentationTime);
        long backgroundPixels = backgroundWidth * backgroundHeight;
        std::printf("%dx%d at T = %g on %s: background %.3f %% within 1/255 of the reference, %ld off by "
                    "more than 8/255; %ld grain pixels (%ld in blank cells), %ld outside the bounds; %ld "
                    "opaque glyph pixels, %.2f %% within 2/255 of the atlas, largest error %d/255\n",
                    width, height, presentationTime, HeadlessRenderer(),
                    100.0 * f.backgroundWithinOneStep / backgroundPixels, f.backgroundOffByMoreThanEight,
                    f.grainPixels, f.blankCellPixels, f.grainOutsideBounds, f.glyphPixels,
                    f.glyphPixels ? 100.0 * f.glyphWithinTwoSteps / f.glyphPixels : 0.0, f.glyphLargestError);
        EXPECT_GE(f.backgroundWithinOneStep * 1000, backgroundPixels * 999);
        EXPECT_LE(f.backgroundOffByMoreThanEight, 13);
        EXPECT_GT(f.grainPixels, static_cast<long>(width) * height * 3 / 4);
        // Samplers weigh texels in fixed point (llvmpipe in 1/256 of a texel),
        // so where two neighbouring texels differ by most of the range a read
        // can land a step past the exact filter's: a pixel in a hundred
        // thousand here. A misplaced read or a wrong grain puts thousands out.
        EXPECT_LE(f.grainOutsideBounds, f.grainPixels / 100000);
        if (presentationTime == 0.0f) {
            EXPECT_EQ(f.glyphPixels + f.blankCellPixels, 0) << "the line has not yet entered the screen";
        } else {
            EXPECT_GT(f.blankCellPixels, 0);
            EXPECT_GT(f.glyphPixels, 1000);
            // Texture coordinates interpolated by the rasteriser land a
            // hair away from the test's, and the glyphs' faces are
            // gradients: a step or two of difference is that, a wrong cell
            // or a missing blend is tens of steps.
            EXPECT_GE(f.glyphWithinTwoSteps * 100, f.glyphPixels * 99);
        }
    }
}

TEST_P(Composition, EachPassGetsTheTimeAndItsSelectorAndNothingElse)
{
    const float presentationTime = 47.125f;
    DrawRecordedFrame(presentationTime);
    const std::vector<recorder::Draw>& draws = recorder::Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(recorder::StrayCalls(), 0);
    const float selector[3] = {0.0f, 0.0f, 1.0f};
    for (int pass = 0; pass < 3; pass++) {
        SCOPED_TRACE("pass " + std::to_string(pass + 1));
        const recorder::Draw& draw = draws[pass];
        EXPECT_EQ(draw.rectangle, pass < 2);
        EXPECT_EQ(draw.frameParams[0], presentationTime);
        EXPECT_EQ(draw.frameParams[1], selector[pass]);
        for (int e = 2; e < 16; e++)
            EXPECT_EQ(draw.frameParams[e], 0.0f) << "element " << e;
        if (draw.rectangle) {
            EXPECT_EQ(draw.rect[0], -1.0f);
            EXPECT_EQ(draw.rect[1], -1.0f);
            EXPECT_EQ(draw.rect[2], 1.0f);
            EXPECT_EQ(draw.rect[3], 1.0f);
        } else {
            EXPECT_EQ(draw.mode, static_cast<GLenum>(GL_QUADS));
            EXPECT_EQ(draw.vertices.size(), 4836u);
        }
    }
    // What the next frame finds: the window's viewport, no blending, no 2D
    // texturing, the copy program current.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(static_cast<GLuint>(program), copyProgram);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_P(Composition, BackgroundPassTouchesOnlyTheLowerLeftCorner)
{
    const uint8_t cleared[3] = {51, 102, 153};
    glClearColor(cleared[0] / 255.0f, cleared[1] / 255.0f, cleared[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    LoadFrameParams(61.75f, 0.0f);
    DrawBackgroundPass();
    glFinish();
    std::vector<uint8_t> window = ReadWindow(width, height);
    EXPECT_EQ(savedViewport[2], width);
    EXPECT_EQ(savedViewport[3], height);
    // The frame puts the window's viewport back after the copy.
    glViewport(0, 0, width, height);

    long touchedOutside = 0, untouchedInside = 0;
    for (int j = 0; j < height; j++) {
        for (int i = 0; i < width; i++) {
            const uint8_t* pixel = &window[(static_cast<size_t>(j) * width + i) * 4];
            bool untouched = pixel[0] == cleared[0] && pixel[1] == cleared[1] && pixel[2] == cleared[2];
            if (i < backgroundWidth && j < backgroundHeight)
                untouchedInside += untouched;
            else
                touchedOutside += !untouched;
        }
    }
    EXPECT_EQ(touchedOutside, 0);
    EXPECT_LT(untouchedInside, backgroundWidth * backgroundHeight / 100);
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, Composition,
                         ::testing::Values(WindowSize{1920, 1080}, WindowSize{1280, 1024}), SizeName);
