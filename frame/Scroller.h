// The scroller: one line of large glyphs running from right to left across
// a band near the top of the picture for the whole run.
#pragma once

// Sends one textured quad per character of scrollText, 4836 vertices through
// glTexCoord2f and glVertex3f, positions already in clip space. Call between
// glBegin(GL_QUADS) and glEnd with the font atlas bound.
void EmitScrollerQuads(float presentationTime);
