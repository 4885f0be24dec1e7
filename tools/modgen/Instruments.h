// The soundtrack's nine instruments, synthesised as 8-bit signed samples.
//
// Every melodic sample is made at 8,287 Hz, the rate at which a player steps
// through a sample on note C-2 (period 428), with a whole number of samples
// to each cycle, so that a loop of whole cycles joins without a click and the
// instruments agree in pitch: 32 samples a cycle puts C-2 at 259 Hz (the
// lead and the pluck), 64 at 129 Hz (the pads), 128 at 65 Hz (the bass).
// The drums are made at 16,574 Hz and played on C-3 (period 214).
#pragma once

#include "tools/modgen/ProTrackerModule.h"

#include <vector>

// Sample numbers as the patterns name them.
enum {
    kickSample = 1,
    snareSample,
    closedHatSample,
    openHatSample,
    bassSample,
    minorPadSample,
    majorPadSample,
    leadSample,
    pluckSample,
    instrumentCount = pluckSample
};

std::vector<ModuleSample> SynthesiseInstruments(void);
