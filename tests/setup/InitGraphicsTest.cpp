// InitGraphics against a real OpenGL 2.0 driver (llvmpipe where there is no
// GPU), through the headless backend. The driver's own answers are read back
// with the GL calls themselves.
#define GL_GLEXT_PROTOTYPES 1

#include "platform/platform_headless.h"
#include "setup/FontAtlas.h"
#include "setup/GlEntryPoints.h"
#include "setup/InitGraphics.h"
#include "setup/NoiseVolume.h"
#include "shaders/ShaderTexts.h"
#include "shell/Presentation.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The shader names whose compile status InitGraphics asked for, in order.
std::vector<GLuint> statusQueries;
GetShaderivEntry driverGetShaderiv;

void APIENTRY RecordingGetShaderiv(GLuint shader, GLenum name, GLint* value)
{
    if (name == GL_COMPILE_STATUS)
        statusQueries.push_back(shader);
    driverGetShaderiv(shader, name, value);
}

class InitGraphicsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HeadlessOpen(640, 480)) << "no EGL display or OpenGL context";
        backgroundProgram = 0;
        copyProgram = 0;
        targetTexture = 0;
        noiseVolumeTexture = 0;
        fontAtlasTexture = 0;
        noiseSeed = 0;
        glEntryPointMissing = false;
        vMainObjectText = vMainObject;
        fMainBackgroundText = fMainBackground;
        fOffscreeCopyText = fOffscreeCopy;

        statusQueries.clear();
        driverGetShaderiv = (GetShaderivEntry)wglGetProcAddress("glGetShaderiv");
        HeadlessSetEntryPoint("glGetShaderiv", (PROC)RecordingGetShaderiv);
    }

    void TearDown() override
    {
        vMainObjectText = vMainObject;
        fMainBackgroundText = fMainBackground;
        fOffscreeCopyText = fOffscreeCopy;
        HeadlessClose();
    }
};

GLint ProgramValue(GLuint program, GLenum name)
{
    GLint value = -1;
    glGetProgramiv(program, name, &value);
    return value;
}

GLint TextureParameter(GLenum target, GLenum name)
{
    GLint value = -1;
    glGetTexParameteriv(target, name, &value);
    return value;
}

GLint LevelParameter(GLenum target, GLenum name)
{
    GLint value = -1;
    glGetTexLevelParameteriv(target, 0, name, &value);
    return value;
}

std::vector<GLuint> AttachedShaders(GLuint program)
{
    GLuint shaders[8];
    GLsizei count = 0;
    glGetAttachedShaders(program, 8, &count, shaders);
    return std::vector<GLuint>(shaders, shaders + count);
}

// What the driver says about a text of its own accord.
std::string CompilerLog(GLenum stage, const char* text)
{
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &text, NULL);
    glCompileShader(shader);
    char log[4096] = {};
    glGetShaderInfoLog(shader, sizeof log, NULL, log);
    glDeleteShader(shader);
    return log;
}

void ExpectNothingLinkedAndNoTexture()
{
    for (GLuint program : {backgroundProgram, copyProgram}) {
        EXPECT_TRUE(glIsProgram(program));
        EXPECT_EQ(ProgramValue(program, GL_LINK_STATUS), GL_FALSE);
        EXPECT_EQ(ProgramValue(program, GL_ATTACHED_SHADERS), 0);
    }
    for (GLuint name = 1; name <= 3; name++)
        EXPECT_FALSE(glIsTexture(name)) << "texture " << name;
    EXPECT_EQ(targetTexture, 0u);
    EXPECT_EQ(noiseVolumeTexture, 0u);
}

TEST_F(InitGraphicsTest, BuildsBothProgramsAndAllThreeTextures)
{
    InitGraphics();

    EXPECT_EQ(HeadlessMessageBoxCount(), 0);
    EXPECT_FALSE(glEntryPointMissing);
    EXPECT_EQ(statusQueries.size(), 3u);

    EXPECT_EQ(ProgramValue(backgroundProgram, GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(ProgramValue(copyProgram, GL_LINK_STATUS), GL_TRUE);
    // One vertex shader serves both programs.
    std::vector<GLuint> background = AttachedShaders(backgroundProgram);
    std::vector<GLuint> copy = AttachedShaders(copyProgram);
    ASSERT_EQ(background.size(), 2u);
    ASSERT_EQ(copy.size(), 2u);
    std::set<GLuint> all = {background[0], background[1], copy[0], copy[1]};
    EXPECT_EQ(all.size(), 3u);

    std::set<GLuint> textures = {targetTexture, noiseVolumeTexture, fontAtlasTexture};
    EXPECT_EQ(textures.size(), 3u);
    for (GLuint texture : textures)
        EXPECT_TRUE(glIsTexture(texture)) << "texture " << texture;

    // The noise volume stays bound and enabled for the frames to come.
    GLint bound3D = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_3D, &bound3D);
    EXPECT_EQ((GLuint)bound3D, noiseVolumeTexture);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_3D));
    EXPECT_EQ(LevelParameter(GL_TEXTURE_3D, GL_TEXTURE_WIDTH), 16);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_3D, GL_TEXTURE_HEIGHT), 16);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_3D, GL_TEXTURE_DEPTH), 16);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_3D, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R), GL_REPEAT);
    // Signed and at full precision, as generated.
    static float uploaded[noiseVolumeValues];
    glGetTexImage(GL_TEXTURE_3D, 0, GL_RGBA, GL_FLOAT, uploaded);
    EXPECT_EQ(memcmp(uploaded, noiseVolume, sizeof uploaded), 0);
    EXPECT_EQ(noiseSeed, 971128832u);

    glBindTexture(GL_TEXTURE_2D, targetTexture);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), 256);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// Texts the compiler refuses, each naming an identifier of its own so that
