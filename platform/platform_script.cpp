// A scripted stand-in for the operating system and the music library, for
// the shell's tests: the clock, the Escape key and the message queue answer
// from a script, and every call made is written to a log.
//
// It has no window, no OpenGL and no sound: wglGetProcAddress finds nothing,
// and drawing must be stood in for by the test itself. Depends on the C++
// standard library only.
#include <stdio.h>
#include <string.h>

#include "platform/bassmod.h"
#include "platform/platform_script.h"

struct PlatformWindow {
    WNDPROC windowProcedure;
    bool destroyed;
};
struct PlatformDeviceContext {
    int unused;
};
struct PlatformRenderingContext {
    int unused;
};

static char moduleToken, iconToken, cursorToken;

struct ScheduledMessage {
    int drain;
    MSG message;
};

static std::vector<std::string> calls;
static std::vector<ScriptMessageBox> messageBoxes;
static std::vector<DWORD> clockScript;
static size_t clockNext;
static std::vector<SHORT> escapeScript;
static size_t escapeNext;
static std::vector<ScheduledMessage> scheduled;
static int drainNumber;
static BOOL pixelFormatResult = TRUE;

static WNDPROC classProcedure;
static std::string className;
static PlatformWindow theWindow;
static PlatformDeviceContext theDeviceContext;
static PlatformRenderingContext theRenderingContext;
static bool quitPosted;
static int quitCode;

void ScriptReset(void)
{
    calls.clear();
    messageBoxes.clear();
    clockScript.clear();
    clockNext = 0;
    escapeScript.clear();
    escapeNext = 0;
    scheduled.clear();
    drainNumber = 0;
    pixelFormatResult = TRUE;
    classProcedure = NULL;
    className.clear();
    theWindow = PlatformWindow();
    quitPosted = false;
    quitCode = 0;
}

void ScriptSetClock(const std::vector<DWORD>& milliseconds)
{
    clockScript = milliseconds;
    clockNext = 0;
}

void ScriptSetEscape(const std::vector<SHORT>& states)
{
    escapeScript = states;
    escapeNext = 0;
}

void ScriptQueueMessage(int drain, UINT message, WPARAM wParam, LPARAM lParam)
{
    ScheduledMessage entry;
    entry.drain = drain;
    entry.message = MSG();
    entry.message.hwnd = &theWindow;
    entry.message.message = message;
    entry.message.wParam = wParam;
    entry.message.lParam = lParam;
    scheduled.push_back(entry);
}

void ScriptSetPixelFormatResult(BOOL result)
{
    pixelFormatResult = result;
}

void ScriptRecord(const std::string& entry)
{
    calls.push_back(entry);
}

const std::vector<std::string>& ScriptCalls(void)
{
    return calls;
}

int ScriptFind(const std::string& prefix)
{
    for (size_t i = 0; i < calls.size(); i++)
        if (calls[i].compare(0, prefix.size(), prefix) == 0)
            return (int)i;
    return -1;
}

int ScriptCount(const std::string& prefix)
{
    int count = 0;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            count++;
    return count;
}

const std::vector<ScriptMessageBox>& ScriptMessageBoxes(void)
{
    return messageBoxes;
}

static std::string Hex(unsigned long value)
{
    char text[24];
    snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

static LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window || !window->windowProcedure)
        return 0;
    return window->windowProcedure(window, message, wParam, lParam);
}

HMODULE GetModuleHandleA(LPCSTR)
{
    calls.push_back("GetModuleHandleA");
    return (HMODULE)&moduleToken;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    calls.push_back(std::string("LoadIconA ") + (instance ? "module " : "null ") +
                    std::to_string((uintptr_t)name));
    return (HICON)&iconToken;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    calls.push_back(std::string("LoadCursorA ") + (instance ? "module " : "null ") +
                    std::to_string((uintptr_t)name));
    return (HCURSOR)&cursorToken;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    calls.push_back(std::string("RegisterClassA ") + windowClass->lpszClassName + " style " +
                    std::to_string(windowClass->style) + " brush " +
                    std::to_string((uintptr_t)windowClass->hbrBackground));
    className = windowClass->lpszClassName;
    classProcedure = windowClass->lpfnWndProc;
    return 0xC000;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR windowClass, LPCSTR, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*)
{
    calls.push_back("CreateWindowExA " + std::to_string(exStyle) + " " +
                    (windowClass ? windowClass : "") + " " + Hex(style) + " " +
                    std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) +
                    " " + std::to_string(height));
    theWindow.windowProcedure =
        (windowClass && className == windowClass) ? classProcedure : DefWindowProcA;
    theWindow.destroyed = false;
    SendToWindow(&theWindow, WM_CREATE, 0, 0);
    return &theWindow;
}

HDC GetDC(HWND)
{
    calls.push_back("GetDC");
    return &theDeviceContext;
}

int ReleaseDC(HWND, HDC)
{
    calls.push_back("ReleaseDC");
    return 1;
}

BOOL ShowWindow(HWND, int showCommand)
{
    calls.push_back("ShowWindow " + std::to_string(showCommand));
    return TRUE;
}

