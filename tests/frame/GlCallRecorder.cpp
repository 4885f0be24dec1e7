#include "tests/frame/GlCallRecorder.h"

#include <dlfcn.h>

#include <cstring>

namespace recorder
{
namespace
{

bool recording;
bool forwarding = true;
std::vector<Draw> draws;
GLfloat loadedMatrix[16];
bool insideBegin;
bool texCoordPending;
GLfloat currentS, currentT;
int strayCalls;

// The system library's own function of that name, found past this program.
template <typename Function>
Function Real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool Forward()
{
    return !recording || forwarding;
}

}

void Start(bool forwardToDriver)
{
    recording = true;
    forwarding = forwardToDriver;
    draws.clear();
    insideBegin = false;
    texCoordPending = false;
    strayCalls = 0;
}

void Stop()
{
    recording = false;
    forwarding = true;
}

const std::vector<Draw>& Draws()
{
    return draws;
}

int StrayCalls()
{
    return strayCalls + (texCoordPending ? 1 : 0);
}

}

using namespace recorder;

extern "C" {

void GLAPIENTRY glLoadMatrixf(const GLfloat* m)
{
    static auto real = Real<void(GLAPIENTRY*)(const GLfloat*)>("glLoadMatrixf");
    if (recording)
        std::memcpy(loadedMatrix, m, sizeof loadedMatrix);
    if (Forward())
        real(m);
}

void GLAPIENTRY glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2)
{
    static auto real = Real<void(GLAPIENTRY*)(GLfloat, GLfloat, GLfloat, GLfloat)>("glRectf");
    if (recording) {
        Draw draw = {};
        draw.rectangle = true;
        draw.rect[0] = x1;
        draw.rect[1] = y1;
        draw.rect[2] = x2;
        draw.rect[3] = y2;
        std::memcpy(draw.frameParams, loadedMatrix, sizeof loadedMatrix);
        draws.push_back(draw);
    }
    if (Forward())
        real(x1, y1, x2, y2);
}

void GLAPIENTRY glBegin(GLenum mode)
{
    static auto real = Real<void(GLAPIENTRY*)(GLenum)>("glBegin");
    if (recording) {
        Draw draw = {};
        draw.mode = mode;
        std::memcpy(draw.frameParams, loadedMatrix, sizeof loadedMatrix);
        draws.push_back(draw);
        insideBegin = true;
    }
    if (Forward())
        real(mode);
}

void GLAPIENTRY glEnd(void)
{
    static auto real = Real<void(GLAPIENTRY*)(void)>("glEnd");
    if (recording)
        insideBegin = false;
    if (Forward())
        real();
}

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t)
{
    static auto real = Real<void(GLAPIENTRY*)(GLfloat, GLfloat)>("glTexCoord2f");
    if (recording) {
        strayCalls += texCoordPending;
        texCoordPending = true;
        currentS = s;
        currentT = t;
    }
    if (Forward())
        real(s, t);
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    static auto real = Real<void(GLAPIENTRY*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    if (recording) {
        if (insideBegin && !draws.empty())
            draws.back().vertices.push_back({currentS, currentT, x, y, z});
        else
            strayCalls++;
        // Each vertex wants its own coordinate set right before it.
        if (!texCoordPending)
            strayCalls++;
        texCoordPending = false;
    }
    if (Forward())
        real(x, y, z);
}

}
