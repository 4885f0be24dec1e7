// The artwork coder against the presentation's own decoder.
#include "setup/FontAtlas.h"
#include "tools/fontgen/RunLengthCoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<unsigned char> Bytes(std::initializer_list<std::pair<size_t, unsigned char>> stretches)
{
    std::vector<unsigned char> bytes;
    for (const auto& s : stretches)
        bytes.insert(bytes.end(), s.first, s.second);
    return bytes;
}

std::vector<unsigned char> Decoded(const GlyphRuns& runs, size_t size)
{
    std::vector<unsigned char> buffer(size, 0);
    DecodeGlyphRuns(runs.lengths.data(), runs.values.data(), runs.lengths.size(), buffer.data(),
                    size);
    return buffer;
}

TEST(RunLengthCoder, StretchesLongerThanOneLengthBecomeFullRunsAndDecodeBack)
{
    std::vector<unsigned char> bytes =
        Bytes({{200000, 0x11}, {3, 0x22}, {65535, 0x33}, {65536, 0x44}, {1, 0}, {2, 0x44}});
    GlyphRuns runs = EncodeRuns(bytes.data(), bytes.size(), false);

    const std::vector<uint16_t> lengths = {65535, 65535, 65535, 3395, 3, 65535, 65535, 1, 1, 2};
    const std::vector<uint8_t> values = {0x11, 0x11, 0x11, 0x11, 0x22, 0x33, 0x44, 0x44, 0, 0x44};
    EXPECT_EQ(runs.lengths, lengths);
    EXPECT_EQ(runs.values, values);
    EXPECT_EQ(Decoded(runs, bytes.size()), bytes);
}

TEST(RunLengthCoder, AFinalStretchOfZerosIsLeftToTheZeroBuffer)
{
    std::vector<unsigned char> bytes = Bytes({{4, 0}, {2, 5}, {7, 0}});
    GlyphRuns kept = EncodeRuns(bytes.data(), bytes.size(), false);
    GlyphRuns left = EncodeRuns(bytes.data(), bytes.size(), true);
    EXPECT_EQ(kept.lengths, (std::vector<uint16_t>{4, 2, 7}));
    EXPECT_EQ(left.lengths, (std::vector<uint16_t>{4, 2}));
    EXPECT_EQ(left.values, (std::vector<uint8_t>{0, 5}));
    EXPECT_EQ(Decoded(left, bytes.size()), bytes);

    std::vector<unsigned char> zeros(10, 0);
    EXPECT_TRUE(EncodeRuns(zeros.data(), zeros.size(), true).lengths.empty());
}

} // namespace
