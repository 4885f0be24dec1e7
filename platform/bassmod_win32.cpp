// The music calls on Windows: forwarded to BASSMOD.dll from the program's
// own folder, looked up when the shell first initialises the library.
//
// The library is not shipped with the program and is not imported: an
// import the loader cannot satisfy would stop the program before WinMain.
// Where the DLL or one of its five calls is missing, that call does nothing
// and returns FALSE, and the presentation runs the same without sound.
// Depends on kernel32 only.
#include "platform/bassmod.h"

#include <string.h>

typedef BOOL(WINAPI* InitCall)(int device, DWORD frequency, DWORD flags);
typedef BOOL(WINAPI* MusicLoadCall)(BOOL fromMemory, const void* file, DWORD offset,
                                    DWORD length, DWORD flags);
typedef BOOL(WINAPI* MusicPlayCall)(void);
typedef BOOL(WINAPI* MusicStopCall)(void);
typedef void(WINAPI* MusicFreeCall)(void);

static const char bassmodFileName[] = "BASSMOD.dll";

// Null until found, and for good when the DLL or the call is absent.
static InitCall bassmodInit;
static MusicLoadCall bassmodMusicLoad;
static MusicPlayCall bassmodMusicPlay;
static MusicStopCall bassmodMusicStop;
static MusicFreeCall bassmodMusicFree;

// The DLL exports its calls by their plain names. A build that kept the
// compiler's stdcall decoration (underscore, name, @ and the bytes of
// arguments) is accepted too; the lookup costs nothing when it fails.
static void* FindCall(HMODULE library, const char* plainName, const char* decoratedName)
{
    FARPROC call = GetProcAddress(library, plainName);
    if (!call)
        call = GetProcAddress(library, decoratedName);
    // Without the leading underscore, as MinGW's linker writes it.
    if (!call)
        call = GetProcAddress(library, decoratedName + 1);
    return (void*)call;
}

// Beside the exe rather than on the search path: the program's folder is
// where the library is shipped, whatever the current directory is.
static HMODULE LoadBassmod(void)
{
    char path[MAX_PATH + sizeof bassmodFileName];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    // A cut-off path names some other folder.
    if (length == 0 || length >= MAX_PATH)
        return NULL;
    char* folderEnd = strrchr(path, '\\');
    if (!folderEnd)
        return NULL;
    strcpy(folderEnd + 1, bassmodFileName);
    return LoadLibraryA(path);
}

static void FindBassmodCalls(void)
{
    static bool lookedUp;
    if (lookedUp)
        return;
    lookedUp = true;

    HMODULE library = LoadBassmod();
    if (!library)
        return;
    bassmodInit = (InitCall)FindCall(library, "BASSMOD_Init", "_BASSMOD_Init@12");
    bassmodMusicLoad =
        (MusicLoadCall)FindCall(library, "BASSMOD_MusicLoad", "_BASSMOD_MusicLoad@20");
    bassmodMusicPlay =
        (MusicPlayCall)FindCall(library, "BASSMOD_MusicPlay", "_BASSMOD_MusicPlay@0");
    bassmodMusicStop =
        (MusicStopCall)FindCall(library, "BASSMOD_MusicStop", "_BASSMOD_MusicStop@0");
    bassmodMusicFree =
        (MusicFreeCall)FindCall(library, "BASSMOD_MusicFree", "_BASSMOD_MusicFree@0");
}

BOOL WINAPI BASSMOD_Init(int device, DWORD frequency, DWORD flags)
{
    FindBassmodCalls();
    if (!bassmodInit)
        return FALSE;
    return bassmodInit(device, frequency, flags);
}

BOOL WINAPI BASSMOD_MusicLoad(BOOL fromMemory, const void* file, DWORD offset, DWORD length,
                              DWORD flags)
{
    if (!bassmodMusicLoad)
        return FALSE;
    return bassmodMusicLoad(fromMemory, file, offset, length, flags);
}

BOOL WINAPI BASSMOD_MusicPlay(void)
{
    if (!bassmodMusicPlay)
        return FALSE;
    return bassmodMusicPlay();
}

BOOL WINAPI BASSMOD_MusicStop(void)
{
    if (!bassmodMusicStop)
        return FALSE;
    return bassmodMusicStop();
}

void WINAPI BASSMOD_MusicFree(void)
{
    if (bassmodMusicFree)
        bassmodMusicFree();
}
