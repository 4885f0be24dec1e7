#pragma once

#include "platform/platform.h"

// Draws one frame at the given presentation time (seconds) and presents it.
void DrawFrame(float presentationTime, HDC frameDeviceContext);