BOOL UpdateWindow(HWND)
{
    calls.push_back("UpdateWindow");
    return TRUE;
}

int ChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR* request)
{
    calls.push_back("ChoosePixelFormat " + std::to_string(request->nSize) + " " +
                    Hex(request->dwFlags) + " " + std::to_string(request->cColorBits) + " " +
                    std::to_string(request->cDepthBits));
    return 1;
}

BOOL SetPixelFormat(HDC, int format, const PIXELFORMATDESCRIPTOR*)
{
    calls.push_back("SetPixelFormat " + std::to_string(format));
    return pixelFormatResult;
}

HGLRC wglCreateContext(HDC)
{
    calls.push_back("wglCreateContext");
    return &theRenderingContext;
}

BOOL wglMakeCurrent(HDC, HGLRC)
{
    calls.push_back("wglMakeCurrent");
    return TRUE;
}

BOOL wglDeleteContext(HGLRC)
{
    calls.push_back("wglDeleteContext");
    return TRUE;
}

PROC wglGetProcAddress(LPCSTR name)
{
    calls.push_back(std::string("wglGetProcAddress ") + name);
    return NULL;
}

BOOL wglSwapLayerBuffers(HDC, UINT planes)
{
    calls.push_back("wglSwapLayerBuffers " + std::to_string(planes));
    return TRUE;
}

DWORD timeGetTime(void)
{
    DWORD now = 0;
    if (!clockScript.empty()) {
        now = clockScript[clockNext < clockScript.size() ? clockNext : clockScript.size() - 1];
        clockNext++;
    }
    calls.push_back("timeGetTime " + std::to_string(now));
    return now;
}

SHORT GetAsyncKeyState(int virtualKey)
{
    SHORT state = 0;
    if (virtualKey == VK_ESCAPE && escapeNext < escapeScript.size())
        state = escapeScript[escapeNext++];
    calls.push_back("GetAsyncKeyState " + std::to_string(virtualKey) + " -> " + Hex((WORD)state));
    return state;
}

// A drain is the run of calls up to and including the one that reports an
// empty queue; the next call opens the next drain.
BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT)
{
    for (size_t i = 0; i < scheduled.size(); i++) {
        if (scheduled[i].drain <= drainNumber) {
            *message = scheduled[i].message;
            scheduled.erase(scheduled.begin() + (long)i);
            calls.push_back("PeekMessageA " + Hex(message->message));
            return TRUE;
        }
    }
    if (quitPosted) {
        quitPosted = false;
        *message = MSG();
        message->message = WM_QUIT;
        message->wParam = (WPARAM)quitCode;
        calls.push_back("PeekMessageA " + Hex(message->message));
        return TRUE;
    }
    calls.push_back("PeekMessageA none");
    drainNumber++;
    return FALSE;
}

BOOL IsDialogMessageA(HWND, MSG*)
{
    calls.push_back("IsDialogMessageA");
    return FALSE;
}

BOOL TranslateMessage(const MSG*)
{
    calls.push_back("TranslateMessage");
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    calls.push_back("DispatchMessageA " + Hex(message->message));
    return SendToWindow(message->hwnd, message->message, message->wParam, message->lParam);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    calls.push_back(cursor ? "SetCursor cursor" : "SetCursor null");
    return NULL;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    calls.push_back("DefWindowProcA " + Hex(message) + " " + Hex(wParam));
    if (message == WM_CLOSE && window == &theWindow && !theWindow.destroyed) {
        theWindow.destroyed = true;
        SendToWindow(window, WM_DESTROY, 0, 0);
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        SendToWindow(window, WM_CLOSE, 0, 0);
    return 0;
}

void PostQuitMessage(int exitCode)
{
    calls.push_back("PostQuitMessage " + std::to_string(exitCode));
    quitPosted = true;
    quitCode = exitCode;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    calls.push_back(std::string("MessageBoxA ") + (caption ? caption : ""));
    ScriptMessageBox box;
    box.caption = caption ? caption : "";
    box.text = text ? text : "";
    messageBoxes.push_back(box);
    return 1;
}

BOOL WINAPI BASSMOD_Init(int device, DWORD frequency, DWORD flags)
{
    calls.push_back("BASSMOD_Init " + std::to_string(device) + " " + std::to_string(frequency) +
                    " " + std::to_string(flags));
    return TRUE;
}

BOOL WINAPI BASSMOD_MusicLoad(BOOL fromMemory, const void* file, DWORD offset, DWORD length,
                              DWORD flags)
{
    calls.push_back("BASSMOD_MusicLoad " + std::to_string(fromMemory) + " " +
                    (file ? (const char*)file : "") + " " + std::to_string(offset) + " " +
                    std::to_string(length) + " " + std::to_string(flags));
    return TRUE;
}

BOOL WINAPI BASSMOD_MusicPlay(void)
{
    calls.push_back("BASSMOD_MusicPlay");
    return TRUE;
}

BOOL WINAPI BASSMOD_MusicStop(void)
{
    calls.push_back("BASSMOD_MusicStop");
    return TRUE;
}

void WINAPI BASSMOD_MusicFree(void)
{
    calls.push_back("BASSMOD_MusicFree");
}
