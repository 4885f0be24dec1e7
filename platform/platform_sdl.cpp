// The presentation's platform on Linux, over SDL2: one borderless window
// covering the desktop at its current resolution, a double-buffered OpenGL
// compatibility context without depth buffer, SDL's events turned into the
// messages the shell's pump expects, a millisecond clock and the state of
// the Escape key.
//
// It cannot change the display mode (nothing asks it to), serves a single
// window, and knows only the keys the presentation may care about. Depends on
// SDL2 (video, events, message box) and the system's OpenGL.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <stdio.h>
#include <string.h>
#include <time.h>

#include "platform/platform.h"

struct PlatformWindow {
    SDL_Window* sdlWindow;
    WNDPROC windowProcedure;
    bool destroyed;
};

struct PlatformDeviceContext {
    HWND window;
};

// Handles that only need to be distinct and non-null.
static char moduleToken, iconToken, cursorToken;

static const int maxClasses = 8;
static WNDCLASSA registeredClasses[maxClasses];
static char registeredClassNames[maxClasses][64];
static int registeredClassCount;

static PlatformWindow theWindow;
static PlatformDeviceContext theDeviceContext;

// Messages posted to the queue, handed out before any new input.
static const int postedCapacity = 64;
static MSG postedMessages[postedCapacity];
static int postedFirst, postedCount;

static bool quitPosted;
static int quitCode;
// Right after the quit message has been handed out the pump reports an empty
// queue once, so that the quit message stays the last one the caller read.
static bool quitJustRetrieved;

// Per virtual key: down now, and pressed since the last query.
static bool keyDown[256];
static bool keyPressedSinceQuery[256];

static HCURSOR currentCursor = (HCURSOR)&cursorToken;

static void EnsureVideo(void)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetMainReady();
        SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
}

static int VirtualKeyOf(SDL_Keycode key)
{
    if (key == SDLK_ESCAPE)
        return VK_ESCAPE;
    if (key == SDLK_RETURN)
        return 0x0D;
    if (key == SDLK_SPACE)
        return 0x20;
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    return 0;
}

// Runs whenever SDL adds an event to its queue, so key state is current even
// when GetAsyncKeyState is asked before the pump has read the event.
static int WatchKeys(void*, SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
        int vk = VirtualKeyOf(event->key.keysym.sym);
        if (vk) {
            keyDown[vk] = event->type == SDL_KEYDOWN;
            if (event->type == SDL_KEYDOWN)
                keyPressedSinceQuery[vk] = true;
        }
    }
    return 1;
}

static void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (postedCount == postedCapacity)
        return;
    MSG& slot = postedMessages[(postedFirst + postedCount) % postedCapacity];
    slot = MSG();
    slot.hwnd = window;
    slot.message = message;
    slot.wParam = wParam;
    slot.lParam = lParam;
    slot.time = timeGetTime();
    postedCount++;
}

static LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window || !window->windowProcedure)
        return 0;
    return window->windowProcedure(window, message, wParam, lParam);
}

// Turns one SDL event into a message; false for events the presentation has
// no message for.
static bool TranslateEvent(const SDL_Event& event, MSG* message)
{
    *message = MSG();
    message->hwnd = &theWindow;
    message->time = timeGetTime();
    switch (event.type) {
    case SDL_QUIT:
        message->message = WM_CLOSE;
        return !theWindow.destroyed;
    case SDL_WINDOWEVENT:
        if (event.window.event != SDL_WINDOWEVENT_CLOSE)
            return false;
        message->message = WM_CLOSE;
        return !theWindow.destroyed;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        message->message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
        message->wParam = (WPARAM)VirtualKeyOf(event.key.keysym.sym);
        return message->wParam != 0;
    case SDL_MOUSEMOTION:
        message->message = WM_MOUSEMOVE;
        message->lParam = (LPARAM)((event.motion.x & 0xFFFF) | ((event.motion.y & 0xFFFF) << 16));
        return true;
    }
    return false;
}

HMODULE GetModuleHandleA(LPCSTR)
{
    return (HMODULE)&moduleToken;
}

