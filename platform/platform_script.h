// Controls of the scripted platform: what the clock, the keyboard and the
// message queue will say, and the log of every call the program made.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// Back to a fresh process: no windows, empty log, empty script.
void ScriptReset(void);

// Successive values of timeGetTime; the last one repeats.
void ScriptSetClock(const std::vector<DWORD>& milliseconds);
// Successive results of GetAsyncKeyState(VK_ESCAPE); 0 once used up.
void ScriptSetEscape(const std::vector<SHORT>& states);
// A message for the presentation window, handed out by the pump during its
// drain number `drain` (0 is the first frame's), before the quit message.
void ScriptQueueMessage(int drain, UINT message, WPARAM wParam, LPARAM lParam);
void ScriptSetPixelFormatResult(BOOL result);

// Calls made, in order, each as its name followed by its interesting
// arguments, e.g. "SetPixelFormat 1" or "BASSMOD_MusicLoad 0 <name> 0 0 4".
void ScriptRecord(const std::string& entry);
const std::vector<std::string>& ScriptCalls(void);
// Index of the first call starting with the prefix, or -1.
int ScriptFind(const std::string& prefix);
int ScriptCount(const std::string& prefix);

// The message boxes shown: caption and text.
struct ScriptMessageBox {
    std::string caption;
    std::string text;
};
const std::vector<ScriptMessageBox>& ScriptMessageBoxes(void);
