#include "tools/capture/CaptureOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

const char captureUsage[] =
    "usage: vemlodar-capture [options] -o OUTPUT\n"
    "\n"
    "Renders the presentation offline, at presentation times given instead of\n"
    "read from the clock, on the headless backend (a GPU's EGL device, or Mesa's\n"
    "llvmpipe where there is none; no display needed). Equal times give\n"
    "byte-identical pictures on the same renderer.\n"
    "\n"
    "  -o, --output PATH    FILE.png: one picture (needs --time)\n"
    "                       DIR/: frames DIR/frame-NNNNNN.png, NNNNNN the frame's\n"
    "                         number k over the whole run (time k / fps)\n"
    "                       FILE.mp4, FILE.mkv: H.264 video through ffmpeg, with\n"
    "                         the soundtrack (AAC in .mp4, lossless FLAC in .mkv)\n"
    "                         from \"orvanth - fenwarrow_s vessick..mod\" in the\n"
    "                         current folder; silent without it\n"
    "  --time T             the presentation time of one picture, in seconds\n"
    "  --from A --to B      frames at times k / fps with A <= k / fps < B\n"
    "                       (default 0 and 230: the whole run)\n"
    "  --fps N              frames a second of a sequence or video (default 60)\n"
    "  --size WxH           the window's size (default 1920x1080, at least\n"
    "                       512x256, even for video)\n"
    "  --layer frame|background\n"
    "                       the finished frame (default), or the 512 x 256\n"
    "                       picture of the background pass before the grain\n"
    "                       pass enlarges it\n"
    "  --progress, --no-progress\n"
    "                       the progress line on standard error (default: only\n"
    "                       where standard error is a terminal)\n"
    "  -h, --help           this text\n"
    "\n"
    "Examples:\n"
    "  vemlodar-capture --time 12.5 --size 1920x1080 -o frame.png\n"
    "  vemlodar-capture --time 12.5 --layer background -o background.png\n"
    "  vemlodar-capture --from 10 --to 20 --fps 30 -o frames/\n"
    "  vemlodar-capture --from 0 --to 5 --fps 30 --size 1280x720 -o sample.mp4\n"
    "  vemlodar-capture --fps 60 -o whole-run.mp4\n"
    "\n"
    "Ranges captured apart (--from 0 --to 60 and --from 60 --to 120) together\n"
    "hold every frame of --from 0 --to 120 exactly once.\n"
    "Exit status: 0 done, 2 bad arguments, 1 failed, 130 interrupted.\n";

