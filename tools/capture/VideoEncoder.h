// H.264 video through an ffmpeg process that reads raw frames from a pipe.
#pragma once

#include <string>

#include "tools/capture/CaptureOptions.h"

// The ffmpeg found on PATH, or "" when there is none.
std::string FindFfmpeg(void);

struct VideoEncoder
{
    int pid = -1;
    int framePipe = -1;
};

// Starts ffmpeg writing outputFile (a temporary name; the container is given
// explicitly, not taken from the name) from width x height RGBA frames, rows
// bottom-up, at fps, with the WAV on descriptor wavFile as sound when it is
// not -1. Returns "" or what went wrong.
std::string StartVideoEncoder(const std::string& ffmpeg, const std::string& outputFile,
                              VideoContainer container, int width, int height, double fps,
                              int wavFile, VideoEncoder* encoder);

// One frame's bytes; false when ffmpeg has stopped reading.
bool SendVideoFrame(VideoEncoder* encoder, const unsigned char* rgba, size_t bytes);

// Closes the pipe, waits for ffmpeg and returns "" when it finished well.
std::string FinishVideoEncoder(VideoEncoder* encoder);

// Writes all the bytes to a file or pipe, going on after interrupted and
// short writes. False when the other end is gone or the disk is full.
bool WriteAll(int descriptor, const void* bytes, size_t count);
