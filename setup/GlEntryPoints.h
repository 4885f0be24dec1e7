// The OpenGL 2.0 calls the system's base OpenGL library does not export,
// fetched by name at start-up into one table.
#pragma once

#include "platform/platform.h"

enum GlEntryPointSlot {
    createShaderSlot,
    createProgramSlot,
    shaderSourceSlot,
    compileShaderSlot,
    attachShaderSlot,
    linkProgramSlot,
    useProgramSlot,
    texImage3DSlot,
    getShaderivSlot,
    getShaderInfoLogSlot,
    glEntryPointCount
};

// The names looked up, slot by slot.
extern const char* const glEntryPointNames[glEntryPointCount];
// What the lookup gave, slot by slot; null (or another failure value) where
// the driver does not offer the call.
extern PROC glEntryPoints[glEntryPointCount];

// The calls' own types, ours so that they do not depend on the GL headers'
// version (the Windows cross compiler's are OpenGL 1.1).
typedef GLuint(APIENTRY* CreateShaderEntry)(GLenum type);
typedef GLuint(APIENTRY* CreateProgramEntry)(void);
typedef void(APIENTRY* ShaderSourceEntry)(GLuint shader, GLsizei count,
                                          const char* const* strings, const GLint* lengths);
typedef void(APIENTRY* CompileShaderEntry)(GLuint shader);
typedef void(APIENTRY* AttachShaderEntry)(GLuint program, GLuint shader);
typedef void(APIENTRY* LinkProgramEntry)(GLuint program);
typedef void(APIENTRY* UseProgramEntry)(GLuint program);
typedef void(APIENTRY* TexImage3DEntry)(GLenum target, GLint level, GLint internalFormat,
                                        GLsizei width, GLsizei height, GLsizei depth,
                                        GLint border, GLenum format, GLenum type,
                                        const void* pixels);
typedef void(APIENTRY* GetShaderivEntry)(GLuint shader, GLenum name, GLint* value);
typedef void(APIENTRY* GetShaderInfoLogEntry)(GLuint shader, GLsizei bufferSize,
                                              GLsizei* length, char* log);

// Stores wglGetProcAddress of each name in its slot, in slot order.
void FetchGlEntryPoints(void);

// Whether a lookup result is a usable function. Some Windows drivers answer
// an unknown name with 1, 2, 3 or -1 instead of null.
bool IsGlEntryPoint(PROC entry);

// A slot's pointer as its call's own type. Going through void (*)(void),
// the type that stands for any function, tells the compiler the cast from
// the lookup's generic type is meant.
template <typename Entry>
inline Entry GlEntryPoint(int slot)
{
    return (Entry)(void (*)(void))glEntryPoints[slot];
}

// The calls through the table, one per slot.
inline GLuint CallCreateShader(GLenum type)
{
    return GlEntryPoint<CreateShaderEntry>(createShaderSlot)(type);
}
inline GLuint CallCreateProgram(void)
{
    return GlEntryPoint<CreateProgramEntry>(createProgramSlot)();
}
inline void CallShaderSource(GLuint shader, GLsizei count, const char* const* strings,
                             const GLint* lengths)
{
    GlEntryPoint<ShaderSourceEntry>(shaderSourceSlot)(shader, count, strings, lengths);
}
inline void CallCompileShader(GLuint shader)
{
    GlEntryPoint<CompileShaderEntry>(compileShaderSlot)(shader);
}
inline void CallAttachShader(GLuint program, GLuint shader)
{
    GlEntryPoint<AttachShaderEntry>(attachShaderSlot)(program, shader);
}
inline void CallLinkProgram(GLuint program)
{
    GlEntryPoint<LinkProgramEntry>(linkProgramSlot)(program);
}
inline void CallUseProgram(GLuint program)
{
    GlEntryPoint<UseProgramEntry>(useProgramSlot)(program);
}
inline void CallTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                           GLsizei height, GLsizei depth, GLint border, GLenum format,
                           GLenum type, const void* pixels)
{
    GlEntryPoint<TexImage3DEntry>(texImage3DSlot)(target, level, internalFormat, width,
                                                     height, depth, border, format, type,
                                                     pixels);
}
inline void CallGetShaderiv(GLuint shader, GLenum name, GLint* value)
{
    GlEntryPoint<GetShaderivEntry>(getShaderivSlot)(shader, name, value);
}
inline void CallGetShaderInfoLog(GLuint shader, GLsizei bufferSize, GLsizei* length, char* log)
{
    GlEntryPoint<GetShaderInfoLogEntry>(getShaderInfoLogSlot)(shader, bufferSize, length,
                                                                 log);
}
