// The glyph table, the run decoder and the font atlas as the presentation
// decodes it from the stored runs. The artwork is checked here, on the decoded
// pixels, not in the tool that drew it.
#include "assets/glyphRuns.h"
#include "setup/FontAtlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Cell index of every character with a glyph, from the atlas layout: a to s
// in cells 1 to 19, t to z in 20 to 26, the digits in 27 to 36, then the
// punctuation one cell each. -1 for a character without a glyph.
int ExpectedCell(int code)
{
    if (code >= 'a' && code <= 's')
        return 1 + code - 'a';
    if (code >= 't' && code <= 'z')
        return 20 + code - 't';
    if (code >= '0' && code <= '9')
        return 27 + code - '0';
    switch (code) {
    case '.': return 37;
    case ',': return 38;
    case '!': return 39;
    case '/': return 40;
    case '?': return 41;
    case '-': return 42;
    case '\'': return 43;
    }
    return -1;
}

TEST(GlyphTable, EachGlyphCharacterHasItsCellAndEveryOtherCodeTheBlankOne)
{
    // Garbage first, so that an entry the table leaves alone shows.
    for (int code = 0; code < 256; code++)
        glyphColumn[code] = glyphRow[code] = 77;
    BuildGlyphTable();

    std::set<int> cells;
    for (int code = 0; code < 256; code++) {
        int cell = ExpectedCell(code);
        SCOPED_TRACE("code " + std::to_string(code));
        if (cell < 0) {
            // Blank, asterisk, colon, capitals, controls and 128 to 255 alike.
            EXPECT_EQ(glyphRow[code], 0);
            EXPECT_EQ(glyphColumn[code], 0);
            continue;
        }
        EXPECT_EQ(glyphRow[code], cell / 20);
        EXPECT_EQ(glyphColumn[code], cell % 20);
        cells.insert(glyphRow[code] * 20 + glyphColumn[code]);
    }
    EXPECT_EQ(cells.size(), 43u);
    EXPECT_EQ(cells.count(0), 0u);
    EXPECT_LT(*cells.rbegin(), 44);
}

struct DecodeCase {
    const char* name;
    std::vector<uint16_t> lengths;
    std::vector<uint8_t> values;
    size_t bufferSize;
    std::vector<uint8_t> expected; // the whole buffer afterwards
};

// Each buffer starts zero and is followed by guard bytes that must survive.
TEST(GlyphRunDecoder, WritesTheRunsInOrderAndStopsAtTheBufferEnd)
{
    const DecodeCase cases[] = {
        {"zero-length run writes nothing", {2, 0, 3}, {7, 9, 8}, 6, {7, 7, 8, 8, 8, 0}},
        {"shorter stream leaves the rest zero", {1, 2}, {5, 6}, 6, {5, 6, 6, 0, 0, 0}},
        {"exact fit", {3, 3}, {1, 2}, 6, {1, 1, 1, 2, 2, 2}},
        {"run past the end is cut there", {4, 5}, {1, 2}, 6, {1, 1, 1, 1, 2, 2}},
        {"run one past the end is cut there", {4, 3}, {1, 2}, 6, {1, 1, 1, 1, 2, 2}},
        {"runs after a full buffer are ignored", {6, 0, 4, 65535}, {3, 4, 5, 6}, 6,
         {3, 3, 3, 3, 3, 3}},
    };
    const size_t guard = 64;
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> buffer(c.bufferSize + guard, 0);
        std::memset(&buffer[c.bufferSize], 0xA5, guard);
        size_t written = DecodeGlyphRuns(c.lengths.data(), c.values.data(), c.lengths.size(),
                                         buffer.data(), c.bufferSize);
        size_t nonZeroEnd = 0;
        for (size_t i = 0; i < c.expected.size(); i++)
            if (c.expected[i])
                nonZeroEnd = i + 1;
        EXPECT_GE(written, nonZeroEnd);
        EXPECT_LE(written, c.bufferSize);
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + c.bufferSize), c.expected);
        for (size_t i = 0; i < guard; i++)
            ASSERT_EQ(buffer[c.bufferSize + i], 0xA5) << "guard byte " << i << " overwritten";
    }
}

TEST(GlyphRunDecoder, RunFromTheLastRowOfAPlaneGoesOnAtTheTopOfTheNext)
{
    static unsigned char planes[fontAtlasSize];
    std::memset(planes, 0, sizeof planes);
    // Up to the middle of the blue plane's last row, then one run across the
    // plane end into the green plane's top row.
    const uint16_t lengths[] = {60000, 60000, fontPlaneSize - 120000 - 480, 960};
    const uint8_t values[] = {1, 2, 3, 4};
    size_t written = DecodeGlyphRuns(lengths, values, 4, planes, sizeof planes);
    EXPECT_EQ(written, size_t(fontPlaneSize + 480));
    const size_t lastRow = 143 * 960;
    EXPECT_EQ(planes[lastRow + 479], 3);
    EXPECT_EQ(planes[lastRow + 480], 4);
    EXPECT_EQ(planes[lastRow + 959], 4);
    EXPECT_EQ(planes[fontPlaneSize + 0], 4);
    EXPECT_EQ(planes[fontPlaneSize + 479], 4);
    EXPECT_EQ(planes[fontPlaneSize + 480], 0);
}

