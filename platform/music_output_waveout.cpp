// The music calls' sound device in our BASSMOD.dll for Windows: winmm's
// waveOut, 16-bit stereo, from a ring of buffers that a thread of our own
// refills as the device hands each one back. Once opened, the device plays
// until the process ends, silence while no music plays, as the SDL device
// does on Linux. Depends on winmm and kernel32.
#include "platform/music_output.h"

// Four buffers of 2,048 frames queue 186 ms at 44,100 Hz: enough that a
// frame loop busy on the same processor does not run the device dry, little
// enough that a stop is heard at once.
static const int bufferCount = 4;
static const DWORD bufferFrames = 2048;

static HWAVEOUT waveOut;
// Set by the device each time it is done with a buffer.
static HANDLE bufferReturned;
static CRITICAL_SECTION renderLock;
static WAVEHDR headers[bufferCount];
static int16_t buffers[bufferCount][bufferFrames * 2];

static void QueueBuffer(WAVEHDR* header)
{
    EnterCriticalSection(&renderLock);
    RenderMusic((int16_t*)header->lpData, bufferFrames);
    LeaveCriticalSection(&renderLock);
    waveOutWrite(waveOut, header, sizeof *header);
}

// winmm must not be called back from inside its own callback, so the device
// only signals an event and the buffers are refilled on this thread. The
// event does not count: one wake-up may find several buffers done.
static DWORD WINAPI FeedOutput(void*)
{
    for (;;) {
        WaitForSingleObject(bufferReturned, INFINITE);
        for (int i = 0; i < bufferCount; i++)
            if (headers[i].dwFlags & WHDR_DONE)
                QueueBuffer(&headers[i]);
    }
}

static void CloseOutput(int preparedBuffers)
{
    for (int i = 0; i < preparedBuffers; i++)
        waveOutUnprepareHeader(waveOut, &headers[i], sizeof headers[i]);
    waveOutClose(waveOut);
    waveOut = NULL;
    CloseHandle(bufferReturned);
    bufferReturned = NULL;
}

int OpenMusicOutput(int device, DWORD frequency)
{
    if (waveOut || device == 0 || device < -1)
        return 0;
    UINT deviceId = device == -1 ? WAVE_MAPPER : (UINT)(device - 1);
    DWORD rate = frequency ? frequency : 44100;

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2 * sizeof(int16_t);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;

    bufferReturned = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (!bufferReturned)
        return 0;
    if (waveOutOpen(&waveOut, deviceId, &format, (DWORD_PTR)bufferReturned, 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        waveOut = NULL;
        CloseHandle(bufferReturned);
        bufferReturned = NULL;
        return 0;
    }
    for (int i = 0; i < bufferCount; i++) {
        headers[i].lpData = (LPSTR)buffers[i];
        headers[i].dwBufferLength = sizeof buffers[i];
        if (waveOutPrepareHeader(waveOut, &headers[i], sizeof headers[i]) != MMSYSERR_NOERROR) {
            CloseOutput(i);
            return 0;
        }
        // Marked as handed back, so that the thread's first round queues them all.
        headers[i].dwFlags |= WHDR_DONE;
    }
    InitializeCriticalSection(&renderLock);

    // The thread runs our code for as long as the process lives, so this
    // library must never be unloaded under it, not even by FreeLibrary.
    HMODULE self;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       (LPCSTR)&FeedOutput, &self);
    HANDLE feeder = CreateThread(NULL, 0, FeedOutput, NULL, 0, NULL);
    if (!feeder) {
        DeleteCriticalSection(&renderLock);
        CloseOutput(bufferCount);
        return 0;
    }
    // Above the frame loop, which never waits for anything.
    SetThreadPriority(feeder, THREAD_PRIORITY_HIGHEST);
    CloseHandle(feeder);
    SetEvent(bufferReturned);
    return (int)rate;
}

void LockMusicOutput(void)
{
    EnterCriticalSection(&renderLock);
}

void UnlockMusicOutput(void)
{
    LeaveCriticalSection(&renderLock);
}
