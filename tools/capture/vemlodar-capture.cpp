// vemlodar-capture: the presentation rendered offline, at presentation times
// given on the command line instead of read from the clock, into PNG
// pictures or an H.264 video with the soundtrack.
//
// It runs the presentation's own graphics set-up and frame body on the
// headless backend, so its pictures are the presentation's, pixel for pixel,
// on the renderer it finds. The main thread renders and reads back; PNG
// encoders or the pipe into ffmpeg run on other threads, so that encoding
// overlaps the next frame's rendering.
#include "frame/DrawFrame.h"
#include "platform/platform_headless.h"
#include "setup/InitGraphics.h"
#include "shell/Presentation.h"
#include "tools/capture/CaptureOptions.h"
#include "tools/capture/OfflineSoundtrack.h"
#include "tools/capture/PngFile.h"
#include "tools/capture/VideoEncoder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef GL_MAX_RENDERBUFFER_SIZE
#define GL_MAX_RENDERBUFFER_SIZE 0x84E8
#endif

namespace
{

const int argumentsStatus = 2;
const int failedStatus = 1;
const int interruptedStatus = 130;

volatile sig_atomic_t stopRequested;

void RequestStop(int)
{
    stopRequested = 1;
}

void Fail(const std::string& message)
{
    fprintf(stderr, "vemlodar-capture: %s\n", message.c_str());
}

// The largest window the renderer can draw and read back: the viewport
// limit and, where the driver has framebuffer objects, the largest
// renderbuffer (the headless back buffer may be one).
void RendererLimits(int* width, int* height)
{
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    *width = viewport[0];
    *height = viewport[1];
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint renderbuffer = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    if (glGetError() == GL_NO_ERROR && renderbuffer > 0) {
        *width = std::min(*width, (int)renderbuffer);
        *height = std::min(*height, (int)renderbuffer);
    }
}

// Reads what the frame just drawn left: the whole window, or TargetTexture,
// into which the frame body copied the background before enlarging it. Rows
// bottom-up either way.
void ReadPicture(const CaptureOptions& options, unsigned char* rgba)
{
    if (options.layer == backgroundLayer) {
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glBindTexture(GL_TEXTURE_2D, targetTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        // The back buffer it came from has no alpha.
        for (size_t p = 3; p < (size_t)smallestWidth * smallestHeight * 4; p += 4)
            rgba[p] = 255;
    } else {
        HeadlessReadPixels(0, 0, options.width, options.height, rgba);
    }
}

std::string FramePath(const std::string& folder, long long k)
{
    char name[40];
    snprintf(name, sizeof name, "frame-%06lld.png", k);
    return folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
}

// Frames on their way from the renderer to the encoders, through a fixed set
// of buffers so that a slow encoder holds the renderer back instead of
// filling the memory.
struct FramePipeline
{
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::vector<unsigned char>> buffers;
    std::vector<int> freeBuffers;
    std::deque<std::pair<long long, int>> waiting;   // frame number, buffer
    bool closed = false;
    std::string error;                               // the first failure
    std::atomic<long long> done{0};

    int TakeFreeBuffer()
    {
        std::unique_lock<std::mutex> held(lock);
        changed.wait(held, [&] { return !freeBuffers.empty() || !error.empty(); });
        if (!error.empty())
            return -1;
        int buffer = freeBuffers.back();
        freeBuffers.pop_back();
        return buffer;
    }

    void Submit(long long k, int buffer)
    {
        std::lock_guard<std::mutex> held(lock);
        waiting.emplace_back(k, buffer);
        changed.notify_all();
    }

    // False when there is nothing more to encode.
    bool TakeWaiting(long long* k, int* buffer)
    {
        std::unique_lock<std::mutex> held(lock);
        changed.wait(held, [&] { return !waiting.empty() || closed || !error.empty(); });
        if (waiting.empty() || !error.empty())
            return false;
        *k = waiting.front().first;
        *buffer = waiting.front().second;
        waiting.pop_front();
        return true;
    }

    void Release(int buffer, const std::string& failure)
    {
        std::lock_guard<std::mutex> held(lock);
        freeBuffers.push_back(buffer);
        if (failure.empty())
            done++;
        else if (error.empty())
            error = failure;
        changed.notify_all();
    }

    void Close()
    {
        std::lock_guard<std::mutex> held(lock);
        closed = true;
        changed.notify_all();
    }

    std::string Error()
    {
        std::lock_guard<std::mutex> held(lock);
        return error;
    }
};

std::string Clock(double seconds)
{
    long whole = (long)(seconds + 0.5);
    char text[32];
    if (whole >= 3600)
        snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

struct Progress
{
    bool on = false;
    bool terminal = false;
    long long total = 0;
    std::chrono::steady_clock::time_point start, lastShown;

    void Show(long long done, bool last)
    {
        if (!on)
            return;
        auto now = std::chrono::steady_clock::now();
        double sinceShown = std::chrono::duration<double>(now - lastShown).count();
        if (!last && sinceShown < (terminal ? 0.2 : 5.0))
            return;
        lastShown = now;
        double elapsed = std::chrono::duration<double>(now - start).count();
        double rate = elapsed > 0 ? done / elapsed : 0.0;
        char line[160];
        if (last)
            snprintf(line, sizeof line, "%lld of %lld frames in %s, %.2f frames a second", done,
                     total, Clock(elapsed).c_str(), rate);
        else
            snprintf(line, sizeof line, "frame %lld of %lld (%d%%), %.2f frames a second, %s left",
                     done, total, (int)(100 * done / std::max(total, 1LL)), rate,
                     rate > 0 ? Clock((total - done) / rate).c_str() : "?");
        if (terminal)
            fprintf(stderr, "\r%s\033[K%s", line, last ? "\n" : "");
        else
            fprintf(stderr, "%s\n", line);
    }
};

// Renders frames [first, end) into the pipeline; the encoders take them
// from there. Returns false when stopped early by a signal or a failure.
bool RenderFrames(const CaptureOptions& options, FrameRange frames, FramePipeline* pipeline,
                  Progress* progress)
{
    for (long long k = frames.first; k < frames.end; k++) {
        if (stopRequested)
            return false;
        int buffer = pipeline->TakeFreeBuffer();
        if (buffer < 0)
            return false;
        DrawFrame(FrameTime(k, options.fps), deviceContext);
        ReadPicture(options, pipeline->buffers[(size_t)buffer].data());
        pipeline->Submit(k, buffer);
        progress->Show(pipeline->done, false);
    }
    return true;
}

void SetUpPipeline(FramePipeline* pipeline, int buffers, size_t bytes)
{
    pipeline->buffers.assign((size_t)buffers, std::vector<unsigned char>(bytes));
    for (int i = buffers - 1; i >= 0; i--)
        pipeline->freeBuffers.push_back(i);
}

// Enough frames in flight to keep every encoder busy while one more is
// rendered, but no more than about half a gigabyte of them.
int BuffersFor(int encoders, size_t bytes)
{
    size_t fit = (size_t)512 * 1024 * 1024 / std::max(bytes, (size_t)1);
    return (int)std::max((size_t)2, std::min((size_t)encoders + 2, fit));
}

int CaptureSequence(const CaptureOptions& options, FrameRange frames, Progress* progress)
{
    int width = PictureWidth(options), height = PictureHeight(options);
    size_t bytes = (size_t)width * height * 4;
    // The renderer (llvmpipe on a machine without a GPU) keeps the cores
    // busy too; one encoder less than there are cores leaves it one.
    int encoders = (int)std::max(1u, std::thread::hardware_concurrency() - 1);
    FramePipeline pipeline;
    SetUpPipeline(&pipeline, BuffersFor(encoders, bytes), bytes);

    std::vector<std::thread> threads;
    for (int i = 0; i < encoders; i++) {
        threads.emplace_back([&] {
            long long k;
            int buffer;
            while (pipeline.TakeWaiting(&k, &buffer)) {
                std::string error = WritePng(FramePath(options.outputPath, k),
                                             pipeline.buffers[(size_t)buffer].data(), width, height);
                pipeline.Release(buffer, error);
            }
        });
    }
    bool complete = RenderFrames(options, frames, &pipeline, progress);
    pipeline.Close();
    for (std::thread& thread : threads)
        thread.join();
    progress->Show(pipeline.done, true);

    std::string error = pipeline.Error();
    if (!error.empty()) {
        Fail(error);
        return failedStatus;
    }
    if (!complete) {
        Fail("interrupted: " + std::to_string(pipeline.done) + " frames written");
        return interruptedStatus;
    }
    return 0;
}

int CaptureVideo(const CaptureOptions& options, FrameRange frames, const std::string& ffmpeg,
                 const std::string& temporaryPath, Progress* progress)
{
    int width = PictureWidth(options), height = PictureHeight(options);
    size_t bytes = (size_t)width * height * 4;

    // The sound goes first, into a file without a name that ffmpeg reads
    // through its descriptor.
    int wavFile = -1;
    const char* folder = getenv("TMPDIR");
    wavFile = open(folder && *folder ? folder : "/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (wavFile < 0) {
        Fail(std::string("cannot make a file for the soundtrack: ") + strerror(errno));
        return failedStatus;
    }
    std::string sound = RenderSoundtrack(frames.first, frames.end, options.fps, wavFile);
    if (sound.compare(0, 8, "silent: ") == 0) {
        fprintf(stderr, "vemlodar-capture: %s\n", sound.c_str() + 8);
        close(wavFile);
        wavFile = -1;
    } else if (!sound.empty()) {
        Fail(sound);
        close(wavFile);
        return failedStatus;
    }

    VideoEncoder encoder;
    std::string error = StartVideoEncoder(ffmpeg, temporaryPath, options.container, width, height,
                                          options.fps, wavFile, &encoder);
    if (wavFile >= 0)
        close(wavFile);
    if (!error.empty()) {
        Fail(error);
        return failedStatus;
    }

    FramePipeline pipeline;
    SetUpPipeline(&pipeline, BuffersFor(1, bytes), bytes);
    // One writer, so the frames reach ffmpeg in order.
    std::thread writer([&] {
        long long k;
        int buffer;
        while (pipeline.TakeWaiting(&k, &buffer)) {
            bool sent = SendVideoFrame(&encoder, pipeline.buffers[(size_t)buffer].data(), bytes);
            pipeline.Release(buffer, sent ? "" : "ffmpeg stopped taking frames");
        }
    });
    bool complete = RenderFrames(options, frames, &pipeline, progress);
    pipeline.Close();
    writer.join();
    std::string finished = FinishVideoEncoder(&encoder);
    progress->Show(pipeline.done, true);

    error = pipeline.Error();
    if (error.empty())
        error = finished;
    else if (!finished.empty())
        error += " (" + finished + ")";
    if (!error.empty()) {
        Fail(error);
        return failedStatus;
    }
    if (!complete) {
        Fail("interrupted: no video written");
        return interruptedStatus;
    }
    if (rename(temporaryPath.c_str(), options.outputPath.c_str()) != 0) {
        Fail("cannot write '" + options.outputPath + "': " + strerror(errno));
        return failedStatus;
    }
    return 0;
}

// A sequence's folder made by this run, removed again when the run fails
// before it holds a frame.
std::string createdFolder;

// Makes sure the output can be written before anything is rendered.
std::string PrepareOutput(const CaptureOptions& options, std::string* temporaryPath)
{
    std::string probe;
    std::string error;
    if (options.output == pictureSequence) {
        std::string folder = options.outputPath;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        struct stat info;
        if (stat(folder.c_str(), &info) != 0) {
            if (mkdir(folder.c_str(), 0777) != 0)
                return "cannot make the folder '" + folder + "': " + strerror(errno);
            createdFolder = folder;
        } else if (!S_ISDIR(info.st_mode)) {
            return "'" + folder + "' is not a folder";
        }
        error = CreateTemporaryBeside(FramePath(folder, 0), &probe);
    } else {
        error = CreateTemporaryBeside(options.outputPath, &probe);
    }
    if (!error.empty())
        return error;
    if (options.output == videoFile)
        *temporaryPath = probe;
    else
        unlink(probe.c_str());
    return "";
}

}

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string error = ParseCaptureOptions(argc, argv, &options);
    if (!error.empty()) {
        Fail(error);
        return argumentsStatus;
    }
    if (options.help) {
        fputs(captureUsage, stdout);
        return 0;
    }

    std::string ffmpeg;
    if (options.output == videoFile) {
        ffmpeg = FindFfmpeg();
        if (ffmpeg.empty()) {
            Fail("video needs ffmpeg, and there is none on PATH (Debian: apt-get install ffmpeg)");
            return failedStatus;
        }
    }

    // A failed write to a stopped ffmpeg is an error to report, not a
    // reason to die; a signal stops the capture between frames, so that no
    // partial file is left.
    signal(SIGPIPE, SIG_IGN);
    struct sigaction stop = {};
    stop.sa_handler = RequestStop;
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGHUP, &stop, nullptr);

