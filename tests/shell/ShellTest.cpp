#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/DrawFrame.h"
#include "platform/platform_script.h"
#include "setup/InitGraphics.h"
#include "shell/Presentation.h"

// The graphics are stood in for: set-up and each frame only leave a line in
// the log, and the frame presents itself as the real one does.
bool glEntryPointMissing;

void InitGraphics(void)
{
    ScriptRecord("InitGraphics");
}

void DrawFrame(float presentationTime, HDC frameDeviceContext)
{
    ScriptRecord("DrawFrame " + std::to_string(presentationTime));
    wglSwapLayerBuffers(frameDeviceContext, WGL_SWAP_MAIN_PLANE);
}

static int RunPresentation(void)
{
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOW);
}

// How the log writes the presentation time of a frame drawn `elapsed`
// milliseconds after the start: in single precision, as the shell keeps it.
static std::string TimeText(int elapsed)
{
    return std::to_string((float)elapsed * 0.001f);
}

static std::vector<std::string> TimeTexts(const std::vector<int>& elapsed)
{
    std::vector<std::string> texts;
    for (int milliseconds : elapsed)
        texts.push_back(TimeText(milliseconds));
    return texts;
}

static std::vector<std::string> FrameTimes(void)
{
    std::vector<std::string> times;
    for (const std::string& call : ScriptCalls())
        if (call.compare(0, 10, "DrawFrame ") == 0)
            times.push_back(call.substr(10));
    return times;
}

static void ExpectInOrder(const std::vector<std::string>& prefixes)
{
    int previous = -1;
    for (const std::string& prefix : prefixes) {
        int at = -1;
        const std::vector<std::string>& calls = ScriptCalls();
        for (size_t i = (size_t)(previous + 1); i < calls.size(); i++)
            if (calls[i].compare(0, prefix.size(), prefix) == 0) {
                at = (int)i;
                break;
            }
        EXPECT_GT(at, previous) << "missing or out of order: " << prefix;
        if (at > previous)
            previous = at;
    }
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptReset();
        glEntryPointMissing = false;
    }
};

TEST_F(Shell, StartsUpInOrderWithTheRecordsItAsksFor)
{
    ScriptSetClock({5000, 5000 + 230000});
    EXPECT_EQ(RunPresentation(), 0);
    ExpectInOrder({
        "GetModuleHandleA",
        "LoadIconA module 32512",
        "LoadCursorA null 32512",
        "RegisterClassA vemlodar style 3 brush 6",
        "CreateWindowExA 0 vemlodar 0x91000000 0 0 0 0",
        "GetDC",
        "ChoosePixelFormat 40 0x25 32 0",
        "SetPixelFormat 1",
        "wglCreateContext",
        "wglMakeCurrent",
        "InitGraphics",
        "ShowWindow 5",
        "UpdateWindow",
        "timeGetTime 5000",
        "BASSMOD_Init -1 44100 16",
        "BASSMOD_MusicLoad 0 orvanth - fenwarrow_s vessick..mod 0 0 4",
        "BASSMOD_MusicPlay",
        "GetAsyncKeyState 27",
        "PeekMessageA none",
        "SetCursor null",
        "timeGetTime 235000",
        "wglMakeCurrent",
        "DrawFrame " + TimeText(230000),
        "wglSwapLayerBuffers 1",
    });
}

TEST_F(Shell, TeardownStopsAndFreesTheMusicBeforeTheContextGoes)
{
    ScriptSetClock({0, 1000});
    ScriptSetEscape({0, (SHORT)0x8001});
    EXPECT_EQ(RunPresentation(), 0);
    ExpectInOrder({"DrawFrame", "GetAsyncKeyState 27 -> 0x8001", "BASSMOD_MusicStop",
                   "BASSMOD_MusicFree", "wglDeleteContext", "ReleaseDC"});
    // The context is deleted while still current: nothing unbinds it first.
    const std::vector<std::string>& calls = ScriptCalls();
    int deleted = ScriptFind("wglDeleteContext");
    EXPECT_EQ(calls[(size_t)deleted - 2], "BASSMOD_MusicStop");
    EXPECT_EQ(ScriptCount("wglDeleteContext"), 1);
    EXPECT_EQ(ScriptCalls().back(), "ReleaseDC");
}

struct EndCase {
    const char* name;
    std::vector<DWORD> clock;
    std::vector<SHORT> escape;
    std::vector<int> framesAt;
};

class ShellEnds : public Shell, public ::testing::WithParamInterface<EndCase> {};

