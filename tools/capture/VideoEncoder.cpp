#include "tools/capture/VideoEncoder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

std::string FindFfmpeg(void)
{
    const char* path = getenv("PATH");
    if (!path)
        return "";
    std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t colon = folders.find(':', start);
        if (colon == std::string::npos)
            colon = folders.size();
        std::string folder = folders.substr(start, colon - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/ffmpeg";
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = colon + 1;
    }
    return "";
}

std::string StartVideoEncoder(const std::string& ffmpeg, const std::string& outputFile,
                              VideoContainer container, int width, int height, double fps,
                              int wavFile, VideoEncoder* encoder)
{
    char size[32], rate[40], audioInput[40];
    snprintf(size, sizeof size, "%dx%d", width, height);
    snprintf(rate, sizeof rate, "%.17g", fps);
    // The child reads the WAV through its own descriptor: the file has no
    // name, so nothing is left behind whatever happens.
    snprintf(audioInput, sizeof audioInput, "/proc/self/fd/%d", wavFile);

    std::vector<const char*> arguments = {
        ffmpeg.c_str(), "-hide_banner", "-loglevel", "error", "-nostats", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size", size, "-framerate", rate,
        "-i", "pipe:0"};
    if (wavFile >= 0) {
        arguments.insert(arguments.end(), {"-f", "wav", "-i", audioInput});
    }
    // OpenGL's rows come bottom-up. yuv420p and the main profile play in
    // every browser; veryfast keeps the encoder from holding up the
    // renderer, and CRF 18 keeps the grain.
    arguments.insert(arguments.end(),
                     {"-map", "0:v", "-vf", "vflip", "-c:v", "libx264", "-preset", "veryfast",
                      "-crf", "18", "-pix_fmt", "yuv420p", "-profile:v", "high"});
    if (wavFile >= 0) {
        arguments.insert(arguments.end(), {"-map", "1:a"});
        // Matroska keeps the sound lossless, so that parts captured apart
        // join sample for sample; MP4 gets what browsers play.
        if (container == matroskaContainer)
            arguments.insert(arguments.end(), {"-c:a", "flac"});
        else
            arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "192k"});
    }
    if (container == mp4Container)
        arguments.insert(arguments.end(), {"-movflags", "+faststart", "-f", "mp4"});
    else
        arguments.insert(arguments.end(), {"-f", "matroska"});
    arguments.push_back(outputFile.c_str());
    arguments.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::string("cannot start ffmpeg: ") + strerror(errno);
    pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return std::string("cannot start ffmpeg: ") + strerror(errno);
    }
    if (child == 0) {
        dup2(pipeEnds[0], 0);
        if (wavFile >= 0) {
            int flags = fcntl(wavFile, F_GETFD);
            fcntl(wavFile, F_SETFD, flags & ~FD_CLOEXEC);
        }
        // Quiet on success; errors still reach standard error.
        int nowhere = open("/dev/null", O_WRONLY);
        if (nowhere >= 0)
            dup2(nowhere, 1);
        signal(SIGPIPE, SIG_DFL);
        execv(ffmpeg.c_str(), const_cast<char* const*>(arguments.data()));
        _exit(127);
    }
    close(pipeEnds[0]);
    encoder->pid = child;
    encoder->framePipe = pipeEnds[1];
    return "";
}

bool WriteAll(int descriptor, const void* bytes, size_t count)
{
    const char* at = static_cast<const char*>(bytes);
    while (count) {
        ssize_t written = write(descriptor, at, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        count -= (size_t)written;
    }
    return true;
}

bool SendVideoFrame(VideoEncoder* encoder, const unsigned char* rgba, size_t bytes)
{
    return WriteAll(encoder->framePipe, rgba, bytes);
}

std::string FinishVideoEncoder(VideoEncoder* encoder)
{
    if (encoder->framePipe >= 0)
        close(encoder->framePipe);
    encoder->framePipe = -1;
    if (encoder->pid < 0)
        return "ffmpeg was not started";
    int status = 0;
    while (waitpid(encoder->pid, &status, 0) < 0) {
        if (errno != EINTR) {
            encoder->pid = -1;
            return std::string("lost ffmpeg: ") + strerror(errno);
        }
    }
    encoder->pid = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return "";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        return "ffmpeg could not be run";
    if (WIFSIGNALED(status))
        return "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
    return "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status));
}