TEST(StoredGlyphRuns, AreMaximalRunsThatFitThePlanes)
{
    size_t total = 0;
    for (size_t i = 0; i < glyphRunCount; i++) {
        ASSERT_GT(glyphRunLengths[i], 0) << "run " << i;
        // Neighbours share a value only where the first run is full.
        if (i > 0 && glyphRunLengths[i - 1] != 65535) {
            ASSERT_NE(glyphRunValues[i], glyphRunValues[i - 1]) << "run " << i;
        }
        total += glyphRunLengths[i];
    }
    EXPECT_LE(total, size_t(fontAtlasSize));
    // Everything after the stream is left to the zero buffer: that must be
    // transparent alpha, so the stream reaches into the alpha plane.
    EXPECT_GT(total, size_t(3 * fontPlaneSize));
}

// The atlas decoded once from the stored runs, for every artwork test.
class DecodedAtlas : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::memset(fontPlanes, 0, sizeof fontPlanes);
        std::memset(fontPixels, 0, sizeof fontPixels);
        DecodeFontAtlas();
    }

    static const unsigned char* Pixel(int cell, int column, int row)
    {
        int x = cell % 20 * 48 + column;
        int y = cell / 20 * 48 + row;
        return fontPixels + 4 * (y * 960 + x);
    }
    static int Alpha(int cell, int column, int row) { return Pixel(cell, column, row)[3]; }
};

TEST_F(DecodedAtlas, PixelsTakeByteKFromPlaneK)
{
    for (int k = 0; k < 4; k++)
        for (int r = 0; r < 144; r++)
            for (int c = 0; c < 960; c++)
                ASSERT_EQ(fontPixels[4 * (r * 960 + c) + k], fontPlanes[k * 138240 + r * 960 + c])
                    << "plane " << k << " row " << r << " column " << c;
}

TEST_F(DecodedAtlas, AlphaIsOnly0Or128Or255AndTransparentPixelsAreWhite)
{
    for (int i = 0; i < fontPlaneSize; i++) {
        const unsigned char* p = fontPixels + 4 * i;
        ASSERT_TRUE(p[3] == 0 || p[3] == 128 || p[3] == 255) << "pixel " << i << ": " << int(p[3]);
        if (p[3] == 0) {
            ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255) << "pixel " << i;
        }
    }
    // The bottom-right pixel's alpha comes from the zero buffer, not a run.
    EXPECT_EQ(fontPixels[fontAtlasSize - 1], 0);
}

TEST_F(DecodedAtlas, BlankCellsAreEntirelyTransparent)
{
    std::vector<int> blank = {0};
    for (int cell = 44; cell < 60; cell++)
        blank.push_back(cell);
    for (int cell : blank)
        for (int r = 0; r < 48; r++)
            for (int c = 0; c < 48; c++)
                ASSERT_EQ(Alpha(cell, c, r), 0) << "cell " << cell << " column " << c << " row " << r;
}

TEST_F(DecodedAtlas, HalfAlphaOnlyOnSingleOutlinePixels)
{
    // Between outside and inside: a transparent pixel beside it (or the cell
    // edge) and an opaque one around it.
    for (int cell = 1; cell < 44; cell++)
        for (int r = 0; r < 48; r++)
            for (int c = 0; c < 48; c++) {
                if (Alpha(cell, c, r) != 128)
                    continue;
                auto at = [&](int dc, int dr) {
                    int cc = c + dc, rr = r + dr;
                    return cc < 0 || rr < 0 || cc > 47 || rr > 47 ? 0 : Alpha(cell, cc, rr);
                };
                bool transparentBeside = !at(-1, 0) || !at(1, 0) || !at(0, -1) || !at(0, 1);
                bool opaqueNear = false;
                for (int dr = -1; dr <= 1; dr++)
                    for (int dc = -1; dc <= 1; dc++)
                        opaqueNear = opaqueNear || at(dc, dr) == 255;
                ASSERT_TRUE(transparentBeside && opaqueNear)
                    << "cell " << cell << " column " << c << " row " << r;
            }
}

struct Metrics {
    const char* characters;
    int firstRow, lastRow;
};

// Inked rows of each glyph, counted from its cell's top.
const Metrics glyphMetrics[] = {
    {"acemnorsuvwxz0123456789", 9, 38}, // body and digits
    {"bdfhiklt", 0, 38},                // ascenders and the dot of the i
    {"gpqy", 9, 47},                     // descenders
    {"j", 0, 47},
    {".", 27, 38},
    {",", 27, 47},
    {"-", 15, 26},
    {"'", 0, 20},
    {"!?", 0, 41},
    {"/", 3, 41},
};

