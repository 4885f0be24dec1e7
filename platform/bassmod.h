// The five music-library calls the shell makes. On Windows they forward to
// BASSMOD.dll, looked up at run time beside the program; on Linux they are
// our own, decoding with libopenmpt and playing through SDL2 audio. Every
// result may be ignored: without a device, a file or the library itself, the
// calls do nothing and the presentation runs on in silence.
#pragma once

#include "platform/platform.h"

// C names: our BASSMOD.dll exports them as the library's users expect.
#ifdef __cplusplus
extern "C" {
#endif

BOOL WINAPI BASSMOD_Init(int device, DWORD frequency, DWORD flags);
BOOL WINAPI BASSMOD_MusicLoad(BOOL fromMemory, const void* file, DWORD offset, DWORD length,
                              DWORD flags);
BOOL WINAPI BASSMOD_MusicPlay(void);
BOOL WINAPI BASSMOD_MusicStop(void);
void WINAPI BASSMOD_MusicFree(void);

#ifdef __cplusplus
}
#endif

// Loop the module forever instead of stopping at its end.
#define BASSMOD_MUSIC_LOOP 4
