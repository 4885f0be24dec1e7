#include "tools/capture/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// mkstemp makes files only their owner may read; the finished picture gets
// the permissions any other new file would. Read once, before the encoder
// threads start, because asking changes it for a moment.
static mode_t NewFileMode(void)
{
    static const mode_t mode = [] {
        mode_t mask = umask(0);
        umask(mask);
        return (mode_t)(0666 & ~mask);
    }();
    return mode;
}

std::string CreateTemporaryBeside(const std::string& path, std::string* temporaryPath)
{
    // A dot and the process's own suffix keep it out of frame-*.png globs.
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = folder + "." + name + ".partial-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int descriptor = mkstemp(buffer.data());
    if (descriptor < 0)
        return "cannot write '" + path + "': " + strerror(errno);
    fchmod(descriptor, NewFileMode());
    close(descriptor);
    *temporaryPath = buffer.data();
    return "";
}

namespace
{

struct PngWrite
{
    std::string message;
};

void OnPngError(png_structp png, png_const_charp message)
{
    static_cast<PngWrite*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp)
{
}

// Everything libpng touches between setjmp and longjmp lives in the caller,
// so nothing here needs to survive a longjmp.
bool EncodePng(FILE* file, const unsigned char* rgba, int width, int height, PngWrite* state)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, OnPngError, OnPngWarning);
    if (!png) {
        state->message = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (state->message.empty())
            state->message = "out of memory";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The grain makes every pixel differ from its neighbours: stronger
    // compression buys a few per cent of size for several times the time,
    // and a capture waits for its encoder.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    // The back buffer's fourth byte is not part of the picture.
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    size_t stride = (size_t)width * 4;
    for (int row = height - 1; row >= 0; row--)
        png_write_row(png, rgba + stride * (size_t)row);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}

std::string WritePng(const std::string& path, const unsigned char* rgba, int width, int height)
{
    std::string temporary;
    std::string error = CreateTemporaryBeside(path, &temporary);
    if (!error.empty())
        return error;
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + path + "': " + strerror(errno);
        unlink(temporary.c_str());
        return error;
    }
    PngWrite state;
    bool encoded = EncodePng(file, rgba, width, height, &state);
    // A full disk may only show when the last buffer is flushed.
    bool written = encoded && fflush(file) == 0 && !ferror(file);
    int writeError = errno;
    if (fclose(file) != 0 && written) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        return "cannot write '" + path + "': " + (encoded ? strerror(writeError) : state.message);
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write '" + path + "': " + strerror(errno);
        unlink(temporary.c_str());
        return error;
    }
    return "";
}
