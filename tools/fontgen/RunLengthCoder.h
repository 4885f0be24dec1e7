// Run-length coding of the atlas planes into the two arrays the presentation
// decodes: one of run lengths, one of run values.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <vector>

struct GlyphRuns {
    std::vector<uint16_t> lengths;
    std::vector<uint8_t> values;
};

// The longest run one 16-bit length holds.
const size_t longestRun = 65535;

// Codes size bytes as runs of equal bytes, ignoring row and plane boundaries.
// Every run is as long as it can be: two neighbouring runs share a value only
// where the first one is longestRun long and the same bytes go on (a longer
// stretch is stored as full runs followed by the remainder). The decoder's
// buffer starts zero, so with leaveTrailingZeros a final run of zeros that
// reaches the last byte is not stored at all.
GlyphRuns EncodeRuns(const unsigned char* bytes, size_t size, bool leaveTrailingZeros);
