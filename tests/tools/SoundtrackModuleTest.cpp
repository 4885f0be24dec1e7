// The committed soundtrack: a ProTracker module any player plays, long,
// audible and unclipped, and still sounding after its end when our music
// calls loop it.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <math.h>
#include <stdint.h>
#include <stdio.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/bassmod.h"
#include "platform/music_output.h"

static const char* const modulePath = SOURCE_DIR "/orvanth - fenwarrow_s vessick..mod";
static const int rate = 44100;

static std::vector<unsigned char> ModuleFile(void)
{
    std::vector<unsigned char> bytes;
    FILE* file = fopen(modulePath, "rb");
    if (!file)
        return bytes;
    for (int c; (c = fgetc(file)) != EOF;)
        bytes.push_back((unsigned char)c);
    fclose(file);
    return bytes;
}

static openmpt_module* LoadModule(const std::vector<unsigned char>& bytes)
{
    return openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                              NULL, openmpt_error_func_ignore, NULL, NULL, NULL,
                                              NULL);
}

static double Decibels(double level)
{
    return 20.0 * log10(level);
}

static unsigned Word(const std::vector<unsigned char>& bytes, size_t at)
{
    return (unsigned)bytes[at] << 8 | bytes[at + 1];
}

// The layout is ProTracker's own and the pattern data uses nothing a player
// of the format might lack: notes from its period table (C-1 to B-3),
// samples that exist, and the effects arpeggio, portamento, vibrato, volume
// slide, set volume, pattern break and speed.
TEST(SoundtrackModule, IsAProTrackerModuleEveryPlayerPlays)
{
    std::vector<unsigned char> bytes = ModuleFile();
    ASSERT_GE(bytes.size(), 1084u) << modulePath;
    EXPECT_EQ(std::string(bytes.begin() + 1080, bytes.begin() + 1084), "M.K.");
    unsigned songLength = bytes[950];
    ASSERT_GE(songLength, 1u);
    ASSERT_LE(songLength, 128u);
    unsigned patterns = 0;
    for (unsigned i = 0; i < 128; ++i)
        patterns = bytes[952 + i] + 1 > patterns ? bytes[952 + i] + 1u : patterns;
    ASSERT_LE(patterns, 64u);

    size_t sampleBytes = 0;
    std::vector<bool> present(32, false);
    for (int s = 0; s < 31; ++s) {
        size_t header = 20 + 30 * (size_t)s;
        unsigned length = Word(bytes, header + 22), loopStart = Word(bytes, header + 26),
                 loopLength = Word(bytes, header + 28);
        SCOPED_TRACE("sample " + std::to_string(s + 1));
        EXPECT_EQ(bytes[header + 24], 0) << "finetune: the samples are made in tune";
        EXPECT_LE(bytes[header + 25], 64);
        if (length) {
            EXPECT_GE(loopLength, 1u);
            EXPECT_LE(loopStart + loopLength, length) << "loop beyond the sample";
        }
        present[(size_t)s + 1] = length > 0;
        sampleBytes += 2 * (size_t)length;
    }
    ASSERT_EQ(bytes.size(), 1084 + 1024 * (size_t)patterns + sampleBytes)
        << "headers, patterns and samples do not add up to the file";
    // A sample that plays once repeats its first word after its end.
    size_t data = 1084 + 1024 * (size_t)patterns;
    for (int s = 0; s < 31; ++s) {
        size_t header = 20 + 30 * (size_t)s;
        unsigned length = Word(bytes, header + 22);
        if (length && Word(bytes, header + 28) == 1)
            EXPECT_TRUE(bytes[data] == 0 && bytes[data + 1] == 0)
                << "sample " << s + 1 << " plays once but does not start with silence";
        data += 2 * (size_t)length;
    }

    static const unsigned periods[36] = {
        856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
        428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
        214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
    const std::string allowedEffects = "01234ACDF";
    const char* const hex = "0123456789ABCDEF";
    int notes = 0;
    for (unsigned p = 0; p < patterns; ++p)
        for (int row = 0; row < 64; ++row)
            for (int channel = 0; channel < 4; ++channel) {
                const unsigned char* cell = &bytes[1084 + 1024 * p + 16 * (size_t)row + 4 * channel];
                unsigned period = (cell[0] & 0x0F) << 8 | cell[1];
                unsigned sample = (cell[0] & 0xF0) | cell[2] >> 4;
                char effect = hex[cell[2] & 0x0F];
                unsigned parameter = cell[3];
                std::string where = "pattern " + std::to_string(p) + " row " + std::to_string(row) +
                                    " channel " + std::to_string(channel + 1);
                if (period) {
                    bool inTable = false;
                    for (unsigned known : periods)
                        inTable = inTable || known == period;
                    EXPECT_TRUE(inTable) << where << ": period " << period;
                    ++notes;
                }
                if (sample)
                    EXPECT_TRUE(sample <= 31 && present[sample]) << where << ": sample " << sample;
                EXPECT_NE(allowedEffects.find(effect), std::string::npos)
                    << where << ": effect " << effect;
                if (effect == 'C')
                    EXPECT_LE(parameter, 64u) << where;
                if (effect == 'F')
                    EXPECT_NE(parameter, 0u) << where << ": speed 0 stops some players";
            }
    EXPECT_GT(notes, 1000) << "hardly any notes";
}

TEST(SoundtrackModule, LoadsAsFourChannelsAndPlaysAtLeastNinetySecondsBeforeItRepeats)
{
    std::vector<unsigned char> bytes = ModuleFile();
    openmpt_module* module = LoadModule(bytes);
    ASSERT_TRUE(module) << modulePath;
    EXPECT_EQ(openmpt_module_get_num_channels(module), 4);
    EXPECT_EQ(openmpt_module_get_num_subsongs(module), 1) << "part of the song is never reached";
    const char* type = openmpt_module_get_metadata(module, "type");
    EXPECT_STREQ(type, "mod");
    openmpt_free_string(type);
    double seconds = openmpt_module_get_duration_seconds(module);
    printf("length: %.2f s\n", seconds);
    EXPECT_GE(seconds, 90.0);

    // Played on past its end, it comes back to its first pattern: two
    // seconds later it is at the first order's thirteenth row (0.15 s a row).
    openmpt_module_set_repeat_count(module, -1);
    std::vector<float> block(2 * 4096);
    size_t frames = (size_t)((seconds + 2.0) * rate);
    for (size_t done = 0; done < frames;)
        done += openmpt_module_read_interleaved_float_stereo(module, rate, 4096, block.data());
    EXPECT_EQ(openmpt_module_get_current_order(module), 0);
    EXPECT_NEAR(openmpt_module_get_current_row(module), 13, 1);
    openmpt_module_destroy(module);
}

// Rendered once in floating point, where an overload shows as a value past
// 1.0 instead of being clipped away: loud enough to be music, with headroom
// left, and never silent for long. libopenmpt mixes four full-scale samples
// at full volume to about -1.4 dBFS; a peak below -2 dBFS leaves room for
// players that mix a little hotter, BASSMOD among them.
TEST(SoundtrackModule, RenderedItIsNeitherSilentNorClipped)
{
    std::vector<unsigned char> bytes = ModuleFile();
    openmpt_module* module = LoadModule(bytes);
    ASSERT_TRUE(module) << modulePath;
    std::vector<float> samples;
    std::vector<float> block(2 * 4096);
    for (size_t got; (got = openmpt_module_read_interleaved_float_stereo(module, rate, 4096, block.data())) > 0;)
        samples.insert(samples.end(), block.begin(), block.begin() + 2 * (long)got);
    openmpt_module_destroy(module);
    ASSERT_FALSE(samples.empty());

    double peak = 0.0, energy = 0.0;
    for (float s : samples) {
        peak = fabs(s) > peak ? fabs(s) : peak;
        energy += (double)s * s;
    }
    double mean = sqrt(energy / samples.size());
    printf("peak %.2f dBFS, mean (RMS) %.2f dBFS\n", Decibels(peak), Decibels(mean));
    EXPECT_LT(Decibels(peak), -2.0) << "no headroom: a player that mixes a little louder clips";
    EXPECT_GT(Decibels(mean), -30.0) << "too quiet to be heard over a room";

    // Seconds in which almost nothing sounds, end to end.
    const size_t second = 2 * (size_t)rate;
    int quietRun = 0, longestQuietRun = 0;
    for (size_t from = 0; from + second <= samples.size(); from += second) {
        double e = 0.0;
        for (size_t i = from; i < from + second; ++i)
            e += (double)samples[i] * samples[i];
        quietRun = Decibels(sqrt(e / second)) < -60.0 ? quietRun + 1 : 0;
        longestQuietRun = quietRun > longestQuietRun ? quietRun : longestQuietRun;
    }
    EXPECT_LE(longestQuietRun, 2) << "seconds of silence in a row";
}

// The stand-in sound device: open at 44,100 Hz, and played only when the test
// asks for the next stretch of output.
int OpenMusicOutput(int device, DWORD)
{
    return device == 0 ? 0 : rate;
}

void LockMusicOutput(void)
{
}

void UnlockMusicOutput(void)
{
}

struct LoopCase {
    const char* name;
    DWORD flags;
    bool soundsAfterTheEnd;
};

static void PrintTo(const LoopCase& loopCase, std::ostream* out)
{
    *out << loopCase.name;
}

class SoundtrackThroughTheMusicCalls : public ::testing::TestWithParam<LoopCase> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(BASSMOD_Init(-1, rate, 16) || initialised); initialised = true; }
    void TearDown() override { BASSMOD_MusicFree(); }
    static bool initialised;
};
bool SoundtrackThroughTheMusicCalls::initialised;