    // A small context first, to ask the renderer how large it can draw.
    if (!HeadlessOpen(smallestWidth, smallestHeight)) {
        Fail("no OpenGL: the headless backend found no EGL display or context");
        return failedStatus;
    }
    int largestWidth, largestHeight;
    RendererLimits(&largestWidth, &largestHeight);
    if (options.width > largestWidth || options.height > largestHeight) {
        Fail("--size " + std::to_string(options.width) + "x" + std::to_string(options.height) +
             " is larger than this renderer draws (" + std::to_string(largestWidth) + "x" +
             std::to_string(largestHeight) + ", " + HeadlessRenderer() + ")");
        HeadlessClose();
        return argumentsStatus;
    }
    if (!HeadlessOpen(options.width, options.height)) {
        Fail("the renderer cannot make a " + std::to_string(options.width) + "x" +
             std::to_string(options.height) + " back buffer");
        return failedStatus;
    }

    std::string temporaryPath;
    error = PrepareOutput(options, &temporaryPath);
    if (!error.empty()) {
        Fail(error);
        HeadlessClose();
        return failedStatus;
    }

    // Once per process: the noise volume's generator carries on from where
    // it stopped, so a second set-up would build a different volume.
    InitGraphics();
    int status = 0;
    if (glEntryPointMissing) {
        Fail("the renderer lacks OpenGL 2.0 calls the presentation needs");
        status = failedStatus;
    } else if (HeadlessMessageBoxCount() > 0) {
        Fail(std::string("the graphics set-up failed: ") + HeadlessMessageBoxCaption(0));
        status = failedStatus;
    }

