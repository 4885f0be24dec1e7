// The font atlas uploaded through a real OpenGL driver (llvmpipe where there
// is no GPU) on the headless backend, read back with the GL calls themselves.
#include "platform/platform_headless.h"
#include "setup/FontAtlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

GLint TextureParameter(GLenum name)
{
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint LevelParameter(GLint level, GLenum name)
{
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

TEST(FontAtlasUpload, LeavesABoundTrilinearTextureWithItsWholeMipmapChain)
{
    ASSERT_TRUE(HeadlessOpen(64, 64)) << "no EGL display or OpenGL context";
    fontAtlasTexture = 0;
    DecodeFontAtlas();
    UploadFontAtlas();

    ASSERT_NE(fontAtlasTexture, 0u);
    EXPECT_TRUE(glIsTexture(fontAtlasTexture));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), fontAtlasTexture);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

    // The mipmap builder may resample level 0 to other dimensions; from
    // there every level halves down to 1 x 1.
    GLint width = LevelParameter(0, GL_TEXTURE_WIDTH);
    GLint height = LevelParameter(0, GL_TEXTURE_HEIGHT);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    int level = 0;
    while (width > 1 || height > 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        level++;
        EXPECT_EQ(LevelParameter(level, GL_TEXTURE_WIDTH), width) << "level " << level;
        EXPECT_EQ(LevelParameter(level, GL_TEXTURE_HEIGHT), height) << "level " << level;
    }
    EXPECT_GE(level, 9);
    HeadlessClose();
}

TEST(FontAtlasUpload, GlyphCentresAreOpaqueAndTheBlankCellTransparent)
{
    ASSERT_TRUE(HeadlessOpen(64, 64)) << "no EGL display or OpenGL context";
    DecodeFontAtlas();
    UploadFontAtlas();

    GLint width = LevelParameter(0, GL_TEXTURE_WIDTH);
    GLint height = LevelParameter(0, GL_TEXTURE_HEIGHT);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    std::vector<unsigned char> texels(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());

    // Alpha of the texel at a cell's centre, addressed as the scroller does,
    // in coordinates normalised to the atlas with t = 0 at its top.
    auto centre = [&](int row, int column) {
        double s = (column * 48 + 24) / 960.0;
        double t = (row * 48 + 24) / 144.0;
        int x = int(s * width), y = int(t * height);
        return &texels[4 * (size_t(y) * width + x)];
    };
    auto centreAlpha = [&](int row, int column) { return int(centre(row, column)[3]); };
    // The stems of l, 1 and the hyphen cross their cells' centres, wide
    // enough that resampling blends only opaque texels there.
    EXPECT_EQ(centreAlpha(0, 12), 255) << "l";
    EXPECT_EQ(centreAlpha(1, 8), 255) << "1";
    EXPECT_EQ(centreAlpha(2, 2), 255) << "-";
    // Halfway down a cell the face is dark navy, far more blue than red:
    // the bytes went in as blue, green, red, alpha.
    const unsigned char* l = centre(0, 12);
    EXPECT_GT(l[0], l[2] + 30) << "blue " << int(l[0]) << ", red " << int(l[2]);
    EXPECT_EQ(centreAlpha(0, 0), 0) << "blank";
    EXPECT_EQ(centreAlpha(2, 10), 0) << "unused cell";
    HeadlessClose();
}

} // namespace