TEST_P(ShellEnds, AfterTheExpectedFrames)
{
    ScriptSetClock(GetParam().clock);
    ScriptSetEscape(GetParam().escape);
    EXPECT_EQ(RunPresentation(), 0);
    EXPECT_EQ(FrameTimes(), TimeTexts(GetParam().framesAt));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShellEnds,
    ::testing::Values(
        // Pressed during start-up: the query at the end of start-up forgets it.
        EndCase{"EscapePressedBeforeStartDoesNotEndTheRun",
                {1000, 2000, 3000, 231000},
                {0x0001, 0, 0},
                {1000, 2000, 230000}},
        // Still down after the first frame: the first end test sees it.
        EndCase{"EscapeStillDownWhenTheFirstFrameEndsEndsTheRun",
                {1000, 1016, 1032},
                {(SHORT)0x8001, (SHORT)0x8000},
                {16}},
        EndCase{"EscapePressedAndReleasedBetweenQueriesStillEndsTheRun",
                {0, 16, 32, 48},
                {0, 0, 0x0001},
                {16, 32}},
        // The frame that first reaches the run's length is drawn; no other.
        EndCase{"FrameReachingTheRunLengthIsPresentedAndIsTheLast",
                {0, 100000, 229999, 230000, 230016},
                {},
                {100000, 229999, 230000}},
        // Start shortly before the counter wraps, end shortly after.
        EndCase{"WrapOfTheMillisecondCounterDoesNotDisturbTheTime",
                {0xFFFFFF00u, 0xFFFFFF00u + 1000u, 0xFFFFFF00u + 2500u, 0xFFFFFF00u + 230000u},
                {},
                {1000, 2500, 230000}},
        // A clock running backwards gives negative time, not a huge one.
        EndCase{"ClockBehindTheStartGivesNegativeTime",
                {10000, 9000, 240000},
                {},
                {-1000, 230000}}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

TEST_F(Shell, ClosingTheWindowEndsTheRunBeforeAnyDrawing)
{
    ScriptSetClock({0, 16, 32});
    ScriptQueueMessage(0, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunPresentation(), 0);
    EXPECT_TRUE(FrameTimes().empty());
    ExpectInOrder({"DispatchMessageA 0x10", "DefWindowProcA 0x10", "PostQuitMessage 0",
                   "PeekMessageA 0x12", "BASSMOD_MusicStop", "wglDeleteContext", "ReleaseDC"});
    EXPECT_EQ(ScriptCount("SetCursor"), 0);
}

TEST_F(Shell, QuitMessageEndsTheRunWithItsWordParameter)
{
    ScriptSetClock({0, 16, 32, 48});
    ScriptQueueMessage(2, WM_QUIT, 7, 0);
    EXPECT_EQ(RunPresentation(), 7);
    EXPECT_EQ(FrameTimes(), TimeTexts({16, 32}));
}

// A key message read last must not become the exit status of a run that
// ended normally.
TEST_F(Shell, OtherMessagesGoThroughDialogCheckTranslationAndDispatch)
{
    ScriptSetClock({0, 16, 32, 230000});
    ScriptQueueMessage(0, WM_KEYDOWN, 'A', 0);
    ScriptQueueMessage(1, WM_KEYDOWN, VK_ESCAPE, 0);
    ScriptSetEscape({0, 0, (SHORT)0x8001});
    EXPECT_EQ(RunPresentation(), 0);
    ExpectInOrder({"PeekMessageA 0x100", "IsDialogMessageA", "TranslateMessage",
                   "DispatchMessageA 0x100", "DefWindowProcA 0x100 0x41", "PeekMessageA none",
                   "DrawFrame", "PeekMessageA 0x100", "DefWindowProcA 0x100 0x1B", "DrawFrame",
                   "GetAsyncKeyState 27 -> 0x8001"});
}

TEST_F(Shell, FailingPixelFormatReturnsMinusOneAtOnce)
{
    ScriptSetPixelFormatResult(FALSE);
    EXPECT_EQ(RunPresentation(), -1);
    EXPECT_EQ(ScriptCalls().back(), "SetPixelFormat 1");
    EXPECT_EQ(ScriptMessageBoxes().size(), 0u);
}

TEST_F(Shell, MissingEntryPointEndsWithMinusOneBeforeTheWindowIsShown)
{
    glEntryPointMissing = true;
    EXPECT_EQ(RunPresentation(), -1);
    EXPECT_LT(ScriptFind("InitGraphics"), ScriptFind("wglDeleteContext"));
    EXPECT_EQ(ScriptFind("ShowWindow"), -1);
    EXPECT_EQ(ScriptFind("BASSMOD_Init"), -1);
    EXPECT_TRUE(FrameTimes().empty());
}

struct WindowMessageCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool passedOn;
    const char* effect;
};

class PresentationWindowProcedure : public Shell,
                                    public ::testing::WithParamInterface<WindowMessageCase> {};

TEST_P(PresentationWindowProcedure, HandlesTheMessage)
{
    const WindowMessageCase& c = GetParam();
    LRESULT result = PresentationWndProc(NULL, c.message, c.wParam, 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ScriptFind("DefWindowProcA") >= 0, c.passedOn);
    if (c.effect)
        EXPECT_GE(ScriptFind(c.effect), 0) << c.effect;
    else if (!c.passedOn)
        EXPECT_TRUE(ScriptCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PresentationWindowProcedure,
    ::testing::Values(
        WindowMessageCase{"ScreenSaverIsSwallowed", WM_SYSCOMMAND, SC_SCREENSAVE, false, NULL},
        WindowMessageCase{"MonitorPowerIsSwallowed", WM_SYSCOMMAND, SC_MONITORPOWER, false, NULL},
        // Compared whole: with its low bits set it is another command.
        WindowMessageCase{"ScreenSaverWithLowBitsIsPassedOn", WM_SYSCOMMAND, SC_SCREENSAVE | 2,
                          true, NULL},
        WindowMessageCase{"CloseCommandIsPassedOn", WM_SYSCOMMAND, SC_CLOSE, true,
                          "DefWindowProcA 0x112 0xF060"},
        WindowMessageCase{"CreateAnswersZero", WM_CREATE, 0, false, NULL},
        WindowMessageCase{"DestroyPostsTheQuitMessage", WM_DESTROY, 0, false,
                          "PostQuitMessage 0"},
        WindowMessageCase{"KeyIsPassedOn", WM_KEYDOWN, VK_ESCAPE, true, NULL}),
    [](const ::testing::TestParamInfo<WindowMessageCase>& info) {
        return std::string(info.param.name);
    });