namespace
{

bool EndsWith(const std::string& text, const char* suffix)
{
    size_t n = strlen(suffix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; i++) {
        char c = text[text.size() - n + i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

// A number that strtod takes whole, finite.
bool ParseNumber(const char* text, double* value)
{
    if (!*text)
        return false;
    char* end = nullptr;
    errno = 0;
    double parsed = strtod(text, &end);
    if (*end || errno == ERANGE || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

bool ParseSeconds(const char* flag, const char* text, double* value, std::string* error)
{
    if (!ParseNumber(text, value)) {
        *error = std::string(flag) + " wants a finite number of seconds, not '" + text + "'";
        return false;
    }
    if (*value < 0.0) {
        *error = std::string(flag) + " cannot be negative: the run starts at 0 ('" + text + "')";
        return false;
    }
    return true;
}

// WIDTHxHEIGHT in decimal digits only.
bool ParseSize(const char* text, int* width, int* height)
{
    long parts[2] = {0, 0};
    const char* at = text;
    for (int i = 0; i < 2; i++) {
        if (*at < '0' || *at > '9')
            return false;
        long value = 0;
        while (*at >= '0' && *at <= '9') {
            value = value * 10 + (*at - '0');
            if (value > 1000000)
                return false;
            at++;
        }
        parts[i] = value;
        if (i == 0) {
            if (*at != 'x' && *at != 'X')
                return false;
            at++;
        }
    }
    if (*at)
        return false;
    *width = (int)parts[0];
    *height = (int)parts[1];
    return true;
}

bool IsDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}

FrameRange FramesBetween(double from, double to, double fps)
{
    // Start from the rounded products and step to the exact border by the
    // defining comparison: the product can land one off either way.
    FrameRange range;
    range.first = (long long)std::ceil(from * fps);
    while (range.first > 0 && (range.first - 1) / fps >= from)
        range.first--;
    while (range.first / fps < from)
        range.first++;
    range.end = (long long)std::ceil(to * fps);
    while (range.end > 0 && (range.end - 1) / fps >= to)
        range.end--;
    while (range.end / fps < to)
        range.end++;
    if (range.end < range.first)
        range.end = range.first;
    return range;
}

float FrameTime(long long k, double fps)
{
    return (float)(k / fps);
}

int PictureWidth(const CaptureOptions& options)
{
    return options.layer == backgroundLayer ? smallestWidth : options.width;
}

int PictureHeight(const CaptureOptions& options)
{
    return options.layer == backgroundLayer ? smallestHeight : options.height;
}

std::string ParseCaptureOptions(int argc, char** argv, CaptureOptions* options)
{
    bool timeGiven = false, fromGiven = false, toGiven = false, fpsGiven = false;
    bool outputGiven = false;
    std::string error;

    for (int i = 1; i < argc; i++) {
        std::string flag = argv[i];
        const char* value = nullptr;
        // --flag=value as well as --flag value.
        size_t equals = flag.find('=');
        if (flag.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = argv[i] + equals + 1;
            flag.resize(equals);
        }
        bool takesValue = flag == "--time" || flag == "--from" || flag == "--to" ||
                          flag == "--fps" || flag == "--size" || flag == "--layer" ||
                          flag == "-o" || flag == "--output";
        if (!takesValue) {
            if (value)
                return flag + " takes no value";
            if (flag == "-h" || flag == "--help") {
                options->help = true;
                return "";
            }
            if (flag == "--progress") {
                options->progress = 1;
                continue;
            }
            if (flag == "--no-progress") {
                options->progress = 0;
                continue;
            }
            if (flag.size() > 1 && flag[0] == '-')
                return "unknown option '" + flag + "' (see --help)";
            return "unexpected argument '" + flag + "': the output goes after -o (see --help)";
        }
        if (!value) {
            if (i + 1 >= argc)
                return flag + " needs a value (see --help)";
            value = argv[++i];
        }

        if (flag == "--time") {
            if (!ParseSeconds("--time", value, &options->time, &error))
                return error;
            timeGiven = true;
        } else if (flag == "--from") {
            if (!ParseSeconds("--from", value, &options->from, &error))
                return error;
            fromGiven = true;
        } else if (flag == "--to") {
            if (!ParseSeconds("--to", value, &options->to, &error))
                return error;
            toGiven = true;
        } else if (flag == "--fps") {
            if (!ParseNumber(value, &options->fps) || options->fps <= 0.0)
                return std::string("--fps wants a positive number of frames a second, not '") +
                       value + "'";
            fpsGiven = true;
        } else if (flag == "--size") {
            if (!ParseSize(value, &options->width, &options->height))
                return std::string("--size wants WIDTHxHEIGHT in pixels, like 1920x1080, not '") +
                       value + "'";
            if (options->width < smallestWidth || options->height < smallestHeight)
                return std::string("--size ") + value +
                       " is too small: the background pass alone covers 512x256";
        } else if (flag == "--layer") {
            if (strcmp(value, "frame") == 0)
                options->layer = wholeFrameLayer;
            else if (strcmp(value, "background") == 0)
                options->layer = backgroundLayer;
            else
                return std::string("--layer is 'frame' or 'background', not '") + value + "'";
        } else {
            if (!*value)
                return flag + " needs a path";
            options->outputPath = value;
            outputGiven = true;
        }
    }

    if (!outputGiven)
        return "no output: give -o FILE.png, -o DIR/ or -o FILE.mp4 (see --help)";
    const std::string& path = options->outputPath;
    if (EndsWith(path, ".png")) {
        options->output = singlePicture;
    } else if (EndsWith(path, ".mp4")) {
        options->output = videoFile;
        options->container = mp4Container;
    } else if (EndsWith(path, ".mkv")) {
        options->output = videoFile;
        options->container = matroskaContainer;
    } else if (EndsWith(path, "/") || IsDirectory(path)) {
        options->output = pictureSequence;
    } else {
        return "cannot tell what to write to '" + path +
               "': name a .png, .mp4 or .mkv file or a folder ending in /";
    }

    bool rangeGiven = fromGiven || toGiven || fpsGiven;
    if (options->output == singlePicture) {
        if (rangeGiven)
            return "--from, --to and --fps make a sequence: write it to -o DIR/ or a video, "
                   "or give --time for one picture";
        if (!timeGiven)
            return "one picture needs --time T (seconds)";
        return "";
    }
    if (timeGiven)
        return "--time is for one picture (-o FILE.png); a sequence takes --from and --to";
    if (!(options->to > options->from))
        return "--to must come after --from";
    // Frame numbers have nine digits at most; the check also keeps the
    // products below far from where they would overflow.
    if (options->to * options->fps > 999999999.0)
        return "--to times --fps is beyond frame 999999999";
    FrameRange frames = FramesBetween(options->from, options->to, options->fps);
    if (frames.end == frames.first)
        return "no frame time k / fps falls in [--from, --to)";
    if (options->output == videoFile && (PictureWidth(*options) % 2 || PictureHeight(*options) % 2))
        return "H.264 in yuv420p needs an even width and height, not " +
               std::to_string(options->width) + "x" + std::to_string(options->height);
    return "";
}
