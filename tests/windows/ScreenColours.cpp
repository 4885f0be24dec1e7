// Judges a screenshot written by `xwd`: prints its size, how many different
// colours it holds and which colour covers most of it, as
//   800x600 colours 1 dominant 000000 share 100.00
// Reads the 24- and 32-bit true-colour ZPixmap images that Xvfb's screens
// give; anything else is refused with exit status 2.
#include <stdint.h>
#include <stdio.h>

#include <map>
#include <vector>

// The file header: 25 big-endian 32-bit fields, then the window name.
enum {
    headerSizeField = 0,
    pixmapFormatField = 2,
    widthField = 4,
    heightField = 5,
    byteOrderField = 7,
    bytesPerLineField = 12,
    redMaskField = 14,
    greenMaskField = 15,
    blueMaskField = 16,
    colourCountField = 19,
    headerFieldCount = 25
};
static const uint32_t zPixmapFormat = 2;
// Each colour map entry: pixel, red, green, blue, flags, padding.
static const long colourMapEntrySize = 12;

static uint32_t BigEndian(const unsigned char* bytes)
{
    return (uint32_t)bytes[0] << 24 | (uint32_t)bytes[1] << 16 | (uint32_t)bytes[2] << 8 | bytes[3];
}

// The 8 bits a channel mask selects, as 0..255.
static unsigned Channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        shift++;
    return (pixel & mask) >> shift & 0xff;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s SCREENSHOT.xwd\n", argv[0]);
        return 2;
    }
    FILE* file = fopen(argv[1], "rb");
    if (!file) {
        perror(argv[1]);
        return 2;
    }
    std::vector<unsigned char> bytes;
    unsigned char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    fclose(file);

    if (bytes.size() < headerFieldCount * 4) {
        fprintf(stderr, "%s: too short for a screenshot\n", argv[1]);
        return 2;
    }
    uint32_t header[headerFieldCount];
    for (int field = 0; field < headerFieldCount; field++)
        header[field] = BigEndian(&bytes[field * 4]);

    uint32_t width = header[widthField];
    uint32_t height = header[heightField];
    uint32_t bytesPerLine = header[bytesPerLineField];
    // The field for bits per pixel is not always filled in truthfully; the
    // line length is.
    uint32_t bytesPerPixel = width ? bytesPerLine / width : 0;
    unsigned long long pixelStart =
        header[headerSizeField] + (unsigned long long)header[colourCountField] * colourMapEntrySize;
    if (header[pixmapFormatField] != zPixmapFormat || (bytesPerPixel != 3 && bytesPerPixel != 4) ||
        height == 0 || pixelStart + (unsigned long long)bytesPerLine * height > bytes.size()) {
        fprintf(stderr, "%s: not a complete true-colour screenshot\n", argv[1]);
        return 2;
    }
    bool leastSignificantFirst = header[byteOrderField] == 0;
    uint32_t colourMask = header[redMaskField] | header[greenMaskField] | header[blueMaskField];

    std::map<uint32_t, unsigned long> pixelsOfColour;
    for (uint32_t y = 0; y < height; y++) {
        const unsigned char* line = &bytes[pixelStart + (unsigned long long)y * bytesPerLine];
        for (uint32_t x = 0; x < width; x++) {
            const unsigned char* at = line + x * bytesPerPixel;
            uint32_t pixel = 0;
            for (uint32_t b = 0; b < bytesPerPixel; b++) {
                uint32_t shift = leastSignificantFirst ? 8 * b : 8 * (bytesPerPixel - 1 - b);
                pixel |= (uint32_t)at[b] << shift;
            }
            // The padding byte of 32-bit pixels is no colour.
            pixelsOfColour[pixel & colourMask]++;
        }
    }

    uint32_t dominant = 0;
    unsigned long dominantCount = 0;
    for (const auto& entry : pixelsOfColour) {
        if (entry.second > dominantCount) {
            dominant = entry.first;
            dominantCount = entry.second;
        }
    }
    printf("%ux%u colours %zu dominant %02x%02x%02x share %.2f\n", width, height,
           pixelsOfColour.size(), Channel(dominant, header[redMaskField]),
           Channel(dominant, header[greenMaskField]), Channel(dominant, header[blueMaskField]),
           100.0 * dominantCount / ((double)width * height));
    return 0;
}
