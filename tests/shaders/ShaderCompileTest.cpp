// The shader texts as the program holds them, handed to Mesa's compiler.
#define GL_GLEXT_PROTOTYPES 1

#include "platform/platform_headless.h"
#include "shaders/ShaderTexts.h"

#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct ShaderText {
    const char* name;
    const char* text;
};

const ShaderText shaderTexts[] = {
    {"vMainObject", vMainObject},
    {"fMainBackground", fMainBackground},
    {"fOffscreeCopy", fOffscreeCopy},
};

TEST(ShaderTexts, EmbeddedTextsAreTheirFilesByteForByte)
{
    for (const ShaderText& shader : shaderTexts) {
        std::ifstream file(std::string(SHADER_TEXT_DIRECTORY) + "/" + shader.name + ".glsl",
                           std::ios::binary);
        ASSERT_TRUE(file) << shader.name;
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_EQ(std::string(shader.text), bytes) << shader.name;
        // Passed to the compiler as they are: the language level is 1.10 by
        // having no version line at all.
        EXPECT_EQ(bytes.find("#version"), std::string::npos) << shader.name;
    }
}

class ShaderCompileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HeadlessOpen(64, 64)) << "no EGL display or OpenGL context";
    }
    void TearDown() override { HeadlessClose(); }

    GLuint Compile(GLenum stage, const char* text)
    {
        GLuint shader = glCreateShader(stage);
        glShaderSource(shader, 1, &text, NULL);
        glCompileShader(shader);
        GLint status = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        char log[4096] = {};
        glGetShaderInfoLog(shader, sizeof log, NULL, log);
        EXPECT_EQ(status, GL_TRUE) << log;
        return shader;
    }

    GLuint Link(GLuint vertexShader, GLuint fragmentShader)
    {
        GLuint program = glCreateProgram();
        glAttachShader(program, vertexShader);
        glAttachShader(program, fragmentShader);
        glLinkProgram(program);
        GLint status = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &status);
        char log[4096] = {};
        glGetProgramInfoLog(program, sizeof log, NULL, log);
        EXPECT_EQ(status, GL_TRUE) << log;
        return program;
    }
};

// Each program's one uniform of its own (built-in state such as
// gl_ModelViewMatrix aside) is the sampler, left at texture unit 0.
void ExpectOnlySampler(GLuint program, const char* name, GLenum type)
{
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    std::vector<std::string> own;
    GLenum ownType = 0;
    for (GLint i = 0; i < count; i++) {
        char activeName[64] = {};
        GLint size = 0;
        GLenum activeType = 0;
        glGetActiveUniform(program, i, sizeof activeName, NULL, &size, &activeType, activeName);
        if (strncmp(activeName, "gl_", 3) == 0)
            continue;
        own.push_back(activeName);
        ownType = activeType;
    }
    ASSERT_EQ(own, std::vector<std::string>{name});
    EXPECT_EQ(ownType, type);
    GLint unit = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &unit);
    EXPECT_EQ(unit, 0);
}

TEST_F(ShaderCompileTest, TextsCompileAndLinkAsTheyStand)
{
    GLuint vertexShader = Compile(GL_VERTEX_SHADER, vMainObject);
    GLuint backgroundShader = Compile(GL_FRAGMENT_SHADER, fMainBackground);
    GLuint copyShader = Compile(GL_FRAGMENT_SHADER, fOffscreeCopy);

    GLuint backgroundProgram = Link(vertexShader, backgroundShader);
    GLuint copyProgram = Link(vertexShader, copyShader);

    ExpectOnlySampler(backgroundProgram, "Texture0", GL_SAMPLER_3D);
    ExpectOnlySampler(copyProgram, "t", GL_SAMPLER_2D);
}

} // namespace