    if (status == 0 && options.output == singlePicture) {
        std::vector<unsigned char> rgba((size_t)PictureWidth(options) * PictureHeight(options) * 4);
        DrawFrame((float)options.time, deviceContext);
        ReadPicture(options, rgba.data());
        error = WritePng(options.outputPath, rgba.data(), PictureWidth(options),
                         PictureHeight(options));
        if (!error.empty()) {
            Fail(error);
            status = failedStatus;
        }
    } else if (status == 0) {
        FrameRange frames = FramesBetween(options.from, options.to, options.fps);
        Progress progress;
        progress.terminal = isatty(STDERR_FILENO);
        progress.on = options.progress == 1 || (options.progress == -1 && progress.terminal);
        progress.total = frames.end - frames.first;
        progress.start = progress.lastShown = std::chrono::steady_clock::now();
        if (options.output == pictureSequence)
            status = CaptureSequence(options, frames, &progress);
        else
            status = CaptureVideo(options, frames, ffmpeg, temporaryPath, &progress);
    }
    if (status != 0 && !temporaryPath.empty())
        unlink(temporaryPath.c_str());
    // Only an empty folder goes; frames already written stay, each whole.
    if (status != 0 && !createdFolder.empty())
        rmdir(createdFolder.c_str());
    HeadlessClose();
    return status;
}
