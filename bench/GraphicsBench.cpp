// How long the graphics take on the OpenGL the headless backend finds (a
// GPU's EGL device, else Mesa's llvmpipe): InitGraphics split into shader
// compilation, linking and the rest, the background pass at 512 x 256 and the
// grain pass at 1920 x 1080. Every pass is timed to its glFinish, in wall-clock
// time, since a software rasteriser does its work on threads of its own.
#include "platform/platform_headless.h"
#include "setup/GlEntryPoints.h"
#include "setup/InitGraphics.h"
#include "setup/NoiseVolume.h"
#include "tests/shaders/ShaderPasses.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace
{

const int windowWidth = 1920;
const int windowHeight = 1080;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// InitGraphics reaches the driver's compiler and linker only through the
// entry-point table, so timing wrappers put in the table's place see every
// compile (with its status query, where a driver that compiles lazily does
// the work) and every link; the rest of InitGraphics is the remainder.
CompileShaderEntry realCompileShader;
GetShaderivEntry realGetShaderiv;
LinkProgramEntry realLinkProgram;
double compileMilliseconds;
double linkMilliseconds;

void APIENTRY TimedCompileShader(GLuint shader)
{
    Clock::time_point start = Clock::now();
    realCompileShader(shader);
    compileMilliseconds += MillisecondsSince(start);
}

void APIENTRY TimedGetShaderiv(GLuint shader, GLenum name, GLint* value)
{
    Clock::time_point start = Clock::now();
    realGetShaderiv(shader, name, value);
    compileMilliseconds += MillisecondsSince(start);
}

void APIENTRY TimedLinkProgram(GLuint program)
{
    Clock::time_point start = Clock::now();
    realLinkProgram(program);
    linkMilliseconds += MillisecondsSince(start);
}

bool graphicsReady;

void OpenWithTimedEntryPoints()
{
    if (!HeadlessOpen(windowWidth, windowHeight)) {
        std::fprintf(stderr, "no EGL display or OpenGL context\n");
        std::exit(1);
    }
    realCompileShader = reinterpret_cast<CompileShaderEntry>(wglGetProcAddress("glCompileShader"));
    realGetShaderiv = reinterpret_cast<GetShaderivEntry>(wglGetProcAddress("glGetShaderiv"));
    realLinkProgram = reinterpret_cast<LinkProgramEntry>(wglGetProcAddress("glLinkProgram"));
    HeadlessSetEntryPoint("glCompileShader", reinterpret_cast<PROC>(TimedCompileShader));
    HeadlessSetEntryPoint("glGetShaderiv", reinterpret_cast<PROC>(TimedGetShaderiv));
    HeadlessSetEntryPoint("glLinkProgram", reinterpret_cast<PROC>(TimedLinkProgram));
    compileMilliseconds = 0;
    linkMilliseconds = 0;
    // Each run of InitGraphics starts from the generator's first state, as a
    // fresh process does.
    noiseSeed = 0;
}

void DrawGrain(float presentationTime)
{
    DrawGrainAt(presentationTime, windowWidth, windowHeight);
}

// The first draw with each program also pays for the driver's code generation
// (llvmpipe compiles the shaders to machine code then); reported on its own.
double firstBackgroundMilliseconds;
double firstGrainMilliseconds;

void MakeGraphicsReady()
{
    if (graphicsReady)
        return;
    OpenWithTimedEntryPoints();
    InitGraphics();
    Clock::time_point start = Clock::now();
    DrawBackgroundAt(0.0f);
    firstBackgroundMilliseconds = MillisecondsSince(start);
    // The background just drawn becomes the picture the grain pass enlarges.
    CopyBackgroundToTarget();
    start = Clock::now();
    DrawGrain(0.0f);
    firstGrainMilliseconds = MillisecondsSince(start);
    graphicsReady = true;
}

void InitGraphicsTime(benchmark::State& state)
{
    double compile = 0, link = 0, total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        HeadlessClose();
        OpenWithTimedEntryPoints();
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        InitGraphics();
        glFinish();
        total += MillisecondsSince(start);
        compile += compileMilliseconds;
        link += linkMilliseconds;
    }
    // What is left open is a context with every object built, as the passes
    // below need it; their first draws are still to come.
    graphicsReady = false;
    HeadlessClose();
    double runs = static_cast<double>(state.iterations());
    state.counters["compile_ms"] = compile / runs;
    state.counters["link_ms"] = link / runs;
    state.counters["rest_ms"] = (total - compile - link) / runs;
}

void BackgroundPass(benchmark::State& state)
{
    MakeGraphicsReady();
    float presentationTime = 2.5f;
    for (auto _ : state) {
        DrawBackgroundAt(presentationTime);
        presentationTime += 0.04f;
    }
    state.counters["first_draw_ms"] = firstBackgroundMilliseconds;
}

void GrainPass(benchmark::State& state)
{
    MakeGraphicsReady();
    float presentationTime = 2.5f;
    for (auto _ : state) {
        DrawGrain(presentationTime);
        presentationTime += 0.04f;
    }
    state.counters["first_draw_ms"] = firstGrainMilliseconds;
}

}

BENCHMARK(InitGraphicsTime)->Name("InitGraphics")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BackgroundPass)->Name("BackgroundPass512x256")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(GrainPass)->Name("GrainPass1920x1080")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

int main(int argc, char** argv)
{
    // A driver's on-disk shader cache would turn every compile after the
    // first into a look-up; the compile time wanted is the one a first run
    // of the presentation pays. Set the variable yourself to measure with it.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    if (!HeadlessOpen(64, 64)) {
        std::fprintf(stderr, "no EGL display or OpenGL context\n");
        return 1;
    }
    std::printf("GL_RENDERER: %s\nGL_VERSION: %s\n", HeadlessRenderer(),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    HeadlessClose();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    HeadlessClose();
    return 0;
}
