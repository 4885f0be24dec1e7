// modrender: plays a module once through libopenmpt, as the presentation's
// music layer does, into a 16-bit stereo WAV file at 44,100 Hz, for
// listening to and drawing.
//
//   modrender <module> <WAV to write>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstdint>
#include <vector>

static void PutLittle(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back((unsigned char)(value >> (8 * i)));
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <module> <WAV to write>\n", argv[0]);
        return 2;
    }
    FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<char> data;
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        data.insert(data.end(), buffer, buffer + got);
    std::fclose(in);
    openmpt_module* module = openmpt_module_create_from_memory2(
        data.data(), data.size(), openmpt_log_func_silent, NULL, openmpt_error_func_ignore, NULL,
        NULL, NULL, NULL);
    if (!module) {
        std::fprintf(stderr, "%s: not a module libopenmpt reads\n", argv[1]);
        return 1;
    }
    std::vector<int16_t> samples;
    int16_t block[2 * 4096];
    for (size_t frames; (frames = openmpt_module_read_interleaved_stereo(module, 44100, 4096, block)) > 0;)
        samples.insert(samples.end(), block, block + 2 * frames);
    openmpt_module_destroy(module);

    std::vector<unsigned char> wav;
    uint32_t bytes = (uint32_t)(samples.size() * 2);
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    PutLittle(wav, 36 + bytes, 4);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLittle(wav, 16, 4);
    PutLittle(wav, 1, 2);
    PutLittle(wav, 2, 2);
    PutLittle(wav, 44100, 4);
    PutLittle(wav, 44100 * 4, 4);
    PutLittle(wav, 4, 2);
    PutLittle(wav, 16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    PutLittle(wav, bytes, 4);
    for (int16_t s : samples)
        PutLittle(wav, (uint16_t)s, 2);
    FILE* out = std::fopen(argv[2], "wb");
    if (!out || std::fwrite(wav.data(), 1, wav.size(), out) != wav.size() || std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