// the log shows which one was compiled.
const char brokenVertexText[] = "void main() { gl_Position = brokenVertexValue; }\n";
const char brokenBackgroundText[] = "void main() { gl_FragColor = brokenBackgroundValue; }\n";
const char brokenCopyText[] = "void main() { gl_FragColor = brokenCopyValue; }\n";

struct CompileFailureCase {
    const char* name;
    int firstBroken; // 0 vertex, 1 background, 2 copy; every later text is broken too
    const char* caption;
    GLenum stage;
    const char* brokenText;
    size_t statusQueries;
};

const CompileFailureCase compileFailureCases[] = {
    {"Vertex", 0, "vMainObject shader error", GL_VERTEX_SHADER, brokenVertexText, 1},
    {"Background", 1, "fMainBackground shader error", GL_FRAGMENT_SHADER, brokenBackgroundText, 2},
    {"Copy", 2, "fOffscreeCopy shader error", GL_FRAGMENT_SHADER, brokenCopyText, 3},
};

void PrintTo(const CompileFailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

class CompileFailureTest : public InitGraphicsTest,
                           public testing::WithParamInterface<CompileFailureCase> {
};

TEST_P(CompileFailureTest, ShowsTheFirstFailureWithItsLogAndBuildsNothingMore)
{
    const CompileFailureCase& failure = GetParam();
    if (failure.firstBroken <= 0)
        vMainObjectText = brokenVertexText;
    if (failure.firstBroken <= 1)
        fMainBackgroundText = brokenBackgroundText;
    fOffscreeCopyText = brokenCopyText;

    InitGraphics();

    ASSERT_EQ(HeadlessMessageBoxCount(), 1);
    EXPECT_STREQ(HeadlessMessageBoxCaption(0), failure.caption);
    EXPECT_EQ(HeadlessMessageBoxOwner(0), presentationWindow);
    std::string shown = HeadlessMessageBoxText(0);
    EXPECT_NE(shown, "");
    EXPECT_EQ(shown, CompilerLog(failure.stage, failure.brokenText));
    // The later shaders' status is never asked for.
    EXPECT_EQ(statusQueries.size(), failure.statusQueries);

    ExpectNothingLinkedAndNoTexture();
    // The noise values are made before any shader is compiled.
    EXPECT_EQ(noiseSeed, 971128832u);
}

INSTANTIATE_TEST_SUITE_P(EachShader, CompileFailureTest, testing::ValuesIn(compileFailureCases),
                         [](const testing::TestParamInfo<CompileFailureCase>& info) {
                             return std::string(info.param.name);
                         });

// A driver with more to say than the buffer holds: it fills the buffer to
// the last byte, without a terminator, and claims the given length.
GLsizei claimedLogLength;

void APIENTRY FloodingGetShaderInfoLog(GLuint, GLsizei bufferSize, GLsizei* length, char* log)
{
    memset(log, 'x', bufferSize);
    *length = claimedLogLength;
}

class LongLogTest : public InitGraphicsTest, public testing::WithParamInterface<GLsizei> {
};

TEST_P(LongLogTest, IsCutToTheBufferWithItsTerminatorInside)
{
    claimedLogLength = GetParam();
    HeadlessSetEntryPoint("glGetShaderInfoLog", (PROC)FloodingGetShaderInfoLog);
    vMainObjectText = brokenVertexText;

    InitGraphics();

    ASSERT_EQ(HeadlessMessageBoxCount(), 1);
    EXPECT_EQ(shaderLog[sizeof shaderLog - 1], '\0');
    EXPECT_EQ(std::string(HeadlessMessageBoxText(0)), std::string(sizeof shaderLog - 1, 'x'));
}

// 4095 is what an honest driver reports for a full buffer; the others are
// drivers that count the terminator or report the whole log.
INSTANTIATE_TEST_SUITE_P(ClaimedLengths, LongLogTest, testing::Values(4095, 4096, 100000));

TEST_F(InitGraphicsTest, MissingEntryPointsAreNamedAndNothingIsCalled)
{
    HeadlessSetEntryPoint("glCreateShader", NULL);
    // A failure value some Windows drivers give instead of null.
    HeadlessSetEntryPoint("glUseProgram", (PROC)(intptr_t)1);

    InitGraphics();

    EXPECT_TRUE(glEntryPointMissing);
    ASSERT_EQ(HeadlessMessageBoxCount(), 1);
    EXPECT_STREQ(HeadlessMessageBoxCaption(0), "vemlodar: OpenGL 2.0 entry point missing");
    EXPECT_EQ(HeadlessMessageBoxOwner(0), presentationWindow);
    // An introduction, then one missing name a line.
    std::istringstream lines(HeadlessMessageBoxText(0));
    std::string line;
    std::getline(lines, line);
    std::vector<std::string> named;
    while (std::getline(lines, line))
        named.push_back(line);
    EXPECT_EQ(named, (std::vector<std::string>{"glCreateShader", "glUseProgram"}));

    // Not a single GL object: the set-up stopped before its first table call.
    EXPECT_TRUE(statusQueries.empty());
    for (GLuint name = 1; name <= 5; name++) {
        EXPECT_FALSE(glIsShader(name)) << name;
        EXPECT_FALSE(glIsProgram(name)) << name;
        EXPECT_FALSE(glIsTexture(name)) << name;
    }
}

} // namespace
