#include "tools/fontgen/RunLengthCoder.h"

GlyphRuns EncodeRuns(const unsigned char* bytes, size_t size, bool leaveTrailingZeros)
{
    GlyphRuns runs;
    size_t end = size;
    if (leaveTrailingZeros)
        while (end > 0 && bytes[end - 1] == 0)
            --end;
    size_t start = 0;
    while (start < end) {
        size_t next = start + 1;
        while (next < end && next - start < longestRun && bytes[next] == bytes[start])
            ++next;
        runs.lengths.push_back(uint16_t(next - start));
        runs.values.push_back(bytes[start]);
        start = next;
    }
    return runs;
}
