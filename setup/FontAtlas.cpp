#include "setup/FontAtlas.h"

#include "setup/InitGraphics.h"

int32_t glyphColumn[256];
int32_t glyphRow[256];
unsigned char fontPlanes[fontAtlasSize];
unsigned char fontPixels[fontAtlasSize];
GLuint fontAtlasTexture;

void BuildGlyphTable(void)
{
}

size_t DecodeGlyphRuns(const uint16_t* lengths, const uint8_t* values, size_t runCount,
                       unsigned char* destination, size_t destinationSize)
{
    (void)lengths; (void)values; (void)runCount; (void)destination; (void)destinationSize;
    return 0;
}

void DecodeFontAtlas(void)
{
}

void UploadFontAtlas(void)
{
}
