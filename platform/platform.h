// The calls the presentation makes of its operating system: window, pixel
// format, OpenGL context, message pump, clock, keyboard, message box.
//
// On Windows these are the system's own and this header only pulls in the
// system headers. Elsewhere it declares the same names and types, and one
// backend file implements them all:
//   platform_sdl.cpp       the real presentation, over SDL2 (Linux)
//   platform_script.cpp    a scripted stand-in for the shell's tests
//   platform_headless.cpp  off-screen rendering through EGL (tests, tools)
// Which backend a program gets is decided when it is linked.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// timeGetTime; the lean <windows.h> leaves the multimedia calls out.
#include <mmsystem.h>
#include <GL/gl.h>
#include <GL/glu.h>

#else

#include <GL/gl.h>
#include <GL/glu.h>

#define WINAPI
#define CALLBACK
#ifndef APIENTRY
#define APIENTRY
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef short SHORT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef WORD ATOM;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;

// Handles are opaque pointers; each backend decides what they point at.
typedef struct PlatformWindow* HWND;
typedef struct PlatformDeviceContext* HDC;
typedef struct PlatformRenderingContext* HGLRC;
typedef struct PlatformModule* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct PlatformIcon* HICON;
typedef struct PlatformCursor* HCURSOR;
typedef struct PlatformBrush* HBRUSH;
typedef struct PlatformMenu* HMENU;

typedef void (*PROC)(void);
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define TRUE 1
#define FALSE 0

#define MAKEINTRESOURCEA(i) ((LPSTR)(uintptr_t)(WORD)(i))
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDC_ARROW MAKEINTRESOURCEA(32512)

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define COLOR_WINDOW 5

#define WS_POPUP 0x80000000u
#define WS_VISIBLE 0x10000000u
#define WS_MAXIMIZE 0x01000000u

#define SW_SHOW 5

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200

#define SC_CLOSE 0xF060
#define SC_SCREENSAVE 0xF140
#define SC_MONITORPOWER 0xF170

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define VK_ESCAPE 0x1B
#define MB_OK 0x00000000u

#define PFD_TYPE_RGBA 0
#define PFD_MAIN_PLANE 0
#define PFD_DOUBLEBUFFER 0x00000001u
#define PFD_DRAW_TO_WINDOW 0x00000004u
#define PFD_SUPPORT_OPENGL 0x00000020u

#define WGL_SWAP_MAIN_PLANE 0x00000001u

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG;

// Laid out field for field as the 40-byte record the pixel-format calls take.
typedef struct tagPIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
} PIXELFORMATDESCRIPTOR;

// user32
ATOM RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC deviceContext);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
SHORT GetAsyncKeyState(int virtualKey);
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL IsDialogMessageA(HWND dialog, MSG* message);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
HCURSOR SetCursor(HCURSOR cursor);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HICON LoadIconA(HINSTANCE instance, LPCSTR iconName);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName);

// kernel32
HMODULE GetModuleHandleA(LPCSTR moduleName);

// gdi32
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request);
BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request);

// WGL
HGLRC wglCreateContext(HDC deviceContext);
BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderingContext);
BOOL wglDeleteContext(HGLRC renderingContext);
PROC wglGetProcAddress(LPCSTR name);
BOOL wglSwapLayerBuffers(HDC deviceContext, UINT planes);

// winmm
DWORD timeGetTime(void);

// The process entry the run-time start-up calls; each backend's main()
// calls it and returns its result as the exit status.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

#endif
