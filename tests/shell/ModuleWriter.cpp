#include "tests/shell/ModuleWriter.h"

#include <stdio.h>

static void PutBigEndian16(std::vector<unsigned char>& out, size_t at, unsigned value)
{
    out[at] = (unsigned char)(value >> 8);
    out[at + 1] = (unsigned char)value;
}

std::vector<unsigned char> TestModule(void)
{
    const size_t sampleHeaders = 20;
    const size_t songLengthAt = sampleHeaders + 31 * 30;
    const size_t signatureAt = songLengthAt + 2 + 128;
    const size_t patternAt = signatureAt + 4;
    const size_t patternBytes = 64 * 4 * 4;
    const unsigned sampleBytes = 64;

    std::vector<unsigned char> module(patternAt + patternBytes + sampleBytes, 0);
    const char title[] = "vemlodar test chord";
    for (size_t i = 0; i + 1 < sizeof title; i++)
        module[i] = (unsigned char)title[i];

    // Sample 1: one cycle of a square wave, looped over its whole length.
    size_t sample = sampleHeaders;
    PutBigEndian16(module, sample + 22, sampleBytes / 2);
    module[sample + 24] = 0;
    module[sample + 25] = 48;
    PutBigEndian16(module, sample + 26, 0);
    PutBigEndian16(module, sample + 28, sampleBytes / 2);

    module[songLengthAt] = 1;
    module[songLengthAt + 1] = 127;
    module[signatureAt + 0] = 'M';
    module[signatureAt + 1] = '.';
    module[signatureAt + 2] = 'K';
    module[signatureAt + 3] = '.';

    // Row 0: C, E, G and the upper C, all with sample 1.
    const unsigned periods[4] = {428, 339, 285, 214};
    for (int channel = 0; channel < 4; channel++) {
        size_t note = patternAt + (size_t)channel * 4;
        module[note + 0] = (unsigned char)(0x00 | (periods[channel] >> 8));
        module[note + 1] = (unsigned char)(periods[channel] & 0xFF);
        module[note + 2] = 0x10;
        module[note + 3] = 0x00;
    }
    // Row 15, channel 0: pattern break, so the song ends after 16 rows.
    size_t breakCell = patternAt + (15 * 4 + 0) * 4;
    module[breakCell + 2] = 0x0D;
    module[breakCell + 3] = 0x00;

    size_t data = patternAt + patternBytes;
    for (unsigned i = 0; i < sampleBytes; i++)
        module[data + i] = (unsigned char)(i < sampleBytes / 2 ? 100 : (256 - 100));
    return module;
}

bool WriteTestModule(const std::string& path)
{
    std::vector<unsigned char> module = TestModule();
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(module.data(), 1, module.size(), file) == module.size();
    return fclose(file) == 0 && ok;
}
