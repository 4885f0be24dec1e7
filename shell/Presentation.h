// Process-wide state of the presentation shell, alive for the whole run.
#pragma once

#include "platform/platform.h"

// The presentation window: owner of every message box and the window the
// message pump serves.
extern HWND presentationWindow;
// Taken once from the window; every make-current and buffer swap uses it.
extern HDC deviceContext;
// Created once and made current again at the top of every frame.
extern HGLRC renderingContext;

// Registered as the class "vemlodar"'s window procedure.
LRESULT CALLBACK PresentationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// How long the presentation runs, in seconds of presentation time.
const float runLength = 230.0f;
