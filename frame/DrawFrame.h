// Drawing one frame: the ray-marched scene into the lower-left 512 x 256
// pixels, that corner enlarged over the whole window with grain, the scroller
// blended on top, then the swap. Needs InitGraphics to have built every
// program and texture.
#pragma once

#include "platform/platform.h"

// Draws one frame at the given presentation time (seconds) and presents it.
void DrawFrame(float presentationTime, HDC frameDeviceContext);

// The frame's passes, one function each, in the order DrawFrame calls them
// between its clear and its swap. They are separate so that the pixel tests
// and the benchmarks draw exactly what a frame draws, one pass at a time.

// FrameParams as the model-view matrix: element 0 the presentation time,
// element 1 the pass selector (below 0.5 the copy stage adds grain, above it
// passes the overlay's texture through), the other fourteen 0.
void LoadFrameParams(float presentationTime, float passSelector);

// Pass 1: saves the current viewport, then ray-marches the scene into the
// lower-left 512 x 256 pixels. Nothing else of the back buffer is touched.
void DrawBackgroundPass(void);

// Restores the saved viewport and copies the corner just drawn into
// TargetTexture, leaving it bound on the enabled 2D target.
void CopyBackgroundToTarget(void);

// Pass 2: TargetTexture (bound by the caller) stretched over the whole
// viewport with grain; leaves the 2D target disabled.
void DrawGrainPass(void);

// Pass 3: the scroller's quads blended over the picture from the font atlas.
void DrawScrollerPass(float presentationTime);

// The viewport DrawBackgroundPass found, restored by CopyBackgroundToTarget:
// x, y, width and height of the window's back buffer.
extern GLint savedViewport[4];
