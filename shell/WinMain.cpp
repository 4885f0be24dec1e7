#include "frame/DrawFrame.h"
#include "platform/bassmod.h"
#include "setup/InitGraphics.h"
#include "shell/Presentation.h"

static const char soundtrackFile[] = "orvanth - fenwarrow_s vessick..mod";

// Double-buffered 32-bit RGBA on the window, no depth, stencil or alpha:
// nothing in the presentation tests depth.
static const PIXELFORMATDESCRIPTOR pixelFormatRequest = {
    40,
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    32,
    0, 0, 0, 0, 0, 0,
    0, 0,
    0, 0, 0, 0, 0,
    0,
    0,
    0,
    PFD_MAIN_PLANE,
    0,
    0, 0, 0,
};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PresentationWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(GetModuleHandleA(NULL), IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = "vemlodar";
    RegisterClassA(&windowClass);

    // Maximised and borderless: the window covers the desktop at its current
    // resolution; the display mode is never changed.
    presentationWindow = CreateWindowExA(0, "vemlodar", NULL, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE,
                                         0, 0, 0, 0, NULL, NULL, NULL, NULL);
    deviceContext = GetDC(presentationWindow);

    int pixelFormat = ChoosePixelFormat(deviceContext, &pixelFormatRequest);
    if (!SetPixelFormat(deviceContext, pixelFormat, &pixelFormatRequest))
        return -1;

    renderingContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderingContext);

    InitGraphics();
    // Without the OpenGL 2.0 calls nothing can be drawn; InitGraphics has
    // told the user which ones the driver lacks.
    if (glEntryPointMissing) {
        wglDeleteContext(renderingContext);
        ReleaseDC(presentationWindow, deviceContext);
        return -1;
    }

    ShowWindow(presentationWindow, SW_SHOW);
    UpdateWindow(presentationWindow);

    DWORD startTime = timeGetTime();

    // Loading happens after the start time, so it counts toward the run.
    BASSMOD_Init(-1, 44100, 16);
    BASSMOD_MusicLoad(FALSE, soundtrackFile, 0, 0, BASSMOD_MUSIC_LOOP);
    BASSMOD_MusicPlay();

    // Forget a press of Escape made during start-up: only presses from here
    // on may end the run.
    GetAsyncKeyState(VK_ESCAPE);

    // Anything but the quit message, so the loop runs before a message has
    // been read.
    MSG message = {};
    message.message = 1;

    for (;;) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(presentationWindow, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        if (message.message == WM_QUIT)
            break;

        SetCursor(NULL);

        // Taken modulo 2^32 and read as signed, so a wrap of the millisecond
        // counter during the run does not disturb the time.
        float presentationTime = (float)(int32_t)(timeGetTime() - startTime) * 0.001f;

        wglMakeCurrent(deviceContext, renderingContext);
        DrawFrame(presentationTime, deviceContext);

        if (message.message == WM_QUIT)
            break;
        if (presentationTime >= runLength)
            break;
        if (GetAsyncKeyState(VK_ESCAPE))
            break;
    }

    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
    // Still current; deleting it releases it.
    wglDeleteContext(renderingContext);
    ReleaseDC(presentationWindow, deviceContext);
    // The quit message carries the exit code. A run that ended on time or on
    // Escape ended normally, whatever key or mouse message was read last.
    if (message.message != WM_QUIT)
        return 0;
    return (int)message.wParam;
}
