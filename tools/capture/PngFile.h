// Pictures as PNG files, written whole or not at all.
#pragma once

#include <string>

// Writes width x height RGBA pixels, rows bottom-up as OpenGL reads them, as
// an 8-bit RGB PNG with the top row first. The file is written under a
// temporary name beside path and renamed to path once complete, so path never
// holds part of a picture. Returns "" or what went wrong.
std::string WritePng(const std::string& path, const unsigned char* rgba, int width, int height);

// A name in path's folder that no other file has, for a file that becomes
// path by rename; the file is created (empty), so the folder is known to be
// writable. Returns "" and sets temporaryPath, or what went wrong.
std::string CreateTemporaryBeside(const std::string& path, std::string* temporaryPath);
