// Our music library, the five BASSMOD calls: one tracker module at a time,
// decoded by libopenmpt (MOD and the rest of the family it reads) and played
// as 16-bit stereo through the system's sound device (music_output.h: SDL2
// on Linux, waveOut in our BASSMOD.dll for Windows).
//
// It holds no more than the one current module, has no effects, no volume
// control and no position queries. Every failure (no audio device, no file,
// an unreadable file, a file that is no module) leaves it silent and returns
// FALSE; nothing blocks. Depends on libopenmpt and the C library.
#include <libopenmpt/libopenmpt.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "platform/bassmod.h"
#include "platform/music_output.h"

// Modules larger than this are not music but a mistake.
static const long maxModuleBytes = 64L * 1024 * 1024;

// Zero until the output device is open.
static int outputRate;
// Shared with the output's thread; changed only while the output is locked,
// so RenderMusic never reads a module that is being freed.
static openmpt_module* currentMusic;
static bool musicPlaying;

void RenderMusic(int16_t* samples, size_t frames)
{
    size_t written = 0;
    if (musicPlaying && currentMusic) {
        written = openmpt_module_read_interleaved_stereo(currentMusic, outputRate, frames, samples);
        // Without looping the module ends here; from now on, silence.
        if (written < frames)
            musicPlaying = false;
    }
    memset(samples + written * 2, 0, (frames - written) * 2 * sizeof(int16_t));
}

BOOL WINAPI BASSMOD_Init(int device, DWORD frequency, DWORD)
{
    if (outputRate)
        return FALSE;
    outputRate = OpenMusicOutput(device, frequency);
    return outputRate != 0;
}

// Reads the whole of a regular file, or fails. A directory, a device or a
// file too large to be a module is refused before anything is read.
static void* ReadModuleFile(const char* name, DWORD offset, DWORD length, size_t* size)
{
    struct stat info;
    if (stat(name, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxModuleBytes)
        return NULL;
    // Compared unsigned: where long has 32 bits, a large offset would turn negative.
    if ((unsigned long long)offset >= (unsigned long long)info.st_size)
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
    LockMusicOutput();
    openmpt_module* old = currentMusic;
    currentMusic = music;
    musicPlaying = false;
    UnlockMusicOutput();
    if (old)
        openmpt_module_destroy(old);
}

BOOL WINAPI BASSMOD_MusicLoad(BOOL fromMemory, const void* file, DWORD offset, DWORD length,
                              DWORD flags)
{
    if (!outputRate || !file)
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
    if (!outputRate)
        return FALSE;
    LockMusicOutput();
    musicPlaying = currentMusic != NULL;
    BOOL started = musicPlaying;
    UnlockMusicOutput();
    return started;
}

BOOL WINAPI BASSMOD_MusicStop(void)
{
    if (!outputRate)
        return FALSE;
    LockMusicOutput();
    BOOL wasLoaded = currentMusic != NULL;
    musicPlaying = false;
    UnlockMusicOutput();
    return wasLoaded;
}

void WINAPI BASSMOD_MusicFree(void)
{
    if (outputRate)
        ReplaceMusic(NULL);
}
