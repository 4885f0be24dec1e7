#include "tools/capture/OfflineSoundtrack.h"

#include "tools/capture/VideoEncoder.h"

#include <libopenmpt/libopenmpt.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

const char soundtrackFile[] = "orvanth - fenwarrow_s vessick..mod";

namespace
{

// Modules larger than this are not music but a mistake.
const long maxModuleBytes = 64L * 1024 * 1024;

bool ReadWholeFile(const char* name, std::vector<char>* data)
{
    struct stat info;
    if (stat(name, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxModuleBytes)
        return false;
    FILE* file = fopen(name, "rb");
    if (!file)
        return false;
    data->resize((size_t)info.st_size);
    bool ok = fread(data->data(), 1, data->size(), file) == data->size();
    fclose(file);
    return ok;
}

void PutLittleEndian(unsigned char* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        at[i] = (unsigned char)(value >> (8 * i));
}

long long SampleAtFrame(long long k, double fps)
{
    return std::llround((double)k * soundtrackRate / fps);
}

}

std::string RenderSoundtrack(long long first, long long end, double fps, int wavFile)
{
    std::vector<char> data;
    if (!ReadWholeFile(soundtrackFile, &data))
        return std::string("silent: no soundtrack \"") + soundtrackFile +
               "\" in the current folder, so the video has no sound";
    openmpt_module* music = openmpt_module_create_from_memory2(
        data.data(), data.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    if (!music)
        return std::string("silent: \"") + soundtrackFile +
               "\" is no module libopenmpt reads, so the video has no sound";
    // The presentation loads it looping: a module shorter than the run
    // starts over.
    openmpt_module_set_repeat_count(music, -1);
    // The 16-bit output is dithered from a randomly seeded generator by
    // default: two captures of the same range would differ in the last bit,
    // and parts captured apart would not join into the whole.
    openmpt_module_ctl_set_integer(music, "dither", 0);

    long long skip = SampleAtFrame(first, fps);
    long long wanted = SampleAtFrame(end, fps) - skip;
    // A 16-bit stereo WAV holds at most 4 GiB of samples.
    if (wanted * 4 > 0xFFFFFFFFLL - 44) {
        openmpt_module_destroy(music);
        return "the soundtrack of so long a range does not fit a WAV file";
    }

    unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0};
    uint32_t dataBytes = (uint32_t)(wanted * 4);
    PutLittleEndian(header + 4, 36 + dataBytes, 4);
    PutLittleEndian(header + 24, soundtrackRate, 4);
    PutLittleEndian(header + 28, soundtrackRate * 4, 4);
    PutLittleEndian(header + 32, 4, 2);
    PutLittleEndian(header + 34, 16, 2);
    memcpy(header + 36, "data", 4);
    PutLittleEndian(header + 40, dataBytes, 4);
    bool ok = WriteAll(wavFile, header, sizeof header);

    // Played from the start rather than sought to: seeking lands on a row,
    // not on a sample, and knows nothing of the loops before it. Decoding
    // is hundreds of times faster than real time.
    const size_t chunk = 4096;
    std::vector<int16_t> samples(chunk * 2);
    long long done = -skip;
    while (ok && done < wanted) {
        size_t count = chunk;
        if (done < 0 && (long long)count > -done)
            count = (size_t)-done;
        else if (done >= 0 && (long long)count > wanted - done)
            count = (size_t)(wanted - done);
        size_t got = openmpt_module_read_interleaved_stereo(music, soundtrackRate, count,
                                                            samples.data());
        // A module that ends all the same is silent from there on.
        memset(samples.data() + got * 2, 0, (count - got) * 2 * sizeof(int16_t));
        if (done >= 0)
            ok = WriteAll(wavFile, samples.data(), count * 2 * sizeof(int16_t));
        done += (long long)count;
    }
    openmpt_module_destroy(music);
    if (!ok)
        return std::string("cannot write the soundtrack: ") + strerror(errno);
    return "";
}
