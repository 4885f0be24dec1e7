#include "platform/platform_headless.h"
#include "shell/Presentation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HeadlessBackend, BackBufferIsTheWindowsSizeAndCopiesLikeOne)
{
    ASSERT_TRUE(HeadlessOpen(640, 360)) << "no EGL display or OpenGL context";
    EXPECT_NE(std::string(HeadlessRenderer()), "");

    // A fresh context on a window starts with the whole window as viewport.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 360);
    GLint depthBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);

    // Both land exactly on an 8-bit step: 153 and 51.
    glClearColor(0.0f, 0.6f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 512, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, NULL);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 512, 256);
    std::vector<unsigned char> copied(512 * 256 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, copied.data());
    EXPECT_EQ(copied[0], 0);
    EXPECT_EQ(copied[1], 153);
    EXPECT_EQ(copied[2], 51);
    EXPECT_EQ(copied[copied.size() - 3], 153);

    // The last frame can still be read after it was presented.
    wglSwapLayerBuffers(deviceContext, WGL_SWAP_MAIN_PLANE);
    EXPECT_EQ(HeadlessSwapCount(), 1);
    unsigned char corner[4] = {};
    HeadlessReadPixels(639, 359, 1, 1, corner);
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(corner[1], 153);
    EXPECT_EQ(corner[2], 51);
    EXPECT_EQ(corner[3], 255);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    HeadlessClose();
}

std::vector<UINT> received;

LRESULT CALLBACK RecordingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(message);
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(HeadlessBackend, CloseDestroysTheWindowAndTheQuitMessageFollows)
{
    HeadlessClose();
    received.clear();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingWndProc;
    windowClass.lpszClassName = "recording";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "recording", NULL, WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                  NULL, NULL);
    HeadlessPostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);

    MSG message = {};
    int pumped = 0;
    while (pumped < 10 && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        pumped++;
        if (message.message == WM_QUIT)
            break;
        DispatchMessageA(&message);
    }
    EXPECT_EQ(message.message, (UINT)WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(received, (std::vector<UINT>{WM_CREATE, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE));
    HeadlessClose();
}

TEST(HeadlessBackend, KeysReportHeldAndPressedSinceTheLastQuery)
{
    HeadlessClose();
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    HeadlessSetKey(VK_ESCAPE, true);
    EXPECT_EQ((WORD)GetAsyncKeyState(VK_ESCAPE), 0x8001);
    EXPECT_EQ((WORD)GetAsyncKeyState(VK_ESCAPE), 0x8000);
    HeadlessSetKey(VK_ESCAPE, false);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    // Pressed and let go between two queries: only the pressed bit.
    HeadlessSetKey(VK_ESCAPE, true);
    HeadlessSetKey(VK_ESCAPE, false);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 1);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);

    HeadlessSetClock(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    HeadlessClose();
}

} // namespace
