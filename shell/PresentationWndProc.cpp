#include "shell/Presentation.h"

LRESULT CALLBACK PresentationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        // The frame loop ends on the quit message this posts.
        PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        // Neither the screen saver nor monitor power-saving may interrupt the
        // show. The word parameter is compared whole, low bits included.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
