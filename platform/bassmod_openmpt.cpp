// The music library on Linux: one tracker module at a time, decoded by
// libopenmpt (MOD and the rest of the family it reads) and played through an
// SDL2 audio device as 16-bit stereo.
//
// It holds no more than the one current module, has no effects, no volume
// control and no position queries. Every failure (no audio device, no file,
// an unreadable file, a file that is no module) leaves it silent and returns
// FALSE; nothing blocks. Depends on SDL2 audio and libopenmpt.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/bassmod.h"

// Modules larger than this are not music but a mistake.
static const long maxModuleBytes = 64L * 1024 * 1024;

static SDL_AudioDeviceID audioDevice;
static int outputRate;
// Shared with the audio thread; changed only while the device is locked, so
// the callback never reads a module that is being freed.
static openmpt_module* currentMusic;
static bool musicPlaying;

static void FillAudio(void*, Uint8* stream, int bytes)
{
    int16_t* samples = (int16_t*)stream;
    size_t frames = (size_t)bytes / (2 * sizeof(int16_t));
    size_t written = 0;
    if (musicPlaying && currentMusic) {
        written = openmpt_module_read_interleaved_stereo(currentMusic, outputRate, frames, samples);
        // Without looping the module ends here; from now on, silence.
        if (written < frames)
            musicPlaying = false;
    }
    memset(samples + written * 2, 0, (frames - written) * 2 * sizeof(int16_t));
}

// The library is never shut down by its user; process exit does it, and the
// audio thread must be gone before the process's statics are.
static void CloseAudioAtExit(void)
{
    if (audioDevice)
        SDL_CloseAudioDevice(audioDevice);
    audioDevice = 0;
}

static BOOL OpenAudio(int device, DWORD frequency);

// Sound libraries that find no device say so on the standard error stream;
// the presentation runs silent then and writes nothing to the console.
BOOL WINAPI BASSMOD_Init(int device, DWORD frequency, DWORD)
{
    if (audioDevice)
        return FALSE;
    fflush(stderr);
    int savedError = dup(STDERR_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (savedError >= 0 && nowhere >= 0)
        dup2(nowhere, STDERR_FILENO);
    BOOL opened = OpenAudio(device, frequency);
    fflush(stderr);
    if (savedError >= 0 && nowhere >= 0)
        dup2(savedError, STDERR_FILENO);
    if (savedError >= 0)
        close(savedError);
    if (nowhere >= 0)
        close(nowhere);
    return opened;
}

static BOOL OpenAudio(int device, DWORD frequency)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return FALSE;

    const char* deviceName = NULL;
    if (device > 0) {
        // Device 0 would be "no sound" and -1 the default output.
        deviceName = SDL_GetAudioDeviceName(device - 1, 0);
        if (!deviceName)
            return FALSE;
    } else if (device == 0) {
        return FALSE;
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
        return FALSE;
    outputRate = obtained.freq;
    atexit(CloseAudioAtExit);
    SDL_PauseAudioDevice(audioDevice, 0);
    return TRUE;
}

// Reads the whole of a regular file, or fails. A directory, a device or a
// file too large to be a module is refused before anything is read.
static void* ReadModuleFile(const char* name, DWORD offset, DWORD length, size_t* size)
{
    struct stat info;
    if (stat(name, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxModuleBytes)
        return NULL;
    if ((long)offset >= info.st_size)
        return NULL;
    size_t available = (size_t)info.st_size - offset;
    size_t wanted = length ? (length < available ? length : available) : available;
    FILE* file = fopen(name, "rb");
    if (!file)
        return NULL;
    void* data = malloc(wanted ? wanted : 1);
    bool ok = data && fseek(file, (long)offset, SEEK_SET) == 0 &&
              fread(data, 1, wanted, file) == wanted;
    fclose(file);
    if (!ok) {
        free(data);
        return NULL;
    }
    *size = wanted;
    return data;
}

static void ReplaceMusic(openmpt_module* music)
{
    SDL_LockAudioDevice(audioDevice);
    openmpt_module* old = currentMusic;
    currentMusic = music;
    musicPlaying = false;
    SDL_UnlockAudioDevice(audioDevice);
    if (old)
        openmpt_module_destroy(old);
}

BOOL WINAPI BASSMOD_MusicLoad(BOOL fromMemory, const void* file, DWORD offset, DWORD length,
                              DWORD flags)
{
    if (!audioDevice || !file)
        return FALSE;

    openmpt_module* music = NULL;
    if (fromMemory) {
        if (!length)
            return FALSE;
        music = openmpt_module_create_from_memory2((const char*)file + offset, length,
                                                   openmpt_log_func_silent, NULL,
                                                   openmpt_error_func_ignore, NULL, NULL, NULL,
                                                   NULL);
    } else {
        size_t size = 0;
        void* data = ReadModuleFile((const char*)file, offset, length, &size);
        if (!data)
            return FALSE;
        music = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, NULL,
                                                   openmpt_error_func_ignore, NULL, NULL, NULL,
                                                   NULL);
        free(data);
    }
    if (!music)
        return FALSE;

    // -1 repeats for ever; 0 plays the module once.
    openmpt_module_set_repeat_count(music, (flags & BASSMOD_MUSIC_LOOP) ? -1 : 0);
    ReplaceMusic(music);
    return TRUE;
}

BOOL WINAPI BASSMOD_MusicPlay(void)
{
    if (!audioDevice)
        return FALSE;
    SDL_LockAudioDevice(audioDevice);
    musicPlaying = currentMusic != NULL;
    BOOL started = musicPlaying;
    SDL_UnlockAudioDevice(audioDevice);
    return started;
}

BOOL WINAPI BASSMOD_MusicStop(void)
{
    if (!audioDevice)
        return FALSE;
    SDL_LockAudioDevice(audioDevice);
    BOOL wasLoaded = currentMusic != NULL;
    musicPlaying = false;
    SDL_UnlockAudioDevice(audioDevice);
    return wasLoaded;
}

void WINAPI BASSMOD_MusicFree(void)
{
    if (audioDevice)
        ReplaceMusic(NULL);
}
