#include "frame/DrawFrame.h"

void DrawFrame(float, HDC frameDeviceContext)
{
    wglSwapLayerBuffers(frameDeviceContext, WGL_SWAP_MAIN_PLANE);
}
