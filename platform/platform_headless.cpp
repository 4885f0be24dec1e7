// Headless backend: every call of platform.h without a display, for tests and
// tools.
//
// Runs on: Linux with EGL and desktop OpenGL through libglvnd. The display is
// a GPU's own EGL device where there is one and LIBGL_ALWAYS_SOFTWARE does not
// ask for software; otherwise Mesa's surfaceless platform, which is llvmpipe
// on a machine without a GPU (chosen here unless the environment already
// names a driver); the default display is the last resort. The context is a compatibility-profile
// context (whatever version the driver offers, 2.0 or later). The window's
// back buffer is a pbuffer of the window's size, RGB8 without alpha, depth or
// stencil, which behaves as a window's buffer does: framebuffer 0, viewport
// covering it on first use, glCopyTexSubImage2D and glReadPixels read it.
// Where the display offers no pbuffer, a framebuffer object of the same
// format stands in and is bound on every make-current.
//
// Cannot: show anything, take real input, or block. Message boxes are recorded
// and answer OK at once; the clock and the keys move only when a test says
// so; IsDialogMessageA never takes a message and TranslateMessage makes no
// characters; there is one pixel format; a swap keeps the buffer's contents
// and does not wait; the quit message joins the end of the queue.
//
// Depends on: libEGL, libOpenGL (glvnd), the shell's three handle globals.
#include "platform/platform_headless.h"

#include "shell/Presentation.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <glob.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct PlatformDeviceContext {
    PlatformWindow* window;
    int pixelFormat;
};

struct PlatformWindow {
    WNDPROC procedure;
    int width;
    int height;
    bool shown;
    bool destroyed;
    PlatformDeviceContext deviceContext;
};

struct PlatformRenderingContext {
    EGLContext context;
    // EGL_NO_SURFACE where the framebuffer object stands in.
    EGLSurface surface;
    GLuint framebuffer;
    GLuint colourBuffer;
    int width;
    int height;
    bool madeCurrent;
};

struct PlatformModule {
    int unused;
};
struct PlatformIcon {
    int unused;
};
struct PlatformCursor {
    int unused;
};

struct RecordedMessageBox {
    std::string caption;
    std::string text;
    HWND owner;
};

struct RegisteredClass {
    std::string name;
    WNDPROC procedure;
};

static const int defaultScreenWidth = 800;
static const int defaultScreenHeight = 600;

static EGLDisplay eglDisplay = EGL_NO_DISPLAY;
static EGLConfig eglConfig;
static bool eglConfigHasPbuffer;
static bool eglTried;

static std::vector<std::unique_ptr<PlatformWindow>> windows;
static std::vector<RegisteredClass> registeredClasses;
static std::vector<PlatformRenderingContext*> liveContexts;
static PlatformRenderingContext* currentContext;
static std::deque<MSG> messageQueue;
static std::vector<RecordedMessageBox> messageBoxes;
static std::map<std::string, PROC> entryPointOverrides;
static DWORD clockMilliseconds;
static int swapCount;
static HeadlessSwapHook swapHook;
static int screenWidth = defaultScreenWidth;
static int screenHeight = defaultScreenHeight;
static bool keyDown[256];
static bool keyPressedSinceQuery[256];

static PlatformModule processModule;
static PlatformIcon applicationIcon;
static PlatformCursor arrowCursor;
static HCURSOR currentCursor;

// ---------------------------------------------------------------- EGL display

static bool HasRenderNode()
{
    glob_t found;
    bool any = glob("/dev/dri/renderD*", 0, NULL, &found) == 0 && found.gl_pathc > 0;
    globfree(&found);
    return any;
}

static bool SoftwareRequested()
{
    const char* value = getenv("LIBGL_ALWAYS_SOFTWARE");
    return value && value[0] && strcmp(value, "0") != 0;
}

