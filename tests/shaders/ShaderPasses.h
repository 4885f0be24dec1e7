// One pass of the frame at a time, through the frame's own pass functions,
// finished before returning, for the pixel tests and the benchmark. Needs
// InitGraphics to have run.
#pragma once

#include "frame/DrawFrame.h"

// The ray-marched scene into the lower-left 512 x 256 pixels.
void DrawBackgroundAt(float presentationTime);

// TargetTexture, as it stands, enlarged with grain over a window of the given
// size.
void DrawGrainAt(float presentationTime, int windowWidth, int windowHeight);