// Share of the samples in [from, to) seconds that are clearly audible.
static double LoudShare(const std::vector<int16_t>& played, double from, double to)
{
    size_t first = 2 * (size_t)(from * rate), last = 2 * (size_t)(to * rate);
    size_t loud = 0;
    for (size_t i = first; i < last && i < played.size(); ++i)
        loud += played[i] > 256 || played[i] < -256;
    return (double)loud / (double)(last - first);
}

TEST_P(SoundtrackThroughTheMusicCalls, SoundsPastItsEndOnlyWhenLooped)
{
    std::vector<unsigned char> bytes = ModuleFile();
    openmpt_module* module = LoadModule(bytes);
    ASSERT_TRUE(module) << modulePath;
    double seconds = openmpt_module_get_duration_seconds(module);
    openmpt_module_destroy(module);

    ASSERT_TRUE(BASSMOD_MusicLoad(FALSE, modulePath, 0, 0, GetParam().flags));
    ASSERT_TRUE(BASSMOD_MusicPlay());
    std::vector<int16_t> played;
    int16_t block[2 * 1024];
    while (played.size() < 2 * (size_t)((seconds + 4.0) * rate)) {
        RenderMusic(block, 1024);
        played.insert(played.end(), block, block + 2 * 1024);
    }
    BASSMOD_MusicStop();

    EXPECT_GT(LoudShare(played, 10.0, 13.0), 0.5) << "silent while playing";
    double afterTheEnd = LoudShare(played, seconds + 0.5, seconds + 3.5);
    if (GetParam().soundsAfterTheEnd)
        EXPECT_GT(afterTheEnd, 0.5) << "the loop did not start over";
    else
        EXPECT_EQ(afterTheEnd, 0.0) << "played past its end without looping";
}

INSTANTIATE_TEST_SUITE_P(Flags, SoundtrackThroughTheMusicCalls,
                         ::testing::Values(LoopCase{"LoopFlagStartsOver", BASSMOD_MUSIC_LOOP, true},
                                           LoopCase{"WithoutLoopFlagEnds", 0, false}),
                         [](const ::testing::TestParamInfo<LoopCase>& info) {
                             return std::string(info.param.name);
                         });