static bool HasExtension(const char* list, const char* name)
{
    if (!list)
        return false;
    size_t length = strlen(name);
    for (const char* at = strstr(list, name); at; at = strstr(at + 1, name)) {
        bool startsWord = at == list || at[-1] == ' ';
        bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

static EGLint ConfigAttribute(EGLDisplay display, EGLConfig config, EGLint attribute)
{
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// The pixel format start-up asks for: 8 bits each of red, green and blue, no
// depth, no stencil; without alpha where the display has such a format.
static bool ChooseConfig(EGLDisplay display, bool needPbuffer, EGLConfig* chosen)
{
    const EGLint wanted[] = {
        EGL_SURFACE_TYPE, needPbuffer ? EGL_PBUFFER_BIT : 0,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_COLOR_BUFFER_TYPE, EGL_RGB_BUFFER,
        EGL_RED_SIZE, 8,
        EGL_GREEN_SIZE, 8,
        EGL_BLUE_SIZE, 8,
        EGL_NONE,
    };
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, NULL, 0, &count) || count <= 0)
        return false;
    std::vector<EGLConfig> configs(count);
    eglChooseConfig(display, wanted, configs.data(), count, &count);

    int bestScore = -1;
    for (EGLint i = 0; i < count; i++) {
        EGLConfig config = configs[i];
        if (ConfigAttribute(display, config, EGL_RED_SIZE) != 8 ||
            ConfigAttribute(display, config, EGL_GREEN_SIZE) != 8 ||
            ConfigAttribute(display, config, EGL_BLUE_SIZE) != 8 ||
            ConfigAttribute(display, config, EGL_DEPTH_SIZE) != 0 ||
            ConfigAttribute(display, config, EGL_STENCIL_SIZE) != 0)
            continue;
        EGLint alpha = ConfigAttribute(display, config, EGL_ALPHA_SIZE);
        int score = alpha == 0 ? 2 : alpha == 8 ? 1 : 0;
        if (score > bestScore) {
            bestScore = score;
            *chosen = config;
        }
    }
    return bestScore >= 0;
}

// Initialises the display and finds a format on it; terminates it when it
// cannot serve.
static bool UseDisplay(EGLDisplay display)
{
    if (display == EGL_NO_DISPLAY)
        return false;
    EGLint major, minor;
    if (!eglInitialize(display, &major, &minor))
        return false;
    if (eglBindAPI(EGL_OPENGL_API)) {
        if (ChooseConfig(display, true, &eglConfig)) {
            eglConfigHasPbuffer = true;
            eglDisplay = display;
            return true;
        }
        const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
        if (HasExtension(extensions, "EGL_KHR_surfaceless_context") &&
            ChooseConfig(display, false, &eglConfig)) {
            eglConfigHasPbuffer = false;
            eglDisplay = display;
            return true;
        }
    }
    eglTerminate(display);
    return false;
}

// A GPU's own EGL device (the NVIDIA driver offers no surfaceless platform);
// software devices are passed over, Mesa's surfaceless platform covers those.
static bool UseHardwareDevice(PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay)
{
    PFNEGLQUERYDEVICESEXTPROC queryDevices =
        (PFNEGLQUERYDEVICESEXTPROC)eglGetProcAddress("eglQueryDevicesEXT");
    PFNEGLQUERYDEVICESTRINGEXTPROC queryDeviceString =
        (PFNEGLQUERYDEVICESTRINGEXTPROC)eglGetProcAddress("eglQueryDeviceStringEXT");
    if (!queryDevices || !queryDeviceString)
        return false;
    EGLDeviceEXT devices[16];
    EGLint count = 0;
    if (!queryDevices(16, devices, &count))
        return false;
    for (EGLint i = 0; i < count; i++) {
        const char* extensions = queryDeviceString(devices[i], EGL_EXTENSIONS);
        if (HasExtension(extensions, "EGL_MESA_device_software"))
            continue;
        if (UseDisplay(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], NULL)))
            return true;
    }
    return false;
}

