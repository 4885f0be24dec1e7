#pragma once

#include <string>
#include <vector>

// A small but complete four-channel ProTracker module ("M.K."): one looping
// square-wave sample holding a chord on all four channels, and one pattern
// cut short by a pattern break so that the song lasts 16 rows (1.92 s at the
// default speed 6 and 125 beats per minute) and then starts over.
std::vector<unsigned char> TestModule(void);
const double testModuleSeconds = 1.92;

bool WriteTestModule(const std::string& path);
