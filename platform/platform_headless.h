// What the headless backend offers beyond the calls of platform.h: an
// off-screen OpenGL context of a chosen size standing in for the maximised
// window, read-back of its pixels, the recorded message boxes, a clock and a
// keyboard that change only when told to, and control over what
// wglGetProcAddress hands out. Tests and tools link vemlodar_platform_headless
// and drive the presentation's code through these.
#pragma once

#include "platform/platform.h"

// Creates a maximised window on a screen of width x height, takes its device
// context, sets the pixel format and creates a context and makes it current:
// presentationWindow, deviceContext and renderingContext are set as start-up
// sets them. The stand-in back buffer is width x height RGB8 without alpha,
// depth or stencil, and the viewport covers it whole. Returns false when no
// EGL display or OpenGL context can be had; nothing is left open then.
// Opening again first closes what is open.
bool HeadlessOpen(int width, int height);
// Deletes the context and the stand-in back buffer, clears the three handles
// and forgets recorded message boxes, swaps, queued messages, keys, the clock
// and every entry point set with HeadlessSetEntryPoint.
void HeadlessClose();

// The size a maximised window takes (CreateWindowExA with WS_MAXIMIZE); 800 x
// 600 until set. Lets WinMain itself run on this backend.
void HeadlessSetScreenSize(int width, int height);

// glReadPixels of the stand-in back buffer: rows bottom-up, four bytes a
// pixel, R G B A (A is 255: the buffer has no alpha). The caller's buffer
// holds width * height * 4 bytes.
void HeadlessReadPixels(int x, int y, int width, int height, unsigned char* rgba);

// GL_RENDERER of the current context ("llvmpipe (...)" on Mesa's software
// rasteriser), or "" when none is current.
const char* HeadlessRenderer();

// Message boxes are recorded instead of shown (and written to stderr):
// caption, text and owner of each, in the order they were raised.
int HeadlessMessageBoxCount();
const char* HeadlessMessageBoxCaption(int i);
const char* HeadlessMessageBoxText(int i);
HWND HeadlessMessageBoxOwner(int i);

// What timeGetTime returns from now on; 0 until set.
void HeadlessSetClock(DWORD milliseconds);

// How many times wglSwapLayerBuffers has presented the stand-in back buffer.
// The buffer keeps its contents across a swap, so the last frame can be read.
int HeadlessSwapCount();
// Called after every swap with the new count; null for none. Lets a test move
// the clock or press keys between the frames of a running WinMain.
typedef void (*HeadlessSwapHook)(int swapCount);
void HeadlessSetSwapHook(HeadlessSwapHook hook);

// Whether ShowWindow has been called for presentationWindow (WS_VISIBLE at
// creation does not count: start-up shows the window explicitly).
bool HeadlessWindowShown();

// Puts a message at the end of the queue PeekMessageA reads; a null window
// means the open one.
void HeadlessPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Holds a key down or lets it go, for GetAsyncKeyState: bit 15 while held,
// bit 0 when pressed since the previous query of that key.
void HeadlessSetKey(int virtualKey, bool down);

// Makes wglGetProcAddress return entry for name instead of the driver's
// function; null makes the name look unavailable. A test's own function can
// stand in for a GL call this way (fetch the real one first to forward to it).
void HeadlessSetEntryPoint(const char* name, PROC entry);