// Opened once and kept for the life of the process: Mesa's start-up is slow
// and every test opens and closes contexts many times.
static bool OpenDisplay()
{
    if (eglDisplay != EGL_NO_DISPLAY)
        return true;
    if (eglTried)
        return false;
    eglTried = true;

    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (getPlatformDisplay && !SoftwareRequested() &&
        HasExtension(clientExtensions, "EGL_EXT_platform_device") &&
        UseHardwareDevice(getPlatformDisplay))
        return true;

    if (!HasRenderNode() && !getenv("MESA_LOADER_DRIVER_OVERRIDE")) {
        // No GPU: ask Mesa for llvmpipe, unless whoever started us chose.
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    }
    if (getPlatformDisplay && HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless") &&
        UseDisplay(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, NULL)))
        return true;
    return UseDisplay(eglGetDisplay(EGL_DEFAULT_DISPLAY));
}

// ------------------------------------------------- stand-in back buffer (FBO)

typedef void(APIENTRY* GenFramebuffersEntry)(GLsizei, GLuint*);
typedef void(APIENTRY* BindFramebufferEntry)(GLenum, GLuint);
typedef void(APIENTRY* GenRenderbuffersEntry)(GLsizei, GLuint*);
typedef void(APIENTRY* BindRenderbufferEntry)(GLenum, GLuint);
typedef void(APIENTRY* RenderbufferStorageEntry)(GLenum, GLenum, GLsizei, GLsizei);
typedef void(APIENTRY* FramebufferRenderbufferEntry)(GLenum, GLenum, GLenum, GLuint);

static void BindStandInFramebuffer(PlatformRenderingContext* context)
{
    BindFramebufferEntry bindFramebuffer =
        (BindFramebufferEntry)eglGetProcAddress("glBindFramebuffer");
    if (!context->framebuffer) {
        GenFramebuffersEntry genFramebuffers =
            (GenFramebuffersEntry)eglGetProcAddress("glGenFramebuffers");
        GenRenderbuffersEntry genRenderbuffers =
            (GenRenderbuffersEntry)eglGetProcAddress("glGenRenderbuffers");
        BindRenderbufferEntry bindRenderbuffer =
            (BindRenderbufferEntry)eglGetProcAddress("glBindRenderbuffer");
        RenderbufferStorageEntry renderbufferStorage =
            (RenderbufferStorageEntry)eglGetProcAddress("glRenderbufferStorage");
        FramebufferRenderbufferEntry framebufferRenderbuffer =
            (FramebufferRenderbufferEntry)eglGetProcAddress("glFramebufferRenderbuffer");
        genRenderbuffers(1, &context->colourBuffer);
        bindRenderbuffer(GL_RENDERBUFFER, context->colourBuffer);
        renderbufferStorage(GL_RENDERBUFFER, GL_RGB8, context->width, context->height);
        bindRenderbuffer(GL_RENDERBUFFER, 0);
        genFramebuffers(1, &context->framebuffer);
        bindFramebuffer(GL_FRAMEBUFFER, context->framebuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                context->colourBuffer);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        return;
    }
    bindFramebuffer(GL_FRAMEBUFFER, context->framebuffer);
}

// ------------------------------------------------------------------- handles

static PlatformWindow* FindWindow(HWND window)
{
    for (auto& owned : windows)
        if (owned.get() == window)
            return owned.get();
    return NULL;
}

static const RegisteredClass* FindClass(LPCSTR name)
{
    if (!name)
        return NULL;
    uintptr_t value = (uintptr_t)name;
    for (size_t i = 0; i < registeredClasses.size(); i++) {
        // A class may be named by the atom RegisterClassA returned.
        if (value < 0x10000 ? value == i + 1 : registeredClasses[i].name == name)
            return &registeredClasses[i];
    }
    return NULL;
}

static LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* target = FindWindow(window);
    if (!target || target->destroyed)
        return 0;
    if (target->procedure)
        return target->procedure(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// ------------------------------------------------------------------- user32

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName)
        return 0;
    RegisteredClass added;
    added.name = windowClass->lpszClassName;
    added.procedure = windowClass->lpfnWndProc;
    registeredClasses.push_back(added);
    return (ATOM)registeredClasses.size();
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD style, int, int, int width,
                     int height, HWND, HMENU, HINSTANCE, void*)
{
    std::unique_ptr<PlatformWindow> created(new PlatformWindow());
    const RegisteredClass* windowClass = FindClass(className);
    created->procedure = windowClass ? windowClass->procedure : NULL;
    created->width = (style & WS_MAXIMIZE) ? screenWidth : width;
    created->height = (style & WS_MAXIMIZE) ? screenHeight : height;
    created->shown = false;
    created->deviceContext.window = created.get();
    created->deviceContext.pixelFormat = 0;
    HWND window = created.get();
    windows.push_back(std::move(created));
    SendToWindow(window, WM_CREATE, 0, 0);
    return window;
}

HDC GetDC(HWND window)
{
    PlatformWindow* target = FindWindow(window);
    return target ? &target->deviceContext : NULL;
}

int ReleaseDC(HWND window, HDC deviceContext)
{
    PlatformWindow* target = FindWindow(window);
    return target && deviceContext == &target->deviceContext ? 1 : 0;
}

BOOL ShowWindow(HWND window, int)
{
    PlatformWindow* target = FindWindow(window);
    if (!target)
        return FALSE;
    BOOL wasShown = target->shown;
    target->shown = true;
    return wasShown;
}

BOOL UpdateWindow(HWND window)
{
    return FindWindow(window) ? TRUE : FALSE;
}

SHORT GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    unsigned result = (keyDown[virtualKey] ? 0x8000u : 0u) |
                      (keyPressedSinceQuery[virtualKey] ? 1u : 0u);
    keyPressedSinceQuery[virtualKey] = false;
    return (SHORT)(WORD)result;
}

static bool MessageMatches(const MSG& message, HWND window, UINT filterMin, UINT filterMax)
{
    if (window && message.hwnd != window && message.message != WM_QUIT)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message.message >= filterMin && message.message <= filterMax;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    for (auto queued = messageQueue.begin(); queued != messageQueue.end(); ++queued) {
        if (!MessageMatches(*queued, window, filterMin, filterMax))
            continue;
        *message = *queued;
        message->time = clockMilliseconds;
        if (removeFlags & PM_REMOVE)
            messageQueue.erase(queued);
        return TRUE;
    }
    return FALSE;
}

BOOL IsDialogMessageA(HWND, MSG*)
{
    return FALSE;
}

BOOL TranslateMessage(const MSG*)
{
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
    return previous;
}

// What the system does with a message its window procedure passes on: close
// destroys the window, the close command asks it to close; the rest is
// accepted and ignored.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    PlatformWindow* target = FindWindow(window);
    if (!target)
        return 0;
    if (message == WM_CLOSE) {
        if (!target->destroyed) {
            SendToWindow(window, WM_DESTROY, 0, 0);
            target->destroyed = true;
            target->shown = false;
        }
        return 0;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        SendToWindow(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return 0;
}

void PostQuitMessage(int exitCode)
{
    MSG quit = {};
    quit.message = WM_QUIT;
    quit.wParam = (WPARAM)exitCode;
    messageQueue.push_back(quit);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT)
{
    RecordedMessageBox recorded;
    recorded.caption = caption ? caption : "Error";
    recorded.text = text ? text : "";
    recorded.owner = owner;
    messageBoxes.push_back(recorded);
    // Long texts (a full shader log) are cut short here; the record keeps them whole.
    const int shownLength = 400;
    int length = (int)recorded.text.size();
    fprintf(stderr, "[message box] %s: %.*s%s\n", recorded.caption.c_str(), shownLength,
            recorded.text.c_str(), length > shownLength ? " [...]" : "");
    return 1; // IDOK
}

HICON LoadIconA(HINSTANCE, LPCSTR)
{
    return &applicationIcon;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR)
{
    return &arrowCursor;
}

// ------------------------------------------------------------------ kernel32

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    return moduleName ? NULL : &processModule;
}

