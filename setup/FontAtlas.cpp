#include "setup/FontAtlas.h"

#include "assets/glyphRuns.h"
#include "setup/InitGraphics.h"

// Windows' GL headers stop at OpenGL 1.1.
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef GL_RGBA8
#define GL_RGBA8 0x8058
#endif

int32_t glyphColumn[256];
int32_t glyphRow[256];
unsigned char fontPlanes[fontAtlasSize];
unsigned char fontPixels[fontAtlasSize];
GLuint fontAtlasTexture;

// The characters that have a glyph, in the order of their cells: cell 0 is
// blank, so the first character here sits in cell 1 (row 0, column 1) and
// each next one in the next cell, row by row.
static const char glyphCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789.,!/?-'";

void BuildGlyphTable(void)
{
    for (int code = 0; code < 256; code++) {
        glyphColumn[code] = 0;
        glyphRow[code] = 0;
    }
    for (int i = 0; glyphCharacters[i]; i++) {
        unsigned char code = (unsigned char)glyphCharacters[i];
        int cell = i + 1;
        glyphColumn[code] = cell % (fontAtlasWidth / fontCellSize);
        glyphRow[code] = cell / (fontAtlasWidth / fontCellSize);
    }
}

size_t DecodeGlyphRuns(const uint16_t* lengths, const uint8_t* values, size_t runCount,
                       unsigned char* destination, size_t destinationSize)
{
    size_t p = 0;
    for (size_t i = 0; i < runCount; i++) {
        size_t n = lengths[i];
        // Runs that would reach past the end are cut there: a longer stream
        // fills the buffer and no more.
        if (n > destinationSize - p)
            n = destinationSize - p;
        for (size_t k = 0; k < n; k++)
            destination[p + k] = values[i];
        p += n;
    }
    return p;
}

void DecodeFontAtlas(void)
{
    DecodeGlyphRuns(glyphRunLengths, glyphRunValues, glyphRunCount, fontPlanes, fontAtlasSize);
    // Planes blue, green, red, alpha become the bytes of each pixel in that
    // order, which is what GL_BGRA reads.
    for (int k = 0; k < 4; k++)
        for (int i = 0; i < fontPlaneSize; i++)
            fontPixels[4 * i + k] = fontPlanes[k * fontPlaneSize + i];
}

void UploadFontAtlas(void)
{
    glGenTextures(1, &fontAtlasTexture);
    PrepareTexture2D(fontAtlasTexture);
    // The scroller draws the glyphs at about twice their size and, on small
    // screens, smaller: trilinear filtering keeps both smooth.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    // Top row first, so t = 0 is the top of the artwork. The builder may
    // resample to other dimensions; the scroller's coordinates are
    // normalised, so the cells stay where they are.
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, fontAtlasWidth, fontAtlasHeight, GL_BGRA,
                      GL_UNSIGNED_BYTE, fontPixels);
    glDisable(GL_TEXTURE_2D);
}
