#include "setup/InitGraphics.h"

GLuint backgroundProgram;
GLuint copyProgram;
GLuint targetTexture;

void InitGraphics(void)
{
}
