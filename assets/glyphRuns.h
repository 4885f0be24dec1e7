// The font atlas image, run-length coded over its four planes. The arrays
// are generated into assets/glyphRuns.cpp by tools/fontgen: run i is
// glyphRunLengths[i] copies of glyphRunValues[i].
#pragma once

#include <stddef.h>
#include <stdint.h>

extern const uint16_t glyphRunLengths[];
extern const uint8_t glyphRunValues[];
// The length of both arrays.
extern const size_t glyphRunCount;
