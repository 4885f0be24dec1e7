/* A stand-in for BASSMOD.dll that plays nothing: it appends each call it
 * receives, with its arguments, as one line to bassmod-calls.txt in the
 * current directory, and reports success. Built as a DLL whose five calls
 * are exported under their plain names, stdcall like the real library's, so
 * a caller that gets the calling convention wrong breaks its own stack. */
#include <stdarg.h>
#include <stdio.h>
#include <windows.h>

static void Record(const char* format, ...)
{
    FILE* calls = fopen("bassmod-calls.txt", "a");
    if (!calls)
        return;
    va_list arguments;
    va_start(arguments, format);
    vfprintf(calls, format, arguments);
    va_end(arguments);
    fclose(calls);
}

__declspec(dllexport) BOOL WINAPI BASSMOD_Init(int device, DWORD frequency, DWORD flags)
{
    Record("BASSMOD_Init %d %lu %lu\n", device, (unsigned long)frequency, (unsigned long)flags);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI BASSMOD_MusicLoad(BOOL fromMemory, const void* file,
                                                    DWORD offset, DWORD length, DWORD flags)
{
    Record("BASSMOD_MusicLoad %d \"%s\" %lu %lu %lu\n", fromMemory,
           fromMemory ? "(memory)" : (const char*)file, (unsigned long)offset,
           (unsigned long)length, (unsigned long)flags);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI BASSMOD_MusicPlay(void)
{
    Record("BASSMOD_MusicPlay\n");
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI BASSMOD_MusicStop(void)
{
    Record("BASSMOD_MusicStop\n");
    return TRUE;
}

__declspec(dllexport) void WINAPI BASSMOD_MusicFree(void)
{
    Record("BASSMOD_MusicFree\n");
}