HICON LoadIconA(HINSTANCE, LPCSTR)
{
    return (HICON)&iconToken;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR)
{
    return (HCURSOR)&cursorToken;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || registeredClassCount == maxClasses)
        return 0;
    int slot = registeredClassCount++;
    registeredClasses[slot] = *windowClass;
    snprintf(registeredClassNames[slot], sizeof registeredClassNames[slot], "%s",
             windowClass->lpszClassName);
    registeredClasses[slot].lpszClassName = registeredClassNames[slot];
    return (ATOM)(0xC000 + slot);
}

static const WNDCLASSA* FindClass(LPCSTR name)
{
    for (int i = 0; name && i < registeredClassCount; i++)
        if (strcmp(registeredClassNames[i], name) == 0)
            return &registeredClasses[i];
    return NULL;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*)
{
    if (theWindow.sdlWindow)
        return NULL;
    EnsureVideo();
    SDL_AddEventWatch(WatchKeys, NULL);

    // The visual is fixed when the window is made, so the pixel format the
    // shell asks for later is the one set up here.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);

    Uint32 flags = SDL_WINDOW_OPENGL;
    if (style & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS;
    flags |= (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (style & WS_MAXIMIZE) {
        // Maximised without a frame: the whole desktop, at its current mode.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            x = 0;
            y = 0;
            width = desktop.w;
            height = desktop.h;
        }
        flags |= SDL_WINDOW_MAXIMIZED;
    }
    if (width <= 0 || height <= 0) {
        width = 640;
        height = 480;
    }
    SDL_Window* sdlWindow =
        SDL_CreateWindow(windowName ? windowName : "vemlodar", x, y, width, height, flags);
    if (!sdlWindow)
        return NULL;

    // A class we do not know behaves like a plain system control.
    const WNDCLASSA* windowClass = FindClass(className);
    theWindow.sdlWindow = sdlWindow;
    theWindow.windowProcedure = windowClass ? windowClass->lpfnWndProc : DefWindowProcA;
    theWindow.destroyed = false;
    theDeviceContext.window = &theWindow;
    SendToWindow(&theWindow, WM_CREATE, 0, 0);
    return &theWindow;
}

HDC GetDC(HWND window)
{
    if (window != &theWindow || !theWindow.sdlWindow)
        return NULL;
    return &theDeviceContext;
}

int ReleaseDC(HWND window, HDC deviceContext)
{
    if (window != &theWindow || deviceContext != &theDeviceContext)
        return 0;
    if (theWindow.destroyed && theWindow.sdlWindow) {
        SDL_DestroyWindow(theWindow.sdlWindow);
        theWindow.sdlWindow = NULL;
    }
    return 1;
}

BOOL ShowWindow(HWND window, int)
{
    if (window != &theWindow || !theWindow.sdlWindow)
        return FALSE;
    bool wasVisible = (SDL_GetWindowFlags(theWindow.sdlWindow) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(theWindow.sdlWindow);
    SDL_RaiseWindow(theWindow.sdlWindow);
    return wasVisible;
}

BOOL UpdateWindow(HWND window)
{
    return window == &theWindow && theWindow.sdlWindow;
}

static bool AcceptsRequest(const PIXELFORMATDESCRIPTOR* request)
{
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    return request && request->nSize == sizeof(PIXELFORMATDESCRIPTOR) &&
           (request->dwFlags & needed) == needed && request->iPixelType == PFD_TYPE_RGBA;
}

// The window offers one format: the visual it was created with.
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request)
{
    if (deviceContext != &theDeviceContext || !AcceptsRequest(request))
        return 0;
    return 1;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request)
{
    return deviceContext == &theDeviceContext && theWindow.sdlWindow && format == 1 &&
           AcceptsRequest(request);
}

HGLRC wglCreateContext(HDC deviceContext)
{
    if (deviceContext != &theDeviceContext || !theWindow.sdlWindow)
        return NULL;
    return (HGLRC)SDL_GL_CreateContext(theWindow.sdlWindow);
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderingContext)
{
    if (!renderingContext)
        return SDL_GL_MakeCurrent(NULL, NULL) == 0;
    if (deviceContext != &theDeviceContext || !theWindow.sdlWindow)
        return FALSE;
    return SDL_GL_MakeCurrent(theWindow.sdlWindow, (SDL_GLContext)renderingContext) == 0;
}

BOOL wglDeleteContext(HGLRC renderingContext)
{
    if (!renderingContext)
        return FALSE;
    SDL_GL_DeleteContext((SDL_GLContext)renderingContext);
    return TRUE;
}

PROC wglGetProcAddress(LPCSTR name)
{
    return (PROC)SDL_GL_GetProcAddress(name);
}

BOOL wglSwapLayerBuffers(HDC deviceContext, UINT planes)
{
    if (deviceContext != &theDeviceContext || !theWindow.sdlWindow ||
        !(planes & WGL_SWAP_MAIN_PLANE))
        return FALSE;
    SDL_GL_SwapWindow(theWindow.sdlWindow);
    return TRUE;
}

// Milliseconds since an arbitrary moment, wrapping at 2^32 like the system's.
DWORD timeGetTime(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (DWORD)((uint64_t)now.tv_sec * 1000u + (uint64_t)now.tv_nsec / 1000000u);
}

SHORT GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_PumpEvents();
    SHORT state = (SHORT)((keyDown[virtualKey] ? 0x8000 : 0) |
                          (keyPressedSinceQuery[virtualKey] ? 0x0001 : 0));
    keyPressedSinceQuery[virtualKey] = false;
    return state;
}

BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT removeFlags)
{
    if (!message)
        return FALSE;
    if (quitJustRetrieved) {
        quitJustRetrieved = false;
        return FALSE;
    }
    if (postedCount > 0) {
        *message = postedMessages[postedFirst];
        if (removeFlags & PM_REMOVE) {
            postedFirst = (postedFirst + 1) % postedCapacity;
            postedCount--;
        }
        return TRUE;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event event;
        while (!quitPosted && SDL_PollEvent(&event)) {
            if (TranslateEvent(event, message)) {
                if (!(removeFlags & PM_REMOVE))
                    PostToQueue(message->hwnd, message->message, message->wParam,
                                message->lParam);
                return TRUE;
            }
        }
    }
    // The quit message comes only once the queue holds nothing else.
    if (quitPosted) {
        *message = MSG();
        message->message = WM_QUIT;
        message->wParam = (WPARAM)quitCode;
        message->time = timeGetTime();
        if (removeFlags & PM_REMOVE) {
            quitPosted = false;
            quitJustRetrieved = true;
        }
        return TRUE;
    }
    return FALSE;
}

// The presentation window is no dialog: nothing is handled here, and the
// caller translates and dispatches every message itself.
BOOL IsDialogMessageA(HWND, MSG*)
{
    return FALSE;
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || message->message != WM_KEYDOWN)
        return FALSE;
    WPARAM vk = message->wParam;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || vk == 0x20 || vk == 0x0D ||
        vk == VK_ESCAPE) {
        WPARAM character = (vk >= 'A' && vk <= 'Z') ? vk - 'A' + 'a' : vk;
        PostToQueue(message->hwnd, WM_CHAR, character, message->lParam);
        return TRUE;
    }
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    return SendToWindow(message->hwnd, message->message, message->wParam, message->lParam);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = currentCursor;
    currentCursor = cursor;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
    return previous;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        // Closing destroys the window; its procedure hears WM_DESTROY. The SDL
        // window itself goes when its device context is released, after the
        // rendering context on it has been deleted.
        if (window == &theWindow && !theWindow.destroyed) {
            theWindow.destroyed = true;
            if (theWindow.sdlWindow)
                SDL_HideWindow(theWindow.sdlWindow);
            SendToWindow(window, WM_DESTROY, 0, 0);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendToWindow(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return 0;
}

void PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT)
{
    SDL_Window* parent = (owner == &theWindow && !theWindow.destroyed) ? theWindow.sdlWindow : NULL;
    // Without a display that can show the box, caption and text go to the
    // standard error stream instead.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption ? caption : "",
                                 text ? text : "", parent) != 0)
        fprintf(stderr, "%s\n%s\n", caption ? caption : "", text ? text : "");
    return 1;
}
