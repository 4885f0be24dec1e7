// Frames a second of vemlodar-capture next to rendering alone, in one run on
// the OpenGL the headless backend finds: at 1280 x 720 and 1920 x 1080, to a
// PNG sequence and to an H.264 video (with the test module's sound), against
// the frame body drawing the same frames with nothing read back or encoded.
//
// Every measurement is its own process, because the graphics set-up runs
// once per process; each counts from its first frame to its last, leaving
// start-up out (the capture's own progress line reports exactly that). The
// render-only figure is taken before and after the captures at each size and
// averaged, so that a machine whose load drifts during the run biases no
// ratio one way.
//
// usage: capture_bench [FRAMES]   (default 30 frames a measurement)
//        capture_bench --render-only WIDTHxHEIGHT FRAMES
#include "frame/DrawFrame.h"
#include "platform/platform_headless.h"
#include "setup/InitGraphics.h"
#include "shell/Presentation.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{

// Frames at 60 a second from 10 s on, inside the camera's sweep.
const double firstTime = 10.0;
const double fps = 60.0;

int RenderOnly(int width, int height, int frames)
{
    if (!HeadlessOpen(width, height)) {
        fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    InitGraphics();
    long long first = (long long)(firstTime * fps);
    auto start = std::chrono::steady_clock::now();
    for (long long k = first; k < first + frames; k++)
        DrawFrame((float)(k / fps), deviceContext);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%.4f %s\n", frames / seconds, HeadlessRenderer());
    HeadlessClose();
    return 0;
}

std::string Output(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return text;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    pclose(pipe);
    return text;
}

double RenderOnlyRate(const char* self, const char* size, int frames, std::string* renderer)
{
    std::string line = Output(std::string("'") + self + "' --render-only " + size + " " +
                              std::to_string(frames));
    double rate = atof(line.c_str());
    size_t space = line.find(' ');
    if (space != std::string::npos)
        *renderer = line.substr(space + 1, line.find('\n') - space - 1);
    return rate;
}

// The capture's closing progress line: "N of N frames in M:SS, R frames a
// second".
double CaptureRate(const std::string& folder, const char* size, int frames, const char* output)
{
    char range[96];
    snprintf(range, sizeof range, "--from %.17g --to %.17g --fps %g", firstTime,
             firstTime + (frames - 0.5) / fps, fps);
    std::string command = "cd '" + folder + "' && '" CAPTURE_TOOL "' --progress --size " + size +
                          " " + range + " -o " + output + " 2>&1 >/dev/null";
    std::string text = Output(command);
    size_t in = text.rfind(" frames in ");
    size_t comma = in == std::string::npos ? in : text.find(", ", in);
    if (comma == std::string::npos) {
        fprintf(stderr, "capture failed: %s\n", text.c_str());
        return 0.0;
    }
    return atof(text.c_str() + comma + 2);
}

}

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "--render-only") == 0) {
        int width = 0, height = 0;
        if (sscanf(argv[2], "%dx%d", &width, &height) != 2)
            return 2;
        return RenderOnly(width, height, atoi(argv[3]));
    }
    int frames = argc > 1 ? atoi(argv[1]) : 30;
    if (frames < 2) {
        fprintf(stderr, "usage: capture_bench [FRAMES]\n");
        return 2;
    }

    char folder[] = "/tmp/capture-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    // The video's sound: the test module under the soundtrack's name.
    std::string module = std::string(folder) + "/orvanth - fenwarrow_s vessick..mod";
    if (system(("'" WRITE_TEST_MODULE "' '" + module + "'").c_str()) != 0)
        return 1;

    std::string renderer;
    const char* sizes[] = {"1280x720", "1920x1080"};
    printf("%d frames a measurement\n", frames);
    for (const char* size : sizes) {
        double before = RenderOnlyRate(argv[0], size, frames, &renderer);
        double png = CaptureRate(folder, size, frames, "frames/");
        double video = CaptureRate(folder, size, frames, "film.mp4");
        double after = RenderOnlyRate(argv[0], size, frames, &renderer);
        double render = (before + after) / 2;
        printf("%-9s render only %7.2f fps (%.2f, %.2f)  PNG %7.2f fps (%.2f x)  video %7.2f fps (%.2f x)\n",
               size, render, before, after, png, png / render, video, video / render);
        fflush(stdout);
        system(("rm -rf '" + std::string(folder) + "/frames' '" + folder + "/film.mp4'").c_str());
    }
    printf("renderer: %s\n", renderer.c_str());
    system(("rm -rf '" + std::string(folder) + "'").c_str());
    return 0;
}
