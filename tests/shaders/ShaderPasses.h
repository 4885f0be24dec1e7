// The background and grain passes drawn the way a frame draws them, for the
// pixel tests and the benchmark. Needs InitGraphics to have run.
#pragma once

#include "platform/platform.h"

// FrameParams: element 0 the presentation time, element 1 the pass selector.
void LoadFrameParams(float presentationTime, float selector);

// The ray-marched scene into the lower-left 512 x 256 pixels.
void DrawBackgroundPass(float presentationTime);

// TargetTexture enlarged with grain over a window of the given size.
void DrawGrainPass(float presentationTime, int windowWidth, int windowHeight);
