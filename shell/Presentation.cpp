#include "shell/Presentation.h"

HWND presentationWindow;
HDC deviceContext;
HGLRC renderingContext;
