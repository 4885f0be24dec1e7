// Font atlas: the glyph image held as run-length-coded planes, decoded at
// start-up and uploaded as a mipmapped texture, and the table that maps each
// character code to the atlas cell that holds its glyph.
#pragma once

#include "platform/platform.h"

#include <stddef.h>
#include <stdint.h>

// 960 x 144 pixels in 20 x 3 cells of 48; cell (row 0, column 0) is blank.
enum {
    fontAtlasWidth = 960,
    fontAtlasHeight = 144,
    fontCellSize = 48,
    fontPlaneSize = fontAtlasWidth * fontAtlasHeight,
    fontAtlasSize = 4 * fontPlaneSize
};

// Character code (as an unsigned byte) to the cell's column (0..19) and row (0..2).
extern int32_t glyphColumn[256];
extern int32_t glyphRow[256];

// The four planes end to end: blue, green, red, alpha, each top row first.
extern unsigned char fontPlanes[fontAtlasSize];
// The same image as pixels of blue, green, red, alpha, top row first.
extern unsigned char fontPixels[fontAtlasSize];

// 0 until UploadFontAtlas has run.
extern GLuint fontAtlasTexture;

void BuildGlyphTable(void);
void DecodeFontAtlas(void);
void UploadFontAtlas(void);

// Expands runCount runs into destination from its first byte and stops at
// destinationSize, whatever the lengths add up to. Returns the bytes written.
size_t DecodeGlyphRuns(const uint16_t* lengths, const uint8_t* values, size_t runCount,
                       unsigned char* destination, size_t destinationSize);
