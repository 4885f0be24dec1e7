#include "frame/Scroller.h"

#include "assets/scrollText.h"
#include "platform/platform.h"
#include "setup/FontAtlas.h"

// Character 0 starts 15 cells right of the screen centre and the line moves
// 10 cells a second to the left.
static const float scrollerStart = 15.0f;
static const float scrollerSpeed = 10.0f;
// The message and one empty cell: once the line has passed by a whole
// period it comes round again from the right.
static const float scrollerPeriod = 1210.0f;
// A cell is 0.2 of the clip space's height wide on a 16:9 screen, so on
// 1920 x 1080 it is as wide as the band is high (108 pixels). The factor is
// a constant, so other aspect ratios stretch the glyphs.
static const float cellScale = 0.2f;
static const float bandBottom = 0.7f;
static const float bandTop = 0.9f;
// The glyph inside its 48-texel cell: one texel in from the top-left, 45.5
// texels across and down, so the filter never reaches the neighbour cell.
static const float glyphWidth = 0.047395833f;
static const float glyphHeight = 0.3159722f;

void EmitScrollerQuads(float presentationTime)
{
    // Recomputed from the time alone every frame, in single precision and in
    // this order, so that equal times give the same line on every machine.
    float scrollerBase = scrollerStart - presentationTime * scrollerSpeed;
    // Within the 230-second run this wraps at most once, after 122.5 s.
    float offset = scrollerBase;
    while (offset < -scrollerPeriod)
        offset = offset + scrollerPeriod;

    // Every character, on screen or not: the cost is constant and small.
    for (int i = 0; i < scrollTextLength; i++) {
        unsigned char code = (unsigned char)scrollText[i];
        int column = glyphColumn[code];
        int row = glyphRow[code];
        float left = (float)(column * fontCellSize + 1) / (float)fontAtlasWidth;
        float top = (float)(row * fontCellSize + 1) / (float)fontAtlasHeight;
        float right = left + glyphWidth;
        float bottom = top + glyphHeight;

        float leftEdge = ((float)i + offset) * cellScale / 1920.0f * 1080.0f;
        float rightEdge = ((float)i + offset + 1.0f) * cellScale / 1920.0f * 1080.0f;

        // The atlas's top row is its first, at the smaller t: it goes to the
        // top of the band.
        glTexCoord2f(left, bottom);
        glVertex3f(leftEdge, bandBottom, 0.5f);
        glTexCoord2f(left, top);
        glVertex3f(leftEdge, bandTop, 0.5f);
        glTexCoord2f(right, top);
        glVertex3f(rightEdge, bandTop, 0.5f);
        glTexCoord2f(right, bottom);
        glVertex3f(rightEdge, bandBottom, 0.5f);
    }
}
