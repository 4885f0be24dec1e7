// A four-channel ProTracker module ("M.K.") held in memory, and its layout
// on disk: 20-byte title, 31 sample headers, the order list, the patterns,
// then the 8-bit signed sample data, every 16-bit value big-endian.
#pragma once

#include <string>
#include <vector>

enum {
    moduleChannels = 4,
    patternRows = 64,
    maxPatterns = 64,
    maxOrders = 128,
    maxSamples = 31,
    // Notes are counted in semitones from C-1 (period 856) to B-3 (period
    // 113), the three octaves every ProTracker player plays.
    noteCount = 36
};

// The ProTracker period of each note at finetune 0.
extern const unsigned notePeriods[noteCount];

struct ModuleSample {
    std::string name;              // at most 22 characters
    std::vector<signed char> data; // even length, at most 131,070 bytes
    unsigned volume = 64;          // 0..64
    unsigned loopStart = 0;        // bytes, even
    unsigned loopLength = 0;       // bytes, even; 0 for a sample that plays once
};

// One cell of a pattern. note is -1 for none; sample 0 keeps the channel's
// sample; effect and parameter are the effect column as it is stored.
struct Cell {
    int note = -1;
    int sample = 0;
    int effect = 0;
    int parameter = 0;
};

struct Pattern {
    Cell cells[patternRows][moduleChannels];
    bool operator==(const Pattern& other) const;
};

struct Module {
    std::string title; // at most 20 characters
    std::vector<ModuleSample> samples;
    std::vector<Pattern> patterns;
    std::vector<int> order;
};

// The module as a file. Returns an empty vector, with the reason in problem,
// when something does not fit the format.
std::vector<unsigned char> ModuleBytes(const Module& module, std::string& problem);
