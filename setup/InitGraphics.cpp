#include "setup/InitGraphics.h"

#include "setup/FontAtlas.h"
#include "setup/GlEntryPoints.h"
#include "setup/NoiseVolume.h"
#include "shaders/ShaderTexts.h"
#include "shell/Presentation.h"

#include <string.h>

#ifndef GL_VERTEX_SHADER
#define GL_VERTEX_SHADER 0x8B31
#endif
#ifndef GL_FRAGMENT_SHADER
#define GL_FRAGMENT_SHADER 0x8B30
#endif
#ifndef GL_COMPILE_STATUS
#define GL_COMPILE_STATUS 0x8B81
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

GLuint backgroundProgram;
GLuint copyProgram;
GLuint targetTexture;
bool glEntryPointMissing;
char shaderLog[4096];

const char* vMainObjectText = vMainObject;
const char* fMainBackgroundText = fMainBackground;
const char* fOffscreeCopyText = fOffscreeCopy;

// The render target's size is the background's: the scene is always
// ray-marched at 512 x 256 and only then enlarged.
static const GLsizei targetWidth = 512;
static const GLsizei targetHeight = 256;

static const char missingEntryPointCaption[] = "vemlodar: OpenGL 2.0 entry point missing";
static const char missingEntryPointIntro[] =
    "This presentation needs OpenGL 2.0. The graphics driver does not offer:";

// Every call of the table is made without a check, so a gap must be found
// before the first one. Names each missing call in a message box.
static bool AllGlEntryPointsPresent(void)
{
    // The introduction and all ten names, each on a line of its own.
    static char message[sizeof missingEntryPointIntro + glEntryPointCount * 32];
    strcpy(message, missingEntryPointIntro);
    bool allPresent = true;
    for (int slot = 0; slot < glEntryPointCount; slot++) {
        if (IsGlEntryPoint(glEntryPoints[slot]))
            continue;
        allPresent = false;
        strcat(message, "\n");
        strcat(message, glEntryPointNames[slot]);
    }
    if (!allPresent)
        MessageBoxA(presentationWindow, message, missingEntryPointCaption, MB_OK);
    return allPresent;
}

// Shows the compiler's log for a shader that did not compile.
static void ReportShaderError(GLuint shader, const char* caption)
{
    GLsizei length = 0;
    CallGetShaderInfoLog(shader, sizeof shaderLog, &length, shaderLog);
    // The length excludes the terminator and cannot exceed 4095; a driver
    // that says otherwise still must not push the zero past the buffer.
    if (length < 0)
        length = 0;
    if (length > (GLsizei)sizeof shaderLog - 1)
        length = (GLsizei)sizeof shaderLog - 1;
    shaderLog[length] = 0;
    MessageBoxA(presentationWindow, shaderLog, caption, MB_OK);
}

static bool Compiled(GLuint shader)
{
    GLint status = 0;
    CallGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    return status != 0;
}

void PrepareTexture2D(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, (GLfloat)GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, (GLfloat)GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, (GLfloat)GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, (GLfloat)GL_CLAMP_TO_EDGE);
}

void InitGraphics(void)
{
    BuildGlyphTable();

    FetchGlEntryPoints();
    glEntryPointMissing = !AllGlEntryPointsPresent();
    if (glEntryPointMissing)
        return;

    // Only the values: the texture is made once the programs exist.
    GenerateNoiseVolume();

    GLuint vertexShader = CallCreateShader(GL_VERTEX_SHADER);
    GLuint backgroundShader = CallCreateShader(GL_FRAGMENT_SHADER);
    GLuint copyShader = CallCreateShader(GL_FRAGMENT_SHADER);
    backgroundProgram = CallCreateProgram();
    copyProgram = CallCreateProgram();

    CallShaderSource(vertexShader, 1, &vMainObjectText, NULL);
    CallCompileShader(vertexShader);
    CallShaderSource(backgroundShader, 1, &fMainBackgroundText, NULL);
    CallCompileShader(backgroundShader);
    CallShaderSource(copyShader, 1, &fOffscreeCopyText, NULL);
    CallCompileShader(copyShader);

    // Only the first failure is shown; the set-up stops there, so nothing is
    // linked and no texture exists.
    if (!Compiled(vertexShader)) {
        ReportShaderError(vertexShader, "vMainObject shader error");
        return;
    }
    if (!Compiled(backgroundShader)) {
        ReportShaderError(backgroundShader, "fMainBackground shader error");
        return;
    }
    if (!Compiled(copyShader)) {
        ReportShaderError(copyShader, "fOffscreeCopy shader error");
        return;
    }

    CallAttachShader(backgroundProgram, vertexShader);
    CallAttachShader(backgroundProgram, backgroundShader);
    CallLinkProgram(backgroundProgram);
    CallAttachShader(copyProgram, vertexShader);
    CallAttachShader(copyProgram, copyShader);
    CallLinkProgram(copyProgram);

    glGenTextures(1, &targetTexture);
    PrepareTexture2D(targetTexture);
    // No contents: every frame copies the background in before reading it.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, targetWidth, targetHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, NULL);

    DecodeFontAtlas();
    UploadNoiseVolume();
    UploadFontAtlas();
}
