// The capture tool's command line: what to render, at which times and sizes,
// and where it goes.
#pragma once

#include <string>

enum CaptureLayer {
    // The finished frame as the window shows it.
    wholeFrameLayer,
    // The 512 x 256 picture of the background pass, before the grain pass
    // enlarges it.
    backgroundLayer
};

enum CaptureOutput {
    // One PNG at one presentation time.
    singlePicture,
    // DIR/frame-NNNNNN.png, numbered over the whole run.
    pictureSequence,
    // H.264 through ffmpeg, with the soundtrack when there is one.
    videoFile
};

enum VideoContainer { mp4Container, matroskaContainer };

struct CaptureOptions
{
    bool help = false;
    CaptureOutput output = singlePicture;
    VideoContainer container = mp4Container;
    CaptureLayer layer = wholeFrameLayer;
    std::string outputPath;
    int width = 1920;
    int height = 1080;
    // One picture.
    double time = 0.0;
    // Sequences and videos: frames k / fps for every whole k with
    // from <= k / fps < to.
    double from = 0.0;
    double to = 230.0;
    double fps = 60.0;
    // -1: on where standard error is a terminal; 0 or 1 as asked.
    int progress = -1;
};

// The smallest window the frame body draws into: the background pass fills
// its lower-left 512 x 256 corner.
const int smallestWidth = 512;
const int smallestHeight = 256;

// Parses argv into options. Returns "" on success, or the message to show.
// Checks everything that does not need the renderer or the file system.
std::string ParseCaptureOptions(int argc, char** argv, CaptureOptions* options);

// The frames of a sequence: first <= k < end.
struct FrameRange
{
    long long first;
    long long end;
};

// The whole k with from <= k / fps < to, decided by that very comparison in
// double precision, so that ranges that meet at one time share no frame and
// miss none, however they were split.
FrameRange FramesBetween(double from, double to, double fps);

// The presentation time of frame k, as every capture computes it.
float FrameTime(long long k, double fps);

// The picture's size: the window's, or the background's 512 x 256.
int PictureWidth(const CaptureOptions& options);
int PictureHeight(const CaptureOptions& options);

extern const char captureUsage[];
