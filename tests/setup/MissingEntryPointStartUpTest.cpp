// Start-up as a whole on a driver without the OpenGL 2.0 calls: the
// presentation explains and ends before showing its window or its music.
#include "platform/bassmod.h"
#include "platform/platform_headless.h"

#include <gtest/gtest.h>

namespace {

int musicCalls;

} // namespace

BOOL WINAPI BASSMOD_Init(int, DWORD, DWORD)
{
    musicCalls++;
    return TRUE;
}
BOOL WINAPI BASSMOD_MusicLoad(BOOL, const void*, DWORD, DWORD, DWORD)
{
    musicCalls++;
    return TRUE;
}
BOOL WINAPI BASSMOD_MusicPlay(void)
{
    musicCalls++;
    return TRUE;
}
BOOL WINAPI BASSMOD_MusicStop(void)
{
    musicCalls++;
    return TRUE;
}
void WINAPI BASSMOD_MusicFree(void)
{
    musicCalls++;
}

namespace {

TEST(StartUp, MissingEntryPointEndsWithMinusOneBeforeTheWindowIsShown)
{
    HeadlessClose();
    HeadlessSetScreenSize(640, 480);
    HeadlessSetEntryPoint("glTexImage3D", NULL);
    musicCalls = 0;

    char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOW);

    EXPECT_EQ(status, -1);
    EXPECT_FALSE(HeadlessWindowShown());
    EXPECT_EQ(musicCalls, 0);
    EXPECT_EQ(HeadlessSwapCount(), 0);
    ASSERT_EQ(HeadlessMessageBoxCount(), 1);
    EXPECT_STREQ(HeadlessMessageBoxCaption(0), "vemlodar: OpenGL 2.0 entry point missing");
    EXPECT_NE(strstr(HeadlessMessageBoxText(0), "glTexImage3D"), nullptr);
    HeadlessClose();
}

} // namespace
