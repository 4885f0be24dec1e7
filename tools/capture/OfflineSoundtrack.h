// The soundtrack rendered offline, for a video of part or all of the run.
#pragma once

#include <string>

// The file the presentation plays, looked up in the current folder as it is.
extern const char soundtrackFile[];

// Renders frames [first, end) of a capture at fps worth of the soundtrack, as
// the presentation plays it from time 0 with looping on, at 44,100 Hz 16-bit
// stereo, into a WAV file on descriptor wavFile (positioned at its start).
// Sample s belongs to the frame it falls in: the clip runs from sample
// round(first * 44100 / fps) to round(end * 44100 / fps), so clips of
// neighbouring ranges join without a sample missing or twice.
// Returns "" when written; "silent: ..." when there is no module to play
// (nothing written); anything else is an error.
std::string RenderSoundtrack(long long first, long long end, double fps, int wavFile);

const int soundtrackRate = 44100;
