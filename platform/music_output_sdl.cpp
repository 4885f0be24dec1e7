// The music calls' sound device on Linux: an SDL2 audio device playing
// 16-bit stereo, fed from SDL's audio thread. Depends on SDL2 audio.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/music_output.h"

static SDL_AudioDeviceID audioDevice;

static void FillAudio(void*, Uint8* stream, int bytes)
{
    RenderMusic((int16_t*)stream, (size_t)bytes / (2 * sizeof(int16_t)));
}

// The library is never shut down by its user; process exit does it, and the
// audio thread must be gone before the process's statics are.
static void CloseAudioAtExit(void)
{
    if (audioDevice)
        SDL_CloseAudioDevice(audioDevice);
    audioDevice = 0;
}

static int OpenAudio(int device, DWORD frequency)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;

    const char* deviceName = NULL;
    if (device > 0) {
        deviceName = SDL_GetAudioDeviceName(device - 1, 0);
        if (!deviceName)
            return 0;
    } else if (device == 0) {
        return 0;
    }

    SDL_AudioSpec wanted, obtained;
    SDL_zero(wanted);
    wanted.freq = frequency ? (int)frequency : 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = FillAudio;
    audioDevice = SDL_OpenAudioDevice(deviceName, 0, &wanted, &obtained, 0);
    if (!audioDevice)
        return 0;
    atexit(CloseAudioAtExit);
    SDL_PauseAudioDevice(audioDevice, 0);
    return obtained.freq;
}

// Sound libraries that find no device say so on the standard error stream;
// the presentation runs silent then and writes nothing to the console.
int OpenMusicOutput(int device, DWORD frequency)
{
    if (audioDevice)
        return 0;
    fflush(stderr);
    int savedError = dup(STDERR_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (savedError >= 0 && nowhere >= 0)
        dup2(nowhere, STDERR_FILENO);
    int rate = OpenAudio(device, frequency);
    fflush(stderr);
    if (savedError >= 0 && nowhere >= 0)
        dup2(savedError, STDERR_FILENO);
    if (savedError >= 0)
        close(savedError);
    if (nowhere >= 0)
        close(nowhere);
    return rate;
}

// SDL calls FillAudio with the device's lock held, the one taken here.
void LockMusicOutput(void)
{
    SDL_LockAudioDevice(audioDevice);
}

void UnlockMusicOutput(void)
{
    SDL_UnlockAudioDevice(audioDevice);
}
