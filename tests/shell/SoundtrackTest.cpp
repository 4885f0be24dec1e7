// The music calls on the real output path: SDL's "disk" audio driver writes
// what would have been played to a file, in real time, as 16-bit stereo at
// 44,100 Hz.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/bassmod.h"
#include "tests/shell/ModuleWriter.h"

static const long bytesPerSecond = 44100 * 2 * 2;

static std::string folder;
static std::string outputFile;

static long OutputSize(void)
{
    struct stat info;
    return stat(outputFile.c_str(), &info) == 0 ? (long)info.st_size : 0;
}

static long At(long start, double seconds)
{
    return (start + (long)(seconds * bytesPerSecond)) & ~3L;
}

// Share of the samples in [from, to) of the output that are clearly audible.
static double LoudShare(long from, long to)
{
    std::vector<short> samples((size_t)(to - from) / 2);
    FILE* file = fopen(outputFile.c_str(), "rb");
    if (!file || fseek(file, from, SEEK_SET) != 0) {
        if (file)
            fclose(file);
        return -1;
    }
    size_t got = fread(samples.data(), 2, samples.size(), file);
    fclose(file);
    if (got != samples.size())
        return -1;
    size_t loud = 0;
    for (short sample : samples)
        if (sample > 256 || sample < -256)
            loud++;
    return (double)loud / (double)samples.size();
}

// The disk driver writes in real time, or slower on a busy machine: wait
// until the output holds what was asked for, or give up after a while.
static bool WaitForOutput(long size)
{
    for (int tries = 0; tries < 400 && OutputSize() < size; tries++)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return OutputSize() >= size;
}

class Soundtrack : public ::testing::Test {
protected:
    // One output device for the whole process, as in the presentation.
    static void SetUpTestSuite()
    {
        static bool initialised;
        if (initialised)
            return;
        initialised = true;
        char pattern[] = "/tmp/vemlodar-soundtrack-XXXXXX";
        folder = mkdtemp(pattern);
        outputFile = folder + "/played.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", outputFile.c_str(), 1);
        ASSERT_TRUE(BASSMOD_Init(-1, 44100, 16));
    }

    void TearDown() override { BASSMOD_MusicFree(); }
};

struct LoopCase {
    const char* name;
    DWORD flags;
    bool soundsAfterTheEnd;
};

class SoundtrackLooping : public Soundtrack, public ::testing::WithParamInterface<LoopCase> {};

TEST_P(SoundtrackLooping, PlaysThenLoopsOrEndsThenStops)
{
    std::string module = folder + "/orvanth - fenwarrow_s vessick..mod";
    ASSERT_TRUE(WriteTestModule(module));
    ASSERT_TRUE(BASSMOD_MusicLoad(FALSE, module.c_str(), 0, 0, GetParam().flags));

    long start = OutputSize();
    ASSERT_TRUE(BASSMOD_MusicPlay());
    ASSERT_TRUE(WaitForOutput(At(start, testModuleSeconds + 0.7)));

    EXPECT_GT(LoudShare(At(start, 0.3), At(start, 1.5)), 0.5) << "silent while playing";
    double afterTheEnd = LoudShare(At(start, testModuleSeconds + 0.2), At(start, testModuleSeconds + 0.6));
    if (GetParam().soundsAfterTheEnd)
        EXPECT_GT(afterTheEnd, 0.5) << "the loop did not start over";
    else
        EXPECT_EQ(afterTheEnd, 0.0) << "played past its end without looping";

    BASSMOD_MusicStop();
    long stopped = OutputSize();
    ASSERT_TRUE(WaitForOutput(At(stopped, 0.5)));
    // What the device had buffered before the stop may still come out.
    EXPECT_EQ(LoudShare(At(stopped, 0.1), At(stopped, 0.4)), 0.0) << "still sounding after stop";
}

INSTANTIATE_TEST_SUITE_P(Flags, SoundtrackLooping,
                         ::testing::Values(LoopCase{"LoopFlagStartsOver", BASSMOD_MUSIC_LOOP, true},
                                           LoopCase{"WithoutLoopFlagEnds", 0, false}),
                         [](const ::testing::TestParamInfo<LoopCase>& info) {
                             return std::string(info.param.name);
                         });

struct BadFileCase {
    const char* name;
    void (*make)(const std::string& path);
};

class SoundtrackBadFile : public Soundtrack, public ::testing::WithParamInterface<BadFileCase> {};

// Each bad file leaves the output silent, and no call blocks or fails loudly.
TEST_P(SoundtrackBadFile, GivesSilence)
{
    std::string path = folder + "/" + GetParam().name + ".mod";
    GetParam().make(path);

    auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(BASSMOD_MusicLoad(FALSE, path.c_str(), 0, 0, BASSMOD_MUSIC_LOOP));
    EXPECT_FALSE(BASSMOD_MusicPlay());
    double loading = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    // Not a measure of speed: a bound that only a call that blocks would exceed.
    EXPECT_LT(loading, 5.0) << "refusing the file blocked";

    long start = OutputSize();
    ASSERT_TRUE(WaitForOutput(At(start, 0.6)));
    EXPECT_EQ(LoudShare(At(start, 0.1), At(start, 0.5)), 0.0);
    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
}

static void MakeNothing(const std::string&)
{
}

static void MakeEmptyFile(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    fclose(file);
}

static void MakeRandomBytes(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    unsigned state = 12345;
    for (int i = 0; i < 65536; i++) {
        state = state * 1103515245u + 12345u;
        fputc((int)(state >> 24), file);
    }
    fclose(file);
}

static void MakeDirectory(const std::string& path)
{
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, SoundtrackBadFile,
                         ::testing::Values(BadFileCase{"MissingFile", MakeNothing},
                                           BadFileCase{"ZeroByteFile", MakeEmptyFile},
                                           BadFileCase{"RandomBytes", MakeRandomBytes},
                                           BadFileCase{"Directory", MakeDirectory}),
                         [](const ::testing::TestParamInfo<BadFileCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Soundtrack, CallsWithoutAModuleDoNothing)
{
    EXPECT_FALSE(BASSMOD_MusicPlay());
    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
    BASSMOD_MusicFree();
}
