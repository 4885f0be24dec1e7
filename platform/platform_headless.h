// What the headless backend offers beyond the calls of platform.h: an
// off-screen OpenGL context of a chosen size standing in for the maximised
// window, read-back of its pixels, the recorded message boxes and a clock
// that moves only when told to. Tests and tools link vemlodar_platform_headless
// and drive the presentation's code through these.
#pragma once

#include "platform/platform.h"

// Creates the window, takes its device context, sets the pixel format and
// creates a context and makes it current: presentationWindow, deviceContext
// and renderingContext are set as start-up would set them. The stand-in back
// buffer is width x height RGBA8 without depth, the viewport covers it whole.
// Returns false when no EGL display or OpenGL context can be had; nothing is
// left open then. Opening again first closes what is open.
bool HeadlessOpen(int width, int height);
// Deletes the context and the stand-in back buffer, clears the three handles
// and forgets recorded message boxes, swaps and posted messages.
void HeadlessClose();

// glReadPixels of the stand-in back buffer: rows bottom-up, four bytes a
// pixel, R G B A. The caller's buffer holds width * height * 4 bytes.
void HeadlessReadPixels(int x, int y, int width, int height, unsigned char* rgba);

// GL_RENDERER of the open context ("llvmpipe (...)" on Mesa's software
// rasteriser), or "" when none is open.
const char* HeadlessRenderer();

// Message boxes are recorded instead of shown (and written to stderr):
// caption, text and owner of each, in the order they were raised.
int HeadlessMessageBoxCount();
const char* HeadlessMessageBoxCaption(int i);
const char* HeadlessMessageBoxText(int i);
HWND HeadlessMessageBoxOwner(int i);
void HeadlessClearMessageBoxes();

// What timeGetTime returns from now on; 0 until set.
void HeadlessSetClock(DWORD milliseconds);

// How many times wglSwapLayerBuffers has presented the stand-in back buffer.
int HeadlessSwapCount();

// Whether ShowWindow has been called for the open window.
bool HeadlessWindowShown();

// Puts a message at the end of the queue PeekMessageA reads; a null window
// means the open one.
void HeadlessPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What GetAsyncKeyState reports for a key: held or not. Every press also
// sets the key's "pressed since the last query" bit, which a query clears.
void HeadlessSetKey(int virtualKey, bool down);
