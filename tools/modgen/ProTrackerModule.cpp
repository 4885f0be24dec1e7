#include "tools/modgen/ProTrackerModule.h"

#include <cstdio>
#include <cstring>

const unsigned notePeriods[noteCount] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

bool Pattern::operator==(const Pattern& other) const
{
    for (int row = 0; row < patternRows; ++row)
        for (int channel = 0; channel < moduleChannels; ++channel) {
            const Cell& a = cells[row][channel];
            const Cell& b = other.cells[row][channel];
            if (a.note != b.note || a.sample != b.sample || a.effect != b.effect ||
                a.parameter != b.parameter)
                return false;
        }
    return true;
}

namespace {

void PutText(std::vector<unsigned char>& out, const std::string& text, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        out.push_back(i < text.size() ? (unsigned char)text[i] : 0);
}

void PutWord(std::vector<unsigned char>& out, unsigned value)
{
    out.push_back((unsigned char)(value >> 8));
    out.push_back((unsigned char)value);
}

bool Fail(std::string& problem, const char* what, int index)
{
    char line[160];
    std::snprintf(line, sizeof line, what, index);
    problem = line;
    return false;
}

bool SampleFits(const ModuleSample& sample, int number, std::string& problem)
{
    size_t length = sample.data.size();
    if (sample.name.size() > 22)
        return Fail(problem, "sample %d: name longer than 22 characters", number);
    if (length % 2 || length > 2 * 65535)
        return Fail(problem, "sample %d: length odd or beyond 131,070 bytes", number);
    if (sample.volume > 64)
        return Fail(problem, "sample %d: volume above 64", number);
    if (sample.loopStart % 2 || sample.loopLength % 2 ||
        sample.loopStart + sample.loopLength > length)
        return Fail(problem, "sample %d: loop odd or beyond the sample's end", number);
    // A sample that plays once repeats its first word for ever afterwards,
    // so that word must be silence.
    if (!sample.loopLength && length && (sample.data[0] || sample.data[1]))
        return Fail(problem, "sample %d: plays once but does not start with silence", number);
    return true;
}

bool CellFits(const Cell& cell, int pattern, std::string& problem)
{
    if (cell.note < -1 || cell.note >= noteCount)
        return Fail(problem, "pattern %d: note outside C-1..B-3", pattern);
    if (cell.sample < 0 || cell.sample > maxSamples || cell.effect < 0 || cell.effect > 15 ||
        cell.parameter < 0 || cell.parameter > 255)
        return Fail(problem, "pattern %d: sample, effect or parameter out of range", pattern);
    return true;
}

} // namespace

std::vector<unsigned char> ModuleBytes(const Module& module, std::string& problem)
{
    std::vector<unsigned char> out;
    if (module.title.size() > 20 || module.samples.size() > maxSamples ||
        module.patterns.empty() || module.patterns.size() > maxPatterns ||
        module.order.empty() || module.order.size() > maxOrders) {
        problem = "title, sample, pattern or order count does not fit the format";
        return out;
    }
    for (size_t i = 0; i < module.samples.size(); ++i)
        if (!SampleFits(module.samples[i], (int)i + 1, problem))
            return out;
    for (int entry : module.order)
        if (entry < 0 || entry >= (int)module.patterns.size()) {
            problem = "order list names a pattern that does not exist";
            return out;
        }
    for (size_t p = 0; p < module.patterns.size(); ++p)
        for (int row = 0; row < patternRows; ++row)
            for (int channel = 0; channel < moduleChannels; ++channel)
                if (!CellFits(module.patterns[p].cells[row][channel], (int)p, problem))
                    return out;

    PutText(out, module.title, 20);
    for (int i = 0; i < maxSamples; ++i) {
        ModuleSample none;
        const ModuleSample& sample = i < (int)module.samples.size() ? module.samples[i] : none;
        PutText(out, sample.name, 22);
        PutWord(out, (unsigned)sample.data.size() / 2);
        out.push_back(0); // finetune: every sample is made in tune
        out.push_back((unsigned char)sample.volume);
        PutWord(out, sample.loopStart / 2);
        PutWord(out, sample.loopLength ? sample.loopLength / 2 : 1);
    }
    out.push_back((unsigned char)module.order.size());
    // 127 is what ProTracker itself writes here: no restart position of its
    // own, the song starts over from its first order.
    out.push_back(127);
    for (int i = 0; i < maxOrders; ++i)
        out.push_back((unsigned char)(i < (int)module.order.size() ? module.order[i] : 0));
    PutText(out, "M.K.", 4);
    for (const Pattern& pattern : module.patterns)
        for (int row = 0; row < patternRows; ++row)
            for (int channel = 0; channel < moduleChannels; ++channel) {
                const Cell& cell = pattern.cells[row][channel];
                unsigned period = cell.note >= 0 ? notePeriods[cell.note] : 0;
                out.push_back((unsigned char)((cell.sample & 0xF0) | (period >> 8)));
                out.push_back((unsigned char)(period & 0xFF));
                out.push_back((unsigned char)(((cell.sample & 0x0F) << 4) | cell.effect));
                out.push_back((unsigned char)cell.parameter);
            }
    for (const ModuleSample& sample : module.samples)
        for (signed char value : sample.data)
            out.push_back((unsigned char)value);
    return out;
}
