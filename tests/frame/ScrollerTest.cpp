// The scroller's geometry, read off the vertex stream it sends (recorded in
// place of the driver, no context needed), and the form of its message.
#include "assets/scrollText.h"
#include "frame/Scroller.h"
#include "setup/FontAtlas.h"
#include "tests/frame/GlCallRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{

const float cellWidth = 0.1125f;
// Edges are sums of values up to 140 cells wide, in single precision: a
// cell's width comes out within a few units of the last place of them.
const float widthTolerance = 1e-4f;

class Scroller : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BuildGlyphTable();
    }

    // The vertices of one frame's line at the given time.
    std::vector<recorder::Vertex> Line(float presentationTime)
    {
        recorder::Start(false);
        glBegin(GL_QUADS);
        EmitScrollerQuads(presentationTime);
        glEnd();
        recorder::Stop();
        EXPECT_EQ(recorder::StrayCalls(), 0);
        EXPECT_EQ(recorder::Draws().size(), 1u);
        return recorder::Draws().empty() ? std::vector<recorder::Vertex>() : recorder::Draws()[0].vertices;
    }

    static int IndexOf(char c)
    {
        const char* found = std::strchr(scrollText, c);
        return found ? static_cast<int>(found - scrollText) : -1;
    }
};

}

TEST(ScrollText, HasTheFormTheScrollerExpects)
{
    BuildGlyphTable();
    ASSERT_EQ(std::strlen(scrollText), static_cast<size_t>(scrollTextLength));
    EXPECT_EQ(scrollTextLength, 1209);
    EXPECT_EQ(std::string(scrollText, 8), std::string(8, ' '));
    EXPECT_EQ(std::string(scrollText + 1200), "*" + std::string(8, ' '));
    EXPECT_NE(scrollText[8], ' ') << "the message starts right after the leading blanks";
    EXPECT_NE(scrollText[1199], ' ') << "the asterisk follows the message directly";
    int letters = 0;
    for (int i = 8; i < 1200; i++) {
        unsigned char c = static_cast<unsigned char>(scrollText[i]);
        SCOPED_TRACE(i);
        // Only blanks and characters with a glyph: anything else would show
        // as a gap in the middle of a word.
        EXPECT_TRUE(c == ' ' || glyphColumn[c] != 0 || glyphRow[c] != 0) << "'" << scrollText[i] << "'";
        letters += c >= 'a' && c <= 'z';
        EXPECT_FALSE(c == ' ' && scrollText[i + 1] == ' ') << "two blanks in a row inside the message";
    }
    EXPECT_GT(letters, 1192 * 3 / 4) << "mostly lower-case letters";
}

TEST_F(Scroller, SendsOneQuadPerCharacterInTheBandWithItsCoordinatesBeforeEachVertex)
{
    std::vector<recorder::Vertex> vertices = Line(37.25f);
    ASSERT_EQ(vertices.size(), 4836u);
    EXPECT_EQ(recorder::Draws()[0].mode, static_cast<GLenum>(GL_QUADS));
    for (int i = 0; i < scrollTextLength; i++) {
        SCOPED_TRACE(i);
        const recorder::Vertex* q = &vertices[4 * i];
        // Lower left, upper left, upper right, lower right.
        EXPECT_EQ(q[0].x, q[1].x);
        EXPECT_EQ(q[2].x, q[3].x);
        EXPECT_NEAR(q[2].x - q[0].x, cellWidth, widthTolerance);
        const float y[4] = {0.7f, 0.9f, 0.9f, 0.7f};
        for (int k = 0; k < 4; k++) {
            EXPECT_EQ(q[k].y, y[k]);
            EXPECT_EQ(q[k].z, 0.5f);
        }
        // The glyph's top row (the smaller t) at the top of the band.
        EXPECT_EQ(q[0].s, q[1].s);
        EXPECT_EQ(q[2].s, q[3].s);
        EXPECT_EQ(q[1].t, q[2].t);
        EXPECT_EQ(q[0].t, q[3].t);
        EXPECT_EQ(q[2].s, q[0].s + 0.047395833f);
        EXPECT_EQ(q[0].t, q[1].t + 0.3159722f);
        if (i > 0) {
            EXPECT_NEAR(q[0].x, vertices[4 * i - 2].x, widthTolerance) << "cells follow each other without a gap";
        }
    }
}

TEST_F(Scroller, EachCharacterReadsItsOwnCellAndEveryCodeWithoutAGlyphTheBlankOne)
{
    std::vector<recorder::Vertex> vertices = Line(0.0f);
    ASSERT_EQ(vertices.size(), 4836u);
    struct Case
    {
        char c;
        float left, top;    // s and t of the glyph's upper-left corner
    };
    const Case cases[] = {
        {'a', 49.0f / 960.0f, 1.0f / 144.0f},
        {'!', 913.0f / 960.0f, 49.0f / 144.0f},
        {' ', 1.0f / 960.0f, 1.0f / 144.0f},
        // The closing asterisk has no glyph: a blank cell as wide as any.
        {'*', 1.0f / 960.0f, 1.0f / 144.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("character '") + c.c + "'");
        int i = IndexOf(c.c);
        ASSERT_GE(i, 0);
        const recorder::Vertex* q = &vertices[4 * i];
        EXPECT_EQ(q[1].s, c.left);
        EXPECT_EQ(q[1].t, c.top);
        EXPECT_NEAR(q[2].x - q[1].x, cellWidth, widthTolerance);
    }
}

TEST_F(Scroller, RunsInFromTheRightAtTenCellsASecondAndWrapsOnceAfter122AndAHalfSeconds)
{
    // Character 0 starts 15 cells right of the centre, outside the screen.
    EXPECT_NEAR(Line(0.0f)[0].x, 1.6875f, 1e-6);
    // The first letter, character 8, crosses the right edge at about 1.41 s.
    EXPECT_GT(Line(1.40f)[4 * 8].x, 1.0f);
    EXPECT_LT(Line(1.42f)[4 * 8].x, 1.0f);
    EXPECT_NEAR(Line(10.0f)[0].x - Line(11.0f)[0].x, 10 * cellWidth, 1e-4);

    // At 122.5 s the line has moved exactly one period: not yet wrapped.
    float unwrapped = Line(122.5f)[0].x;
    EXPECT_NEAR(unwrapped, -1210 * cellWidth, 1e-3);
    // A frame later it starts over: character 0 near the centre, the first
    // letter just inside the right edge.
    std::vector<recorder::Vertex> wrapped = Line(122.51f);
    EXPECT_NEAR(wrapped[0].x - unwrapped, 1210 * cellWidth - 0.1f * cellWidth, 1e-3);
    EXPECT_NEAR(wrapped[0].x, 0.0f, cellWidth);
    EXPECT_GT(wrapped[4 * 8].x, 0.85f);
    EXPECT_LT(wrapped[4 * 8].x, 1.0f);
    // No second wrap within the run.
    EXPECT_NEAR(Line(230.0f)[0].x, (15 - 2300 + 1210) * cellWidth, 1e-2);
}
