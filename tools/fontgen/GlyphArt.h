// The glyph artwork of the font atlas: 43 glyphs described as outlines on the
// 48-pixel cell grid, rasterised into the 960 x 144 atlas.
#pragma once

#include <string>

enum {
    atlasWidth = 960,
    atlasHeight = 144,
    cellSize = 48,
    cellColumns = 20,
    atlasPixelBytes = atlasWidth * atlasHeight * 4
};

// Fills pixels (blue, green, red, alpha; top row first) with the whole atlas.
// Returns false, with the reason in problem, when an outline reaches beyond
// its own cell: the artwork must be corrected then, not clipped.
bool DrawFontAtlas(unsigned char* pixels, std::string& problem);
