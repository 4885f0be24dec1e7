// The sound device under the libopenmpt music calls (bassmod_openmpt.cpp).
// One file per system implements it:
//   music_output_sdl.cpp      SDL2 audio (Linux)
//   music_output_waveout.cpp  winmm waveOut (Windows, our BASSMOD.dll)
// The device plays 16-bit stereo and fetches what it plays from a thread of
// its own by calling RenderMusic.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/platform.h"

// Opens and starts the output: device -1 is the system's default, device n
// the n-th one, 0 none at all; frequency 0 means 44,100 Hz. Returns the rate
// the device plays at, or 0 when there is no device to play on. Opened at
// most once, and never closed: process exit ends it.
int OpenMusicOutput(int device, DWORD frequency);

// While the lock is held, RenderMusic is not running and will not start.
void LockMusicOutput(void);
void UnlockMusicOutput(void);

// Given by the music calls: fills `frames` frames of interleaved 16-bit
// stereo. Called on the output's thread, with the lock held.
void RenderMusic(int16_t* samples, size_t frames);
