// A recording stand-in for the few OpenGL calls through which the frame body
// hands over its parameters and geometry: glLoadMatrixf, glRectf, glBegin,
// glEnd, glTexCoord2f and glVertex3f. Linked into a test program, its
// definitions take the place of the system library's for the presentation's
// code; each call is recorded and, where asked, passed on to the real one,
// so a test sees exactly what a frame sent.
#pragma once

#include "platform/platform.h"

#include <vector>

namespace recorder
{

struct Vertex
{
    GLfloat s, t;        // the texture coordinate current at the vertex
    GLfloat x, y, z;
};

// One draw: a glRectf, or what was sent between a glBegin and its glEnd,
// with the model-view matrix loaded last before it.
struct Draw
{
    bool rectangle;
    GLenum mode;                    // of glBegin; 0 for a rectangle
    GLfloat rect[4];                // x1, y1, x2, y2 of a rectangle
    GLfloat frameParams[16];
    std::vector<Vertex> vertices;
};

// Off by default: calls go straight to the system's library and nothing is
// kept. With recording on, calls are kept; with forwarding off they are not
// passed on (for tests without a context).
void Start(bool forwardToDriver);
void Stop();
const std::vector<Draw>& Draws();
// Texture coordinates that were not followed by a vertex, or vertices sent
// outside a glBegin / glEnd pair: both mistakes of the caller.
int StrayCalls();

}