// --------------------------------------------------------------------- gdi32

// One format exists, number 1: the stand-in back buffer's.
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request)
{
    if (!deviceContext || !request || !(request->dwFlags & PFD_SUPPORT_OPENGL))
        return 0;
    return 1;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*)
{
    if (!deviceContext || format != 1)
        return FALSE;
    // As on the system, a window's format is set once and stays.
    if (deviceContext->pixelFormat && deviceContext->pixelFormat != format)
        return FALSE;
    deviceContext->pixelFormat = format;
    return TRUE;
}

// ----------------------------------------------------------------------- WGL

static bool IsLiveContext(HGLRC renderingContext)
{
    for (PlatformRenderingContext* live : liveContexts)
        if (live == renderingContext)
            return true;
    return false;
}

HGLRC wglCreateContext(HDC deviceContext)
{
    if (!deviceContext || !deviceContext->pixelFormat || !OpenDisplay())
        return NULL;
    PlatformWindow* window = deviceContext->window;
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(eglDisplay, eglConfig, EGL_NO_CONTEXT, NULL);
    if (context == EGL_NO_CONTEXT)
        return NULL;
    EGLSurface surface = EGL_NO_SURFACE;
    if (eglConfigHasPbuffer) {
        const EGLint size[] = {EGL_WIDTH, window->width, EGL_HEIGHT, window->height, EGL_NONE};
        surface = eglCreatePbufferSurface(eglDisplay, eglConfig, size);
        if (surface == EGL_NO_SURFACE) {
            eglDestroyContext(eglDisplay, context);
            return NULL;
        }
    }
    PlatformRenderingContext* created = new PlatformRenderingContext();
    created->context = context;
    created->surface = surface;
    created->width = window->width;
    created->height = window->height;
    liveContexts.push_back(created);
    return created;
}

BOOL wglMakeCurrent(HDC, HGLRC renderingContext)
{
    if (renderingContext && !IsLiveContext(renderingContext))
        return FALSE;
    if (!renderingContext) {
        if (eglDisplay != EGL_NO_DISPLAY)
            eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        currentContext = NULL;
        return TRUE;
    }
    if (!eglMakeCurrent(eglDisplay, renderingContext->surface, renderingContext->surface,
                        renderingContext->context))
        return FALSE;
    currentContext = renderingContext;
    if (renderingContext->surface == EGL_NO_SURFACE) {
        BindStandInFramebuffer(renderingContext);
        // A context made current on a window for the first time takes the
        // window's size as its viewport; without a surface it has to be told.
        if (!renderingContext->madeCurrent)
            glViewport(0, 0, renderingContext->width, renderingContext->height);
    }
    renderingContext->madeCurrent = true;
    return TRUE;
}

BOOL wglDeleteContext(HGLRC renderingContext)
{
    if (!IsLiveContext(renderingContext))
        return FALSE;
    if (currentContext == renderingContext)
        wglMakeCurrent(NULL, NULL);
    if (renderingContext->surface != EGL_NO_SURFACE)
        eglDestroySurface(eglDisplay, renderingContext->surface);
    // The framebuffer object goes with its context.
    eglDestroyContext(eglDisplay, renderingContext->context);
    for (size_t i = 0; i < liveContexts.size(); i++)
        if (liveContexts[i] == renderingContext)
            liveContexts.erase(liveContexts.begin() + i);
    delete renderingContext;
    return TRUE;
}

PROC wglGetProcAddress(LPCSTR name)
{
    if (!name)
        return NULL;
    auto overridden = entryPointOverrides.find(name);
    if (overridden != entryPointOverrides.end())
        return overridden->second;
    return (PROC)eglGetProcAddress(name);
}

