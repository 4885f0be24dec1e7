// The run-time start-up of the Linux build: the command line is ignored and
// WinMain's result becomes the exit status.
#include "platform/platform.h"

int main(int, char**)
{
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOW);
}
