#include "tools/modgen/Instruments.h"

#include <cmath>
#include <cstdint>

// The same source must give the same bytes on every machine, so the
// waveforms use no library mathematics beyond floor: sine and exponential
// are series in plain arithmetic, and the noise is an integer generator.
namespace {

const double pi = 3.14159265358979323846;
const double melodicRate = 8287.0;
const double drumRate = 16574.0;

// sin(2 pi cycles), to about 1e-12.
double Sine(double cycles)
{
    double x = cycles - std::floor(cycles);
    if (x > 0.75)
        x -= 1.0;
    else if (x > 0.25)
        x = 0.5 - x;
    double r = 2.0 * pi * x;
    double r2 = r * r;
    double term = r, sum = r;
    for (int n = 1; n <= 8; ++n) {
        term *= -r2 / (double)((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// e^x for the modest arguments of envelopes: a short series on x / 1024,
// squared ten times.
double Exp(double x)
{
    double y = x / 1024.0;
    double term = 1.0, sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term *= y / n;
        sum += term;
    }
    for (int i = 0; i < 10; ++i)
        sum *= sum;
    return sum;
}

double SoftClip(double x)
{
    double e = Exp(2.0 * x);
    return (e - 1.0) / (e + 1.0);
}

struct Noise {
    uint32_t state;
    double Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (double)(state >> 8) / 8388608.0 - 1.0;
    }
};

// Scales the loudest point to full scale and rounds to 8 bits. A sample
// that plays once gets a word of silence in front, which the player keeps
// repeating after the end.
std::vector<signed char> EightBit(const std::vector<double>& wave, bool playsOnce)
{
    double peak = 0.0;
    for (double v : wave)
        peak = std::fabs(v) > peak ? std::fabs(v) : peak;
    std::vector<signed char> data;
    if (playsOnce) {
        data.push_back(0);
        data.push_back(0);
    }
    for (double v : wave) {
        double scaled = std::floor(v * 126.0 / peak + 0.5);
        data.push_back((signed char)scaled);
    }
    if (data.size() % 2)
        data.push_back(0);
    return data;
}

ModuleSample OneShot(const char* name, const std::vector<double>& wave)
{
    ModuleSample sample;
    sample.name = name;
    sample.data = EightBit(wave, true);
    return sample;
}

ModuleSample Looped(const char* name, const std::vector<double>& wave, unsigned loopStart)
{
    ModuleSample sample;
    sample.name = name;
    sample.data = EightBit(wave, false);
    sample.loopStart = loopStart;
    sample.loopLength = (unsigned)wave.size() - loopStart;
    return sample;
}

// A deep sine that falls from 155 Hz to 45 Hz, with a soft click in front.
ModuleSample Kick(void)
{
    std::vector<double> wave((size_t)(0.42 * drumRate));
    Noise noise{0x1234567u};
    double phase = 0.0, click = 0.0;
    for (size_t i = 0; i < wave.size(); ++i) {
        double t = (double)i / drumRate;
        phase += (45.0 + 110.0 * Exp(-t / 0.03)) / drumRate;
        double body = Sine(phase) * Exp(-t / 0.17) * (t < 0.002 ? t / 0.002 : 1.0);
        click += 0.25 * (noise.Next() - click);
        double tail = t > 0.36 ? (0.42 - t) / 0.06 : 1.0;
        wave[i] = SoftClip(1.6 * body + 0.5 * click * Exp(-t / 0.004)) * tail;
    }
    return OneShot("kick", wave);
}

// Two low partials for the drum's shell and band-limited noise for its wires.
ModuleSample Snare(void)
{
    std::vector<double> wave((size_t)(0.34 * drumRate));
    Noise noise{0x2468ace1u};
    double low = 0.0, high = 0.0;
    for (size_t i = 0; i < wave.size(); ++i) {
        double t = (double)i / drumRate;
        double shell = (Sine(185.0 * t) + 0.5 * Sine(331.0 * t)) * Exp(-t / 0.045);
        double n = noise.Next();
        low += 0.55 * (n - low);  // gentle low-pass, about 2 kHz
        high += 0.08 * (low - high); // what lies under about 200 Hz, taken out
        double wires = (low - high) * Exp(-t / 0.085);
        double tail = t > 0.28 ? (0.34 - t) / 0.06 : 1.0;
        wave[i] = (0.55 * shell + 1.1 * wires) * (t < 0.001 ? t / 0.001 : 1.0) * tail;
    }
    return OneShot("snare", wave);
}

// Six detuned square waves and noise, high-passed: the metallic hiss of a
// cymbal pair. Closed and open differ only in how long they ring.
ModuleSample Hat(const char* name, double seconds, double decay, uint32_t seed)
{
    static const double partials[6] = {2053.0, 2693.0, 3181.0, 3877.0, 4409.0, 5217.0};
    std::vector<double> wave((size_t)(seconds * drumRate));
    Noise noise{seed};
    double previous = 0.0, high = 0.0, previousHigh = 0.0, high2 = 0.0;
    for (size_t i = 0; i < wave.size(); ++i) {
        double t = (double)i / drumRate;
        double metal = 0.0;
        for (double f : partials)
            metal += Sine(f * t) > 0.0 ? 1.0 : -1.0;
        double x = 0.12 * metal + noise.Next();
        // Two first-order high-passes near 5 kHz.
        high = 0.4 * (high + x - previous);
        previous = x;
        high2 = 0.4 * (high2 + high - previousHigh);
        previousHigh = high;
        double tail = t > seconds - 0.02 ? (seconds - t) / 0.02 : 1.0;
        wave[i] = high2 * Exp(-t / decay) * tail;
    }
    return OneShot(name, wave);
}

// Additive cycles of 128 samples whose brightness falls from a pluck to a
// round sustain; the last cycle is the loop.
ModuleSample Bass(void)
{
    const int cycleLength = 128, attackCycles = 24;
    std::vector<double> wave((size_t)((attackCycles + 1) * cycleLength));
    const double fundamental = melodicRate / cycleLength;
    for (int cycle = 0; cycle <= attackCycles; ++cycle) {
        double cutoff = 230.0 + 1500.0 * Exp(-cycle / 4.0);
        for (int k = 1; k * fundamental < 3000.0; ++k) {
            double ratio = k * fundamental / cutoff;
            double amplitude = (k % 2 ? 1.0 : 0.55) / k / std::sqrt(1.0 + ratio * ratio * ratio * ratio);
            for (int i = 0; i < cycleLength; ++i)
                wave[(size_t)(cycle * cycleLength + i)] += amplitude * Sine((double)(k * i) / cycleLength);
        }
    }
    return Looped("bass", wave, (unsigned)(attackCycles * cycleLength));
}

// A chord of detuned saw pairs in open voicing (root, fifth, octave, the
// tenth above, the twelfth). The loop is 8192 samples, 128 cycles of the
// root: every partial makes a whole number of cycles in it, rounded to the
// nearest, which tunes each interval to within 7 cents of equal temperament
// and makes the pairs beat about once a second.
ModuleSample Pad(const char* name, int third)
{
    const int loopLength = 8192, attack = 2048, rootCycles = 128;
    const int intervals[5] = {0, 7, 12, 12 + third, 19};
    const double loudness[5] = {1.0, 0.75, 0.6, 0.55, 0.35};
    std::vector<double> period(loopLength, 0.0);
    Noise phases{0x51ed2701u + (uint32_t)third};
    for (int tone = 0; tone < 5; ++tone) {
        double ratio = 1.0;
        for (int s = 0; s < intervals[tone]; ++s)
            ratio *= 1.0594630943592953;
        int cycles = (int)std::floor(rootCycles * ratio + 0.5);
        for (int detune = 0; detune < 2; ++detune) {
            int c = cycles + detune;
            for (int k = 1; k * c < loopLength * 2 / 5; ++k) {
                double frequency = k * c * melodicRate / loopLength;
                double warmth = 1.0 / (1.0 + (frequency / 1100.0) * (frequency / 1100.0));
                double amplitude = loudness[tone] * warmth / k;
                double offset = 0.5 * (phases.Next() + 1.0);
                for (int i = 0; i < loopLength; ++i)
                    period[(size_t)i] += amplitude * Sine((double)k * c * i / loopLength + offset);
            }
        }
    }
    std::vector<double> wave((size_t)(attack + loopLength));
    for (size_t i = 0; i < wave.size(); ++i) {
        double rise = i < (size_t)attack ? Sine(0.25 * (double)i / attack) : 1.0;
        wave[i] = period[i % loopLength] * rise * rise;
    }
    return Looped(name, wave, (unsigned)attack);
}

// A hollow, mostly odd-harmonic voice and a quieter twin 13 cents above,
// for the melody: 128 and 129 cycles of 32 samples in a 4096-sample loop.
ModuleSample Lead(void)
{
    const int loopLength = 4096, attack = 512;
    std::vector<double> period(loopLength, 0.0);
    const int cycles[2] = {128, 129};
    const double voices[2] = {1.0, 0.45};
    for (int v = 0; v < 2; ++v)
        for (int k = 1; k * cycles[v] < loopLength * 2 / 5; ++k) {
            double frequency = k * cycles[v] * melodicRate / loopLength;
            double warmth = 1.0 / (1.0 + (frequency / 1600.0) * (frequency / 1600.0));
            double amplitude = voices[v] * (k % 2 ? 1.0 : 0.3) * warmth / k;
            for (int i = 0; i < loopLength; ++i)
                period[(size_t)i] += amplitude * Sine((double)k * cycles[v] * i / loopLength + 0.1 * v);
        }
    std::vector<double> wave((size_t)(attack + loopLength));
    for (size_t i = 0; i < wave.size(); ++i) {
        double rise = i < (size_t)attack ? (double)i / attack : 1.0;
        wave[i] = period[i % loopLength] * rise;
    }
    return Looped("lead", wave, (unsigned)attack);
}

// A struck string: 32-sample cycles whose upper partials die first.
ModuleSample Pluck(void)
{
    const double fundamental = melodicRate / 32.0;
    std::vector<double> wave((size_t)(0.5 * melodicRate));
    for (size_t i = 0; i < wave.size(); ++i) {
        double t = (double)i / melodicRate;
        double v = 0.0;
        for (int k = 1; k * fundamental < 3600.0; ++k)
            v += (k % 2 ? 1.0 : 0.6) / k * Exp(-t * (3.0 + 5.0 * k)) * Sine((double)(k * i) / 32.0);
        double tail = t > 0.45 ? (0.5 - t) / 0.05 : 1.0;
        wave[i] = v * (t < 0.002 ? t / 0.002 : 1.0) * tail;
    }
    return OneShot("pluck", wave);
}

} // namespace

std::vector<ModuleSample> SynthesiseInstruments(void)
{
    std::vector<ModuleSample> samples;
    samples.push_back(Kick());
    samples.push_back(Snare());
    samples.push_back(Hat("closed hat", 0.09, 0.022, 0x0badf00du));
    samples.push_back(Hat("open hat", 0.4, 0.13, 0x0ddba11u));
    samples.push_back(Bass());
    samples.push_back(Pad("minor pad", 3));
    samples.push_back(Pad("major pad", 4));
    samples.push_back(Lead());
    samples.push_back(Pluck());
    return samples;
}