BOOL wglSwapLayerBuffers(HDC, UINT)
{
    if (currentContext)
        glFinish();
    swapCount++;
    if (swapHook)
        swapHook(swapCount);
    return TRUE;
}

// ---------------------------------------------------------------------- winmm

DWORD timeGetTime(void)
{
    return clockMilliseconds;
}

// -------------------------------------------------------- headless interface

bool HeadlessOpen(int width, int height)
{
    HeadlessClose();
    HeadlessSetScreenSize(width, height);

    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    HWND window = CreateWindowExA(0, NULL, NULL, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0, 0, 0,
                                  NULL, NULL, NULL, NULL);
    HDC windowDeviceContext = GetDC(window);
    SetPixelFormat(windowDeviceContext, ChoosePixelFormat(windowDeviceContext, &request),
                   &request);
    HGLRC context = wglCreateContext(windowDeviceContext);
    if (!context || !wglMakeCurrent(windowDeviceContext, context)) {
        if (context)
            wglDeleteContext(context);
        windows.clear();
        return false;
    }
    presentationWindow = window;
    deviceContext = windowDeviceContext;
    renderingContext = context;
    return true;
}

void HeadlessClose()
{
    // Every context still alive, whether opened here or by a WinMain that
    // ran on this backend.
    while (!liveContexts.empty())
        wglDeleteContext(liveContexts.back());
    presentationWindow = NULL;
    deviceContext = NULL;
    renderingContext = NULL;
    windows.clear();
    registeredClasses.clear();
    messageQueue.clear();
    messageBoxes.clear();
    entryPointOverrides.clear();
    clockMilliseconds = 0;
    swapCount = 0;
    swapHook = NULL;
    screenWidth = defaultScreenWidth;
    screenHeight = defaultScreenHeight;
    memset(keyDown, 0, sizeof keyDown);
    memset(keyPressedSinceQuery, 0, sizeof keyPressedSinceQuery);
    currentCursor = NULL;
}

void HeadlessSetScreenSize(int width, int height)
{
    screenWidth = width;
    screenHeight = height;
}

void HeadlessReadPixels(int x, int y, int width, int height, unsigned char* rgba)
{
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

const char* HeadlessRenderer()
{
    if (!currentContext)
        return "";
    const GLubyte* renderer = glGetString(GL_RENDERER);
    return renderer ? (const char*)renderer : "";
}

int HeadlessMessageBoxCount()
{
    return (int)messageBoxes.size();
}

const char* HeadlessMessageBoxCaption(int i)
{
    if (i < 0 || i >= (int)messageBoxes.size())
        return NULL;
    return messageBoxes[i].caption.c_str();
}

const char* HeadlessMessageBoxText(int i)
{
    if (i < 0 || i >= (int)messageBoxes.size())
        return NULL;
    return messageBoxes[i].text.c_str();
}

HWND HeadlessMessageBoxOwner(int i)
{
    if (i < 0 || i >= (int)messageBoxes.size())
        return NULL;
    return messageBoxes[i].owner;
}

void HeadlessSetClock(DWORD milliseconds)
{
    clockMilliseconds = milliseconds;
}

int HeadlessSwapCount()
{
    return swapCount;
}

void HeadlessSetSwapHook(HeadlessSwapHook hook)
{
    swapHook = hook;
}

bool HeadlessWindowShown()
{
    PlatformWindow* window = FindWindow(presentationWindow);
    return window && window->shown;
}

void HeadlessPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG posted = {};
    posted.hwnd = window ? window : presentationWindow;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    messageQueue.push_back(posted);
}

void HeadlessSetKey(int virtualKey, bool down)
{
    if (virtualKey < 0 || virtualKey > 255)
        return;
    if (down && !keyDown[virtualKey])
        keyPressedSinceQuery[virtualKey] = true;
    keyDown[virtualKey] = down;
}

void HeadlessSetEntryPoint(const char* name, PROC entry)
{
    if (name)
        entryPointOverrides[name] = entry;
}