TEST_F(DecodedAtlas, EachGlyphFillsItsRowsAndStaysInsideItsCell)
{
    std::map<char, std::pair<int, int>> expected;
    for (const Metrics& m : glyphMetrics)
        for (const char* c = m.characters; *c; c++)
            expected[*c] = {m.firstRow, m.lastRow};
    ASSERT_EQ(expected.size(), 43u);

    for (const auto& e : expected) {
        int cell = ExpectedCell((unsigned char)e.first);
        int firstRow = 48, lastRow = -1, lastColumn = -1;
        for (int r = 0; r < 48; r++)
            for (int c = 0; c < 48; c++)
                if (Alpha(cell, c, r)) {
                    firstRow = std::min(firstRow, r);
                    lastRow = std::max(lastRow, r);
                    lastColumn = std::max(lastColumn, c);
                }
        SCOPED_TRACE(std::string("glyph ") + e.first);
        EXPECT_EQ(firstRow, e.second.first);
        EXPECT_EQ(lastRow, e.second.second);
        // The scroller shows texels 1 to 46.5 of a cell; column 47 is the
        // gap to the neighbour and stays empty.
        EXPECT_LE(lastColumn, 46);
    }
}

struct Rgb {
    double red, green, blue;
};

Rgb Between(Rgb a, Rgb b, double t)
{
    return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t,
            a.blue + (b.blue - a.blue) * t};
}

// The chrome face colour of each row of a cell.
Rgb FaceColour(int row)
{
    if (row <= 8)
        return Between({149, 171, 192}, {173, 198, 217}, row / 8.0);
    if (row <= 20) // row 9 is given as a span, (180, 203, 224) to (189, 209, 228)
        return Between({184.5, 206, 226}, {245, 250, 253}, (row - 9) / 11.0);
    if (row <= 36)
        return Between({22, 46, 72}, {75, 102, 129}, (row - 21) / 15.0);
    if (row == 37)
        return {59, 79, 99};
    if (row == 38)
        return {49, 64, 80};
    if (row <= 45)
        return Between({82, 109, 136}, {112, 139, 163}, (row - 39) / 6.0);
    if (row == 46)
        return {88, 106, 125};
    return {72, 87, 101};
}

double Luminance(double red, double green, double blue)
{
    return 0.299 * red + 0.587 * green + 0.114 * blue;
}

TEST_F(DecodedAtlas, InteriorPixelsHaveTheirRowsFaceColour)
{
    // 6 levels: the reference for row 9 spans 9 levels of red, and the
    // interpolated rows round to whole levels.
    const double tolerance = 6;
    for (int cell = 1; cell < 44; cell++) {
        int interior = 0;
        for (int r = 0; r < 48; r++)
            for (int c = 4; c < 45; c++) {
                // Away from the bevels: opaque from 4 left to 3 right.
                bool away = true;
                for (int d = -4; d <= 3; d++)
                    away = away && Alpha(cell, c + d, r) == 255;
                if (!away)
                    continue;
                interior++;
                const unsigned char* p = Pixel(cell, c, r);
                Rgb face = FaceColour(r);
                ASSERT_NEAR(p[2], face.red, tolerance) << "cell " << cell << " column " << c << " row " << r;
                ASSERT_NEAR(p[1], face.green, tolerance) << "cell " << cell << " column " << c << " row " << r;
                ASSERT_NEAR(p[0], face.blue, tolerance) << "cell " << cell << " column " << c << " row " << r;
            }
        EXPECT_GE(interior, 20) << "cell " << cell << " has hardly any face to check";
    }
}

TEST_F(DecodedAtlas, LeftFacingEdgesAreLitAndRightFacingEdgesShaded)
{
    // From row 21 down the face is dark enough for the highlight to stand
    // out; every stretch of 8 or more inked pixels (half alpha included)
    // starts lighter than the face and ends darker.
    int stretches = 0;
    for (int cell = 1; cell < 44; cell++)
        for (int r = 21; r < 48; r++)
            for (int c = 0; c < 48;) {
                if (!Alpha(cell, c, r)) {
                    c++;
                    continue;
                }
                int end = c;
                while (end < 48 && Alpha(cell, end, r))
                    end++;
                if (end - c >= 8) {
                    stretches++;
                    Rgb face = FaceColour(r);
                    double faceLuminance = Luminance(face.red, face.green, face.blue);
                    const unsigned char* first = Pixel(cell, c, r);
                    const unsigned char* last = Pixel(cell, end - 1, r);
                    EXPECT_GT(Luminance(first[2], first[1], first[0]), faceLuminance + 20)
                        << "cell " << cell << " row " << r << " column " << c;
                    EXPECT_LT(Luminance(last[2], last[1], last[0]), faceLuminance - 5)
                        << "cell " << cell << " row " << r << " column " << end - 1;
                }
                c = end;
            }
    EXPECT_GT(stretches, 500);
}

} // namespace
